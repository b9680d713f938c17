#include "tally/ttallylist.h"

#include "client/panellabel.h"
#include "client/tchat.h"
#include "resources/windowbackground.h"
#include "shell/messagebox.h"
#include "shell/windowfront.h"
#include "shell/windowregistry.h"
#include "tally/tallyfile.h"
#include "tally/tallykeeper.h"

#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

const QString panelStyle = QStringLiteral(
    "QFrame { background: rgb(237, 207, 137); border: 1px solid rgb(140, 98, 42); border-radius: 5px; }"
    "QLabel { border: none; background: transparent; font-weight: bold; font-size: 13px; }");
const QString listStyle = QStringLiteral(
    "QListWidget { background: rgb(237, 207, 137); border: 1px solid rgb(140, 98, 42);"
    " font-weight: normal; }"
    "QListWidget::item { padding: 1px 2px; }"
    "QListWidget::item:selected { background: rgb(250, 234, 192); color: rgb(220, 89, 33);"
    " border: 1px solid rgb(220, 89, 33); }");
const QString buttonStyle = QStringLiteral(
    "QPushButton { background: rgb(237, 207, 137); border: 1px solid black; border-radius: 4px;"
    " color: rgb(110, 110, 110); font-weight: bold; }"
    "QPushButton:hover { color: rgb(220, 89, 33); }"
    "QPushButton:pressed { background: rgb(224, 188, 110); }");
const QColor headingColour(120, 50, 15);

// Shows names with check marks, rebuilding the items only when the names change.
void showNames(QListWidget *list, const QStringList &names, const std::function<bool(int)> &checked)
{
    const QSignalBlocker blocker(list);
    bool same = list->count() == names.size();
    for (int i = 0; same && i < names.size(); ++i)
        same = list->item(i)->text() == names[i];
    if (!same) {
        list->clear();
        for (const QString &name : names) {
            auto *item = new QListWidgetItem(name, list);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        }
    }
    for (int i = 0; i < names.size(); ++i)
        list->item(i)->setCheckState(checked(i) ? Qt::Checked : Qt::Unchecked);
}

} // namespace

namespace {

TallyKeeper *ownTally(WindowRegistry &registry)
{
    return registry.tally ? nullptr
                          : new TallyKeeper(registry.chat ? &registry.chat->client() : nullptr, TallyFile::path());
}

} // namespace

Ttallylist::Ttallylist(WindowRegistry &registry)
    : m_registry(registry), m_ownTally(ownTally(registry)),
      m_tally(m_ownTally ? *m_ownTally : *registry.tally), m_store(m_tally.store())
{
    setObjectName(QStringLiteral("Ttallylist"));
    setWindowTitle(QStringLiteral("Zarvex - Tally List"));
    setFixedSize(475, 347);
    setModal(false);

    QFont font(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(13);
    font.setBold(true);
    setFont(font);
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    WindowBackground::paintWhenShown(this);
    setAutoFillBackground(true);

    buildPanels();
    buildLists();

    connect(&m_store, &TallyStore::changed, this, &Ttallylist::render);
    render();
}

Ttallylist::~Ttallylist() = default;

// Names and counts come from other players and from the tally file: every
// label shows plain text, and what does not fit ends in "…" with the whole
// text as its tooltip.
PanelLabel *Ttallylist::label(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                              Qt::Alignment alignment)
{
    auto *l = new PanelLabel(parent);
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setAlignment(alignment);
    l->setTipWhenCut(true);
    l->setFullText(text);
    return l;
}

void Ttallylist::buildPanels()
{
    const Qt::Alignment centred = Qt::AlignCenter;
    auto heading = [](QLabel *l) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, headingColour);
        l->setPalette(p);
    };

    auto *mine = new QFrame(this);
    mine->setObjectName(QStringLiteral("panel_mine"));
    mine->setGeometry(6, 6, 285, 68);
    mine->setStyleSheet(panelStyle);
    heading(label(mine, QStringLiteral("Label8"), QStringLiteral("Your Total Tally"), QRect(6, 4, 273, 20), centred));
    label(mine, QStringLiteral("Label9"), QStringLiteral("Total Games:"), QRect(14, 26, 140, 18));
    label(mine, QStringLiteral("Label10"), QStringLiteral("Your Wins"), QRect(14, 45, 140, 18));
    label(mine, QStringLiteral("Label11"), QStringLiteral("Var3:"), QRect(150, 26, 50, 18))->hide();
    label(mine, QStringLiteral("Label12"), QStringLiteral("Var4:"), QRect(150, 45, 50, 18))->hide();
    mylabel_[1] = label(mine, QStringLiteral("mylabel_1"), QStringLiteral("0"), QRect(150, 26, 120, 18));
    mylabel_[2] = label(mine, QStringLiteral("mylabel_2"), QStringLiteral("0"), QRect(150, 45, 120, 18));
    mylabel_[3] = label(mine, QStringLiteral("mylabel_3"), QStringLiteral("0"), QRect(205, 26, 60, 18));
    mylabel_[4] = label(mine, QStringLiteral("mylabel_4"), QStringLiteral("0"), QRect(205, 45, 60, 18));
    mylabel_[3]->hide();
    mylabel_[4]->hide();

    auto *his = new QFrame(this);
    his->setObjectName(QStringLiteral("panel_his"));
    his->setGeometry(6, 80, 285, 118);
    his->setStyleSheet(panelStyle);
    label_hisnametop = label(his, QStringLiteral("label_hisnametop"), QString(), QRect(6, 4, 273, 20), centred);
    heading(label_hisnametop);
    heading(label(his, QStringLiteral("Label6"), QStringLiteral("Total"), QRect(150, 24, 60, 18), centred));
    heading(label(his, QStringLiteral("Label4"), QStringLiteral("Session"), QRect(214, 24, 64, 18), centred));
    label(his, QStringLiteral("Label3"), QStringLiteral("Number of Games"), QRect(14, 42, 136, 18));
    label_hisname = label(his, QStringLiteral("label_hisname"), QStringLiteral("XX Wins:"), QRect(14, 60, 136, 18));
    label(his, QStringLiteral("Label14"), QStringLiteral("Your Wins:"), QRect(14, 78, 136, 18));
    label(his, QStringLiteral("Label7"), QStringLiteral("Neither Won:"), QRect(14, 96, 136, 18));
    for (int n = 1; n <= 8; ++n) {
        const int x = n <= 4 ? 150 : 214;
        const int y = 42 + 18 * ((n - 1) % 4);
        label_[size_t(n)] = label(his, QStringLiteral("label_") + QString::number(n), QStringLiteral("0"),
                                  QRect(x, y, n <= 4 ? 60 : 64, 18), centred);
    }
}

void Ttallylist::buildLists()
{
    label(this, QStringLiteral("Label1"), QStringLiteral("Players In Current Game"), QRect(8, 203, 283, 18));
    checklist = new QListWidget(this);
    checklist->setObjectName(QStringLiteral("checklist"));
    checklist->setGeometry(6, 222, 285, 119);
    checklist->setStyleSheet(listStyle);
    connect(checklist, &QListWidget::itemChanged, this,
            [this](QListWidgetItem *item) { checklistClickCheck(checklist->row(item)); });

    label(this, QStringLiteral("Label2"), QStringLiteral("Players Being Tallied"), QRect(305, 6, 164, 18));
    listbox_tally = new QListWidget(this);
    listbox_tally->setObjectName(QStringLiteral("listbox_tally"));
    listbox_tally->setGeometry(303, 25, 166, 279);
    listbox_tally->setStyleSheet(listStyle);
    connect(listbox_tally, &QListWidget::currentRowChanged, this, &Ttallylist::listbox_tallyClick);
    connect(listbox_tally, &QListWidget::itemChanged, this, [this](QListWidgetItem *item) {
        if (item->checkState() == Qt::Unchecked)
            listbox_tallyClickCheck(listbox_tally->row(item));
    });

    button_reset = new QPushButton(QStringLiteral("Reset Tally"), this);
    button_reset->setObjectName(QStringLiteral("button_reset"));
    button_reset->setGeometry(303, 311, 94, 30);
    button_reset->setStyleSheet(buttonStyle);
    button_reset->setAutoDefault(false);
    connect(button_reset, &QPushButton::clicked, this, &Ttallylist::button_resetClick);

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(403, 311, 66, 30);
    button_done->setStyleSheet(buttonStyle);
    button_done->setAutoDefault(false);
    connect(button_done, &QPushButton::clicked, this, &Ttallylist::button_doneClick);
}

void Ttallylist::ViewTally1Click()
{
    loadchecklist();
    if (m_registry.chat && !isVisible())
        WindowFront::centreOn(this, m_registry.chat);
    WindowFront::bring(this);
}

void Ttallylist::loadchecklist()
{
    m_tally.loadchecklist();
}

void Ttallylist::addgame(const QByteArray &winner)
{
    m_tally.addgame(winner);
}

void Ttallylist::checklistClickCheck(int index)
{
    m_store.checklistClickCheck(index);
}

void Ttallylist::listbox_tallyClick(int index)
{
    m_store.listbox_tallyClick(index);
}

void Ttallylist::listbox_tallyClickCheck(int index)
{
    const QStringList names = m_store.tallied();
    if (index < 0 || index >= names.size())
        return;
    const QString name = names[index];
    const bool yes = askConfirmation(
        m_registry, this, QStringLiteral("This will delete ") + name + QStringLiteral("'s Tally, Are you want to delete it?"));
    // The box lets games be recorded meanwhile; the row is looked up again.
    const QStringList now = m_store.tallied();
    const int row = index < now.size() && now[index] == name ? index : int(now.indexOf(name));
    if (yes && row >= 0)
        m_store.removeOpponent(row);
    else
        render();
}

void Ttallylist::button_resetClick()
{
    if (askConfirmation(m_registry, this, QStringLiteral("Are you sure you want to reset the Tally?")))
        m_store.reset();
}

void Ttallylist::button_doneClick()
{
    hide();
}

void Ttallylist::render()
{
    for (int n = 1; n <= 4; ++n)
        mylabel_[size_t(n)]->setFullText(m_store.mylabel(n));
    for (int n = 1; n <= 8; ++n)
        label_[size_t(n)]->setFullText(m_store.label(n));
    label_hisnametop->setFullText(m_store.label_hisnametop());
    label_hisname->setFullText(m_store.label_hisname());
    showNames(checklist, m_store.checklist(), [this](int i) { return m_store.checklistChecked(i); });
    showNames(listbox_tally, m_store.tallied(), [](int) { return true; });
    const QSignalBlocker blocker(listbox_tally);
    listbox_tally->setCurrentRow(m_store.selected());
}
