#include "server/twordlist.h"

#include "resources/artwork.h"
#include "server/wordlist.h"
#include "shell/messagebox.h"
#include "shell/programfolder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString askWithFileDialog(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, QStringLiteral("Zarvex - Choose a Word List"), folder,
                                        QStringLiteral("Word lists (*.txt);;All files (*)"));
}

QPushButton *button(QWidget *parent, const char *name, const QString &text)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

} // namespace

Twordlist::Twordlist(WindowRegistry &registry, QWidget *parent)
    : QDialog(parent),
      m_registry(registry),
      m_choice(ProgramFolder::file(QStringLiteral("quorblobby.ini"))),
      m_askFile(askWithFileDialog)
{
    setObjectName(QStringLiteral("Twordlist"));
    setWindowTitle(QStringLiteral("Zarvex - Word List"));
    setModal(false);
    setFixedWidth(340);

    auto *title = new QLabel(QStringLiteral("WORD LIST"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont titleFont = title->font();
    titleFont.setBold(true);
    titleFont.setUnderline(true);
    titleFont.setPixelSize(15);
    title->setFont(titleFont);
    title->setAlignment(Qt::AlignCenter);

    auto *intro = new QLabel(QStringLiteral("The words of the games you host come from:"), this);
    intro->setObjectName(QStringLiteral("Label2"));
    QFont bold = intro->font();
    bold.setBold(true);
    bold.setPixelSize(12);
    intro->setFont(bold);

    label_current = new QLabel(this);
    label_current->setObjectName(QStringLiteral("label_current"));
    label_current->setWordWrap(true);
    label_current->setTextFormat(Qt::PlainText);
    label_current->setMinimumHeight(60);
    label_current->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_current->setStyleSheet(QStringLiteral("QLabel { background-color: rgb(237, 207, 137); color: black;"
                                                " border: 1px solid rgb(122, 80, 34); padding: 4px; }"));

    button_choose = button(this, "button_choose", QStringLiteral("Choose File..."));
    button_builtin = button(this, "button_builtin", QStringLiteral("Built-in list"));
    button_close = button(this, "button_close", QStringLiteral("Close"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(button_choose);
    buttons->addWidget(button_builtin);
    buttons->addStretch();
    buttons->addWidget(button_close);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 10, 14, 12);
    layout->addWidget(title);
    layout->addWidget(intro);
    layout->addWidget(label_current);
    layout->addLayout(buttons);

    connect(button_choose, &QPushButton::clicked, this, &Twordlist::button_chooseClick);
    connect(button_builtin, &QPushButton::clicked, this, &Twordlist::button_builtinClick);
    connect(button_close, &QPushButton::clicked, this, &QDialog::hide);
    // What the list is, counted from the whole list, is shown as the window
    // is; a host that never opens it never counts.
}

void Twordlist::attach(TServer *server)
{
    const QString problem = m_choice.load();
    m_choice.setServer(server);
    if (isVisible())
        showChoice();
    if (!problem.isEmpty())
        emit statusLine(problem);
}

void Twordlist::button_chooseClick()
{
    const auto *list = m_choice.list().get();
    const QString folder = list ? QFileInfo(list->path()).absolutePath() : QDir::homePath();
    const QString path = m_askFile(this, folder);
    if (path.isEmpty())
        return;
    report(m_choice.choose(path));
}

void Twordlist::button_builtinClick()
{
    report(m_choice.useBuiltIn());
}

void Twordlist::report(const QString &problem)
{
    showChoice();
    if (!problem.isEmpty())
        showMessageBox(m_registry, this, problem);
}

void Twordlist::showChoice()
{
    label_current->setText(m_choice.description());
    button_builtin->setEnabled(m_choice.list() != nullptr);
    adjustSize();
}

void Twordlist::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Artwork::background(size()));
}

void Twordlist::showEvent(QShowEvent *event)
{
    showChoice();
    if (parentWidget()) {
        QRect frame = frameGeometry();
        frame.moveCenter(parentWidget()->frameGeometry().center());
        move(frame.topLeft());
    }
    QDialog::showEvent(event);
}
