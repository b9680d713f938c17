#pragma once

#include "client/gameclient.h"
#include "lobby/lobbysession.h"

#include <QMainWindow>

class ChatInputView;
class ChatPane;
class ComputerSeats;
class GamePanelView;
class QAction;
class QFrame;
class QMenu;
class ShoutMenu;
class Speakers;
class SettingsMenus;
class Twordlist;
class PageDoor;
class WindowRegistry;

// The player's main window: the game panel with the seats, the board and
// the chat, and the menus. It shows what its GameClient holds and hands the
// player's clicks to it.
class Tchat : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tchat(WindowRegistry &registry);
    ~Tchat() override;

    GameClient &client() { return m_client; }
    // Solo, hosting or joining, and the switch between them.
    LobbySession &session() { return m_session; }

    // Reads the command line and starts a solo game, hosts or joins; runs
    // once, when the window is first shown.
    void processparams();

    GamePanelView *gamePanel() const { return m_panelView; }
    // The computer players this window seats at its own table as host.
    ComputerSeats *computerSeats() const { return m_computers; }
    ChatPane *chatPane() const { return m_chatpane; }
    // The input field, the phrase buttons and the smilies button.
    ChatInputView *chatInput() const { return m_chatinput; }

    // View menu "Phrase List": the phrase dialog, filled from the buttons.
    void PrhaseList1Click();
    SettingsMenus *settingsMenus() const { return m_settingsMenus; }
    // The host's word list window ("Word List..." in the File menu).
    Twordlist *wordList() const { return m_wordlist; }

    // A relayed CMD_chat or CMD_action payload, shown in the chat.
    void chatrecieved(const QByteArray &payload);
    // A display line ("0+text" for a status line) shown in the chat.
    void addlinetochat(const QByteArray &line);

    // "Start Game": the game start dialog for a connected player.
    void button_startClick();

    // The player-name menu as it would open on a seat's label.
    QMenu *popupKick() const { return popup_kick; }
    void openPlayerMenu(int seat, const QPoint &globalPos);

    // The shout menu that phrase button 10 opens, and the speakers.
    ShoutMenu *popupSounds() const { return popup_sounds; }
    Speakers *speakers() const { return m_speakers; }

signals:
    // The window has closed; the program ends with it.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Tab and Shift+Tab take the keyboard between the chat input and the board.
    bool focusNextPrevChild(bool next) override;

private:
    void buildMenus();
    void render();
    bool hostsHere() const;
    void attachWordList();
    void Exit1Click();

    WindowRegistry &m_registry;
    GameClient m_client;
    LobbySession m_session;
    PageDoor *m_pageDoor = nullptr;   // the browser page, served while hosting
    bool m_paramsRead = false;
    bool m_wordlistAttached = false;

    QFrame *panel_board = nullptr;
    GamePanelView *m_panelView = nullptr;
    ChatPane *m_chatpane = nullptr;
    ChatInputView *m_chatinput = nullptr;
    bool m_shown = false;
    SettingsMenus *m_settingsMenus = nullptr;
    Twordlist *m_wordlist = nullptr;

    QMenu *menu_file = nullptr;
    QMenu *menu_options = nullptr;
    QMenu *menu_view = nullptr;
    QMenu *menu_tiles = nullptr;
    QMenu *menu_help = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *PlayWithFriends1 = nullptr;
    QAction *WordList1 = nullptr;
    QMenu *AddComputerPlayer1 = nullptr;
    QAction *RemoveComputerPlayers1 = nullptr;
    ComputerSeats *m_computers = nullptr;
    QAction *JustWatch1 = nullptr;
    QMenu *popup_kick = nullptr;
    QAction *RemoveFromGame1 = nullptr;
    QAction *SettoJustWatch1 = nullptr;
    QAction *UnsetJustWatch1 = nullptr;
    int m_kickTarget = 0;
    ShoutMenu *popup_sounds = nullptr;
    Speakers *m_speakers = nullptr;
};
