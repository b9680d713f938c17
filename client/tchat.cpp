#include "client/tchat.h"

#include "client/gamepanelview.h"
#include "server/random.h"
#include "server/tgamestart.h"
#include "settings/tabout.h"
#include "settings/thelp.h"
#include "shell/messagebox.h"
#include "shell/tdownload.h"
#include "shell/windowregistry.h"
#include "social/chatpane.h"
#include "social/colourtext.h"
#include "social/tspylist.h"
#include "tally/ttallylist.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>

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
    m_panelView = new GamePanelView(m_client, panel_board);
    connect(m_panelView, &GamePanelView::startClicked, this, &Tchat::button_startClick);
    connect(m_panelView, &GamePanelView::playerMenuRequested, this, &Tchat::openPlayerMenu);

    // The chat at the lower right, below the seats.
    m_chatpane = new ChatPane(panel_board);
    m_chatpane->move(488, 277);
    m_chatpane->addOptionsItems(menuBar());
    m_chatpane->setMessageBox([this](const QString &text) { showMessageBox(m_registry, this, text); });
    connect(&m_client, &GameClient::chatLine, this, &Tchat::addlinetochat);
    connect(&m_client, &GameClient::chatReceived, this, &Tchat::chatrecieved);

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
    connect(StartGame1, &QAction::triggered, this, &Tchat::button_startClick);
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
    QAction *viewTally = menu_view->addAction(QStringLiteral("View Tally"));
    viewTally->setObjectName(QStringLiteral("ViewTally1"));
    connect(viewTally, &QAction::triggered, this, [this] {
        if (m_registry.tallylist)
            m_registry.tallylist->ViewTally1Click();
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

// Text on the wire is UTF-8.
void Tchat::chatrecieved(const QByteArray &payload)
{
    m_chatpane->chatrecieved(QString::fromUtf8(payload));
}

void Tchat::addlinetochat(const QByteArray &line)
{
    m_chatpane->addlinetochat(QString::fromUtf8(line), m_client.statuscolour());
}

void Tchat::button_startClick()
{
    if (!m_client.isconnected()) {
        showMessageBox(m_registry, this, QStringLiteral("You are not connected"));
    } else if (m_registry.gamestart) {
        m_registry.gamestart->setPlayerName(m_client.playername());
        m_registry.gamestart->show();
        m_registry.gamestart->raise();
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
    m_panelView->render();
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
    if (m_registry.gamestart)
        connect(m_registry.gamestart, &Tgamestart::startRequested, &m_client,
                [this](const QByteArray &message) { m_client.send(message); });
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
