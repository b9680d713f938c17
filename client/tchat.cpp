#include "client/tchat.h"

#include "client/boardview.h"
#include "client/computerseats.h"
#include "client/gamepanelview.h"
#include "client/mainarea.h"
#include "client/settingsmenus.h"
#include "server/random.h"
#include "server/tgamestart.h"
#include "server/tserver.h"
#include "server/twordlist.h"
#include "settings/tabout.h"
#include "settings/thelp.h"
#include "shell/messagebox.h"
#include "lobby/tdownload.h"
#include "lobby/webdoorlibrary.h"
#include "shell/windowfront.h"
#include "shell/windowregistry.h"
#include "social/chatfield.h"
#include "social/chatinputview.h"
#include "social/chatpane.h"
#include "social/colourtext.h"
#include "social/tphrases.h"
#include "social/shoutmenu.h"
#include "social/speakers.h"
#include "social/tspylist.h"
#include "tally/ttallylist.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QMenu>
#include <QMenuBar>

Tchat::Tchat(WindowRegistry &registry)
    : m_registry(registry), m_client(nullptr, registry.options.timers, this),
      m_session(m_client, registry.options.timers, this)
{
    setObjectName(QStringLiteral("Tchat"));
    setWindowTitle(QStringLiteral("Zarvex "));
    // The one random generator of the process is seeded as the main window
    // comes up; the server this copy may host draws its boards from it.
    Random::seedFromClock();

    m_client.setGamePort(registry.options.gamePort);
    m_client.setLobbyPort(registry.options.lobbyPort);
    m_session.setGamePort(registry.options.gamePort);
    m_computers = new ComputerSeats(registry.options.timers, this);
    m_computers->setPort(registry.options.gamePort);

    auto *central = new MainArea(this);
    central->setMinimumSize(ClientSettings::MinClientWidth, ClientSettings::MinClientHeight);
    setCentralWidget(central);
    panel_board = new QFrame(central);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(1, 2, 765, 525);

    m_wordlist = new Twordlist(registry, this);
    connect(m_wordlist, &Twordlist::statusLine, this,
            [this](const QString &text) { addlinetochat("0+" + text.toUtf8()); });
    buildMenus();
    m_panelView = new GamePanelView(m_client, panel_board);
    connect(m_panelView, &GamePanelView::startClicked, this, &Tchat::button_startClick);
    connect(m_panelView, &GamePanelView::playerMenuRequested, this, &Tchat::openPlayerMenu);

    // The chat at the lower right, below the seats; it grows with the window.
    m_chatpane = new ChatPane(central);
    m_chatpane->addOptionsItems(menuBar());
    m_chatpane->setMessageBox([this](const QString &text) { showMessageBox(m_registry, this, text); });
    connect(&m_client, &GameClient::chatLine, this, &Tchat::addlinetochat);
    connect(&m_client, &GameClient::chatReceived, this, &Tchat::chatrecieved);

    // The input line below the chat, the phrase buttons above it; phrase
    // button 10 opens the shout menu.
    m_chatinput = new ChatInputView(m_client.chatSender(), m_client.phrases(),
                                    [this] { return m_client.isconnected(); }, central);
    central->arrange(panel_board, m_chatpane, m_chatinput, panel_board->pos() + QPoint(488, 277));
    m_speakers = new Speakers(this);
    m_client.sounds().setSink(m_speakers);
    popup_sounds = new ShoutMenu(this);
    connect(popup_sounds, &ShoutMenu::chosen, &m_client, &GameClient::wave14Click);
    connect(m_chatinput, &ChatInputView::shoutMenuRequested, popup_sounds,
            [this](const QPoint &at) { popup_sounds->popup(at); });

    connect(&m_client, &GameClient::changed, this, &Tchat::render);
    connect(&m_client, &GameClient::messageBox, this,
            [this](const QString &text) { showMessageBox(m_registry, this, text); });
    connect(&m_client, &GameClient::closeRequested, this, [this] {
        if (!m_session.absorbsClose())
            close();
    }, Qt::QueuedConnection);
    connect(&m_session, &LobbySession::chatLine, this, &Tchat::addlinetochat);
    connect(&m_session, &LobbySession::changed, this, [this] {
        attachWordList();
        render();
    });
    connect(&m_client, &GameClient::showDownload, this, [this] {
        if (Tdownload *lobby = m_registry.download())
            lobby->show();
    });

    m_settingsMenus = new SettingsMenus(this, menu_options, menu_tiles, m_client, m_chatpane, m_panelView);
    resize(ClientSettings::defaultPlacement().size());
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
    PlayWithFriends1 = menu_file->addAction(QStringLiteral("Play With Friends..."));
    PlayWithFriends1->setObjectName(QStringLiteral("PlayWithFriends1"));
    connect(PlayWithFriends1, &QAction::triggered, this, [this] {
        if (Tdownload *lobby = m_registry.download()) {
            lobby->show();
            lobby->raise();
        }
    });
    WordList1 = menu_file->addAction(QStringLiteral("Word List..."));
    WordList1->setObjectName(QStringLiteral("WordList1"));
    connect(WordList1, &QAction::triggered, m_wordlist, [this] {
        m_wordlist->show();
        m_wordlist->raise();
    });
    // The host seats computer players at its own server.
    AddComputerPlayer1 = menu_file->addMenu(QStringLiteral("Add Computer Player"));
    AddComputerPlayer1->setObjectName(QStringLiteral("AddComputerPlayer1"));
    for (ComputerLevel::Level level : {ComputerLevel::Easy, ComputerLevel::Normal, ComputerLevel::Hard}) {
        QAction *item = AddComputerPlayer1->addAction(ComputerLevel::text(level));
        item->setObjectName(QStringLiteral("AddComputerPlayer") + ComputerLevel::text(level));
        connect(item, &QAction::triggered, this, [this, level] {
            QList<QByteArray> names{m_client.playername()};
            for (int seat = 1; seat <= GameClient::seatcount; ++seat)
                names << m_client.row(seat).name.toUtf8();
            m_computers->setHost(m_registry.server && m_registry.server->Sock1.Listen() ? QByteArray("127.0.0.1")
                                                                                         : m_client.hostaddress());
            m_computers->add(level, names);
        });
    }
    RemoveComputerPlayers1 = menu_file->addAction(QStringLiteral("Remove Computer Players"));
    RemoveComputerPlayers1->setObjectName(QStringLiteral("RemoveComputerPlayers1"));
    connect(RemoveComputerPlayers1, &QAction::triggered, m_computers, &ComputerSeats::removeAll);
    connect(m_computers, &ComputerSeats::changed, this, &Tchat::render);
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
        if (Tspylist *spylist = m_registry.spylist())
            spylist->show();
    });
    QAction *phraseList = menu_view->addAction(QStringLiteral("Phrase List"));
    phraseList->setObjectName(QStringLiteral("PrhaseList1"));
    connect(phraseList, &QAction::triggered, this, &Tchat::PrhaseList1Click);
    QAction *viewTally = menu_view->addAction(QStringLiteral("View Tally"));
    viewTally->setObjectName(QStringLiteral("ViewTally1"));
    connect(viewTally, &QAction::triggered, this, [this] {
        if (Ttallylist *tallylist = m_registry.tallylist())
            tallylist->ViewTally1Click();
    });

    menu_tiles = menuBar()->addMenu(QStringLiteral("&Tiles"));
    menu_tiles->setObjectName(QStringLiteral("menu_tiles"));

    menu_help = menuBar()->addMenu(QStringLiteral("&Help"));
    menu_help->setObjectName(QStringLiteral("menu_help"));
    QAction *content = menu_help->addAction(QStringLiteral("Content"));
    content->setObjectName(QStringLiteral("Content1"));
    content->setShortcut(QKeySequence(Qt::Key_F1));
    connect(content, &QAction::triggered, this, [this] {
        if (Thelp *help = m_registry.help())
            WindowFront::bring(help);
    });
    QAction *about = menu_help->addAction(QStringLiteral("About"));
    about->setObjectName(QStringLiteral("About1"));
    connect(about, &QAction::triggered, this, [this] {
        if (Tabout *about = m_registry.about())
            WindowFront::bring(about);
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
    } else if (Tgamestart *dialog = m_registry.gamestart()) {
        connect(dialog, &Tgamestart::startRequested, &m_client, &GameClient::send, Qt::UniqueConnection);
        dialog->setPlayerName(m_client.playername());
        dialog->show();
        dialog->raise();
    }
}

void Tchat::PrhaseList1Click()
{
    Tphrases *dialog = m_registry.phrases();
    if (!dialog)
        return;
    connect(dialog, &Tphrases::applied, m_chatinput, &ChatInputView::render, Qt::UniqueConnection);
    dialog->PrhaseList1Click(m_client.phrases());
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
    m_chatinput->render();
    WordList1->setEnabled(hostsHere());
    AddComputerPlayer1->menuAction()->setVisible(m_client.ishost());
    RemoveComputerPlayers1->setVisible(m_client.ishost());
    RemoveComputerPlayers1->setEnabled(m_computers->count() > 0);
}

// Only a copy that hosts draws words; it keeps its list from then on.
void Tchat::attachWordList()
{
    if (!m_wordlistAttached && hostsHere()) {
        m_wordlistAttached = true;
        m_wordlist->attach(m_registry.server);
    }
}

bool Tchat::hostsHere() const
{
    return m_registry.server && m_registry.server->Sock1.Listen();
}

void Tchat::processparams()
{
    if (m_paramsRead)
        return;
    m_paramsRead = true;
    m_client.setServer(m_registry.server);
    m_session.setServer(m_registry.server);
    if (m_registry.server) {
        const WindowOptions &options = m_registry.options;
        if (options.pageDoor) {
            m_pageDoor = options.pageDoor(*m_registry.server, this);
        } else {
            auto *door = new LazyPageDoor(WebDoorLibrary::maker(*m_registry.server, options.timers), this);
            connect(door, &LazyPageDoor::failed, this, [this](const QString &why) { showMessageBox(m_registry, this, why); });
            m_pageDoor = door;
        }
        m_session.setPageDoor(m_pageDoor, options.webPort);
    }
    const QStringList arguments = m_registry.options.arguments.value_or(QCoreApplication::arguments().mid(1));
    m_session.start(arguments);
    attachWordList();
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    processparams();
    // At first the keyboard goes to the chat input, so a player can simply type.
    if (!m_shown) {
        m_shown = true;
        m_chatinput->mychat()->setFocus();
    }
}

bool Tchat::focusNextPrevChild(bool next)
{
    QWidget *chat = m_chatinput->mychat();
    QWidget *board = m_panelView->board();
    QWidget *focused = focusWidget();
    if (focused == chat || focused == board) {
        (focused == chat ? board : chat)->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
    return QMainWindow::focusNextPrevChild(next);
}

void Tchat::Exit1Click()
{
    close();
}

void Tchat::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted()) {
        m_settingsMenus->FormClose();
        emit closed();
    }
}
