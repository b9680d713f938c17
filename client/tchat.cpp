#include "client/tchat.h"

#include "server/random.h"
#include "server/tgamestart.h"
#include "settings/tabout.h"
#include "settings/thelp.h"
#include "shell/messagebox.h"
#include "shell/tdownload.h"
#include "shell/windowregistry.h"
#include "social/tspylist.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {

constexpr int nameTops[] = {0, 103, 129, 156, 182, 207, 234};
constexpr int founditTops[] = {0, 101, 127, 153, 179, 205, 231};
constexpr int eyesTops[] = {0, 102, 128, 154, 180, 207, 233};

QLabel *seatLabel(QWidget *parent, const QString &name, int seat, const QRect &geometry)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name + QString::number(seat));
    label->setGeometry(geometry);
    return label;
}

} // namespace

Tchat::Tchat(WindowRegistry &registry)
    : m_registry(registry), m_client(nullptr, registry.options.timers, this)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Zarvex "));
    // The one random generator of the process is seeded as the main window
    // comes up; the server this copy may host draws its boards from it.
    Random::seedFromClock();

    m_client.setGamePort(registry.options.gamePort);
    m_client.setLobbyPort(registry.options.lobbyPort);

    auto *central = new QWidget(this);
    central->setFixedSize(767, 529);
    setCentralWidget(central);
    panel_board = new QFrame(central);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(1, 2, 765, 525);

    buildMenus();
    buildSeatRows();

    connect(&m_client, &GameClient::changed, this, &Tchat::render);
    connect(&m_client, &GameClient::messageBox, this,
            [this](const QString &text) { showMessageBox(m_registry, this, text); });
    connect(&m_client, &GameClient::closeRequested, this, &QWidget::close, Qt::QueuedConnection);
    connect(&m_client, &GameClient::showDownload, this, [this] {
        if (m_registry.download)
            m_registry.download->show();
    });
    render();
}

Tchat::~Tchat() = default;

void Tchat::buildMenus()
{
    menu_file = menuBar()->addMenu(QStringLiteral("&File"));
    menu_file->setObjectName(QStringLiteral("menu_file"));
    StartGame1 = menu_file->addAction(QStringLiteral("Start Game"));
    StartGame1->setObjectName(QStringLiteral("StartGame1"));
    StartGame1->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    connect(StartGame1, &QAction::triggered, this, [this] {
        if (!m_client.isconnected()) {
            showMessageBox(m_registry, this, QStringLiteral("You are not connected"));
        } else if (m_registry.gamestart) {
            m_registry.gamestart->show();
            m_registry.gamestart->raise();
        }
    });
    menu_file->addSeparator();
    QAction *exit = menu_file->addAction(QStringLiteral("Exit"));
    exit->setObjectName(QStringLiteral("Exit1"));
    connect(exit, &QAction::triggered, this, &Tchat::Exit1Click);

    menu_options = menuBar()->addMenu(QStringLiteral("&Options"));
    menu_options->setObjectName(QStringLiteral("menu_options"));
    JustWatch1 = menu_options->addAction(QStringLiteral("Just Watch"));
    JustWatch1->setObjectName(QStringLiteral("JustWatch1"));
    JustWatch1->setCheckable(true);
    // The check mark follows the server's word only, never the click.
    connect(JustWatch1, &QAction::triggered, this, [this] {
        JustWatch1->setChecked(m_client.justWatchChecked());
        m_client.JustWatch1Click();
    });

    menu_view = menuBar()->addMenu(QStringLiteral("&View"));
    menu_view->setObjectName(QStringLiteral("menu_view"));
    QAction *spyList = menu_view->addAction(QStringLiteral("Spy List"));
    spyList->setObjectName(QStringLiteral("SpyList1"));
    connect(spyList, &QAction::triggered, this, [this] {
        if (m_registry.spylist)
            m_registry.spylist->show();
    });

    menu_tiles = menuBar()->addMenu(QStringLiteral("&Tiles"));
    menu_tiles->setObjectName(QStringLiteral("menu_tiles"));

    menu_help = menuBar()->addMenu(QStringLiteral("&Help"));
    menu_help->setObjectName(QStringLiteral("menu_help"));
    QAction *content = menu_help->addAction(QStringLiteral("Content"));
    content->setObjectName(QStringLiteral("Content1"));
    content->setShortcut(QKeySequence(Qt::Key_F1));
    connect(content, &QAction::triggered, this, [this] {
        if (m_registry.help)
            m_registry.help->show();
    });
    QAction *about = menu_help->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, [this] {
        if (m_registry.about)
            m_registry.about->show();
    });

    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1 = popup_kick->addAction(QStringLiteral("Remove From Game"));
    RemoveFromGame1->setObjectName(QStringLiteral("RemoveFromGame1"));
    SettoJustWatch1 = popup_kick->addAction(QStringLiteral("Set to Just Watch"));
    SettoJustWatch1->setObjectName(QStringLiteral("SettoJustWatch1"));
    UnsetJustWatch1 = popup_kick->addAction(QStringLiteral("Unset Just Watch"));
    UnsetJustWatch1->setObjectName(QStringLiteral("UnsetJustWatch1"));
    connect(RemoveFromGame1, &QAction::triggered, this, [this] { m_client.kicking(m_kickTarget); });
    connect(SettoJustWatch1, &QAction::triggered, this,
            [this] { m_client.SettoJustWatch1Click(m_kickTarget); });
    connect(UnsetJustWatch1, &QAction::triggered, this,
            [this] { m_client.UnsetJustWatch1Click(m_kickTarget); });
}

void Tchat::buildSeatRows()
{
    for (int seat = 1; seat <= GameClient::seatcount; ++seat) {
        QLabel *name = seatLabel(panel_board, QStringLiteral("label_playername"), seat,
                                 QRect(529, nameTops[seat], 113, 16));
        name->setProperty("Tag", seat);
        name->setToolTip(m_client.row(seat).hint);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this,
                [this, seat, name](const QPoint &pos) { openPlayerMenu(seat, name->mapToGlobal(pos)); });
        label_playername[size_t(seat)] = name;
        label_score[size_t(seat)] = seatLabel(panel_board, QStringLiteral("label_score"), seat,
                                              QRect(653, nameTops[seat], 52, 16));
        label_bonus[size_t(seat)] = seatLabel(panel_board, QStringLiteral("label_bonus"), seat,
                                              QRect(709, nameTops[seat], 50, 16));
        image_foundit[size_t(seat)] = seatLabel(panel_board, QStringLiteral("image_foundit"), seat,
                                                QRect(494, founditTops[seat], 16, 16));
        image_eyes[size_t(seat)] = seatLabel(panel_board, QStringLiteral("image_eyes"), seat,
                                             QRect(501, eyesTops[seat], 14, 14));
    }
}

void Tchat::openPlayerMenu(int seat, const QPoint &globalPos)
{
    const KickMenu menu = m_client.label_playername1ContextPopup(seat);
    m_kickTarget = menu.target;
    RemoveFromGame1->setEnabled(menu.removeEnabled);
    SettoJustWatch1->setEnabled(menu.setWatchEnabled);
    UnsetJustWatch1->setEnabled(menu.unsetWatchEnabled);
    if (!globalPos.isNull())
        popup_kick->popup(globalPos);
}

void Tchat::render()
{
    for (int seat = 1; seat <= GameClient::seatcount; ++seat) {
        const SeatRow &row = m_client.row(seat);
        label_playername[size_t(seat)]->setText(row.name);
        label_score[size_t(seat)]->setText(row.score);
        label_score[size_t(seat)]->setVisible(row.shown);
        label_bonus[size_t(seat)]->setText(row.bonus);
        image_foundit[size_t(seat)]->setVisible(row.foundit);
        image_eyes[size_t(seat)]->setVisible(row.eyes);
    }
    JustWatch1->setChecked(m_client.justWatchChecked());
    StartGame1->setEnabled(m_client.startMenuEnabled());
}

void Tchat::processparams()
{
    if (m_paramsRead)
        return;
    m_paramsRead = true;
    m_client.setServer(m_registry.server);
    const QStringList arguments = m_registry.options.arguments.value_or(QCoreApplication::arguments().mid(1));
    m_client.processparams(arguments);
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    processparams();
}

void Tchat::Exit1Click()
{
    close();
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}
