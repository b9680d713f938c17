#include "server/tgamestart.h"

#include "client/tchat.h"
#include "resources/artwork.h"
#include "resources/imagebutton.h"
#include "server/updown.h"
#include "shell/windowregistry.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>

namespace {

// A control of the dialog under its name at its place.
template <class Widget>
Widget *place(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *widget = new Widget(parent);
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(geometry);
    return widget;
}

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *label = place<QLabel>(parent, name, geometry);
    label->setText(text);
    QFont font = label->font();
    font.setBold(true);
    font.setPixelSize(12);
    label->setFont(font);
    return label;
}

QLineEdit *readOnlyEdit(QWidget *parent, const char *name, const QRect &geometry)
{
    auto *edit = place<QLineEdit>(parent, name, geometry);
    edit->setReadOnly(true);
    edit->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(237, 207, 137);"
                                       " color: black; border: 1px solid rgb(122, 80, 34); }"));
    return edit;
}

// An image button keeps the size of its picture; only its place is given.
ImageButton *imageButton(QWidget *parent, const char *name, const QPoint &at)
{
    return place<ImageButton>(parent, name, QRect(at, QSize(30, 24)));
}

} // namespace

Tgamestart::Tgamestart(WindowRegistry &registry)
    : m_registry(registry),
      m_options(registry.chat ? registry.chat->client().settings().gameOptions() : m_ownOptions)
{
    setObjectName(QStringLiteral("Tgamestart"));
    setWindowTitle(QStringLiteral("Zarvex - Game Start"));
    setFixedSize(257, 237);
    setModal(false);

    QLabel *title = label(this, "Label3", QStringLiteral("GAME OPTIONS"), QRect(0, 10, 257, 20));
    QFont titleFont = title->font();
    titleFont.setPixelSize(15);
    titleFont.setUnderline(true);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    // Each row: its label at the left, its control under the edits at the right.
    label(this, "Label2", QStringLiteral("Play to Score:"), QRect(18, 44, 140, 22));
    edit_playtoscore = readOnlyEdit(this, "edit_playtoscore", QRect(160, 44, 52, 22));
    UpDown1 = place<UpDown>(this, "UpDown1", QRect(212, 44, 18, 22));

    label(this, "Label1", QStringLiteral("Creation Time:"), QRect(18, 76, 140, 22));
    edit_creationtime = readOnlyEdit(this, "edit_creationtime", QRect(160, 76, 52, 22));
    UpDown2 = place<UpDown>(this, "UpDown2", QRect(212, 76, 18, 22));

    label(this, "Label4", QStringLiteral("Words Scrambled:"), QRect(18, 108, 140, 24));
    checkbox_1 = imageButton(this, "checkbox_1", QPoint(171, 108));
    checkbox_1->setToolTip(QStringLiteral("1"));

    label(this, "Label5", QStringLiteral("Words Straight:"), QRect(18, 136, 140, 24));
    checkbox_2 = imageButton(this, "checkbox_2", QPoint(171, 136));
    checkbox_2->setToolTip(QStringLiteral("2"));

    QLabel *only = label(this, "Label6", QStringLiteral("Only Use Letters in the word:"),
                         QRect(18, 162, 135, 32));
    only->setWordWrap(true);
    checkbox_onlyletters = imageButton(this, "checkbox_onlyletters", QPoint(171, 166));

    button_start = imageButton(this, "button_start", QPoint((257 - 90) / 2, 200));
    button_start->setPixmap(Artwork::gameStartButton());

    connect(UpDown1, &UpDown::up, this, [this] { step(GameOptions::PlayToScore, true); });
    connect(UpDown1, &UpDown::down, this, [this] { step(GameOptions::PlayToScore, false); });
    connect(UpDown2, &UpDown::up, this, [this] { step(GameOptions::CreationTime, true); });
    connect(UpDown2, &UpDown::down, this, [this] { step(GameOptions::CreationTime, false); });
    connect(checkbox_1, &ImageButton::clicked, this, &Tgamestart::checkbox_1Click);
    connect(checkbox_2, &ImageButton::clicked, this, &Tgamestart::checkbox_1Click);
    connect(checkbox_onlyletters, &ImageButton::clicked, this,
            &Tgamestart::checkbox_onlylettersClick);
    connect(button_start, &ImageButton::clicked, this, &Tgamestart::button_startClick);

    // The arrow keys in an edit move its value as its arrows do.
    edit_playtoscore->installEventFilter(this);
    edit_creationtime->installEventFilter(this);

    if (m_registry.chat) {
        ClientSettings &settings = m_registry.chat->client().settings();
        connect(&settings, &ClientSettings::gameOptionsLoaded, this, &Tgamestart::showOptions);
        connect(this, &Tgamestart::settingsChanged, &settings, &ClientSettings::gameOptionsConfirmed);
    }
    showOptions();
}

void Tgamestart::showOptions()
{
    edit_playtoscore->setText(QString::number(m_options.playtoscore()));
    edit_creationtime->setText(QString::number(m_options.creationtime()));
    checkbox_1->setPixmap(Artwork::checkBox(m_options.scrambledTag() != 0));
    checkbox_2->setPixmap(Artwork::checkBox(m_options.straightTag() != 0));
    checkbox_onlyletters->setPixmap(Artwork::checkBox(m_options.onlylettersTag() != 0));
}

void Tgamestart::step(GameOptions::Value value, bool up)
{
    if (up)
        m_options.up(value);
    else
        m_options.down(value);
    showOptions();
}

// Both type boxes come here; the hint tells which was clicked.
void Tgamestart::checkbox_1Click()
{
    const auto *box = qobject_cast<const ImageButton *>(sender());
    m_options.clickTypeBox(box && box->toolTip() == QLatin1String("2") ? 2 : 1);
    showOptions();
}

void Tgamestart::checkbox_onlylettersClick()
{
    m_options.clickOnlyletters();
    showOptions();
}

void Tgamestart::button_startClick()
{
    emit startRequested(m_options.startRequest(m_playername));
    hide();
    emit settingsChanged();
}

void Tgamestart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Artwork::background(size()));
}

void Tgamestart::showEvent(QShowEvent *event)
{
    showOptions();
    if (m_registry.chat) {
        QRect frame = frameGeometry();
        frame.moveCenter(m_registry.chat->frameGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}

bool Tgamestart::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            const auto value = watched == edit_playtoscore ? GameOptions::PlayToScore
                                                           : GameOptions::CreationTime;
            step(value, key == Qt::Key_Up);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
