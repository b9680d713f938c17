#pragma once

#include "client/boardcursor.h"
#include "client/boardselection.h"
#include "client/gamepanel.h"
#include "client/reconnector.h"
#include "protocol/messageassembler.h"
#include "protocol/messagedispatcher.h"
#include "protocol/ticker.h"
#include "protocol/tsock.h"
#include "social/chatsender.h"
#include "social/phrasebuttons.h"
#include "social/soundcues.h"
#include "client/tilesets.h"
#include "settings/clientsettings.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <array>

class TServer;

// What a player's window shows of one seat row.
struct SeatRow
{
    QString name = QStringLiteral("<Waiting>");
    QString hint;                 // the built-in name a label keeps as its hint
    bool shown = false;           // name and score appear once somebody sat here
    QString score = QStringLiteral("0");
    QString bonus;
    bool foundit = false;
    bool eyes = false;            // just watching
};

// The enabled items of the player-name menu for one seat.
struct KickMenu
{
    int target = 0;
    bool removeEnabled = false;
    bool setWatchEnabled = false;
    bool unsetWatchEnabled = false;
};

// The player's side of the game without any window: the connection to the
// server, the dispatch of its messages, the player's seat and rights, and
// everything the main window shows about the players. The window renders
// this state and forwards the player's input; it decides nothing itself.
class GameClient : public QObject
{
    Q_OBJECT

public:
    static constexpr int seatcount = 6;
    // What a server may leave waiting in this window: the longest message
    // (a longer one is discarded), and how many messages may wait to be
    // handled before the connection is given up.
    static constexpr int maxMessageBytes = 64 * 1024;
    static constexpr int maxQueuedMessages = 512;
    // Seats above seatcount up to this one are spectators.
    static constexpr int maxSeats = 9;

    // server: the in-process server this copy hosts with, when it hosts.
    GameClient(TServer *server, Ticker::Mode timers, QObject *parent = nullptr);
    ~GameClient() override;

    void setServer(TServer *server) { m_server = server; }

    // The game's port ("7772") and the lobby's (9001); tests choose others.
    void setGamePort(const QByteArray &port) { m_gamePort = port; }
    void setLobbyPort(quint16 port) { m_lobbyPort = port; }

    // Reads the command line: no arguments for a solo game, or the player's
    // name, the host's address and "true" to host. A solo game plays under
    // soloName and listens on the loopback address only.
    void processparams(const QStringList &arguments, const QByteArray &soloName = "You");
    void hostpress();
    void joinpress();
    // Who this player is and where joinpress connects, for a game arranged
    // after start-up.
    void setPlayername(const QByteArray &name) { m_playername = name; }
    void setHostaddress(const QByteArray &address) { m_hostaddress = address; }
    // Leaves the game without closing the window: the connection ends
    // without a word, and the seats, the board and the rights are forgotten,
    // ready for hostpress or joinpress again.
    void leaveGame();

    // Dispatch tick: one queued message, and the phrase cooldown. The timer
    // runs only while either has something to count.
    void Timer1Timer();
    bool Timer1Enabled() const { return Timer1.enabled(); }

    // The player's requests.
    void JustWatch1Click();
    KickMenu label_playername1ContextPopup(int seat);
    void kicking(int seat);
    // Removes the spectator of a spy-list entry ("seat: name"); an entry
    // that does not start with a number is ignored.
    void kickSpy(const QString &entry);
    void SettoJustWatch1Click(int seat);
    void UnsetJustWatch1Click(int seat);

    // The board: a release of a mouse button at a point of the board's
    // surface, and the "Clear Word" button.
    void paintbox_boardMouseUp(int x, int y, bool rightButton);
    void button_clearwordClick() { clearword(); }
    // A key pressed while the board has the keyboard: moves the cursor or
    // plays the tile it names as a click would. Answers whether the key
    // means something on the board.
    bool boardKeyPress(int key, const QString &text);

    // The turn clock, once a second while it runs.
    void turntimeTimer();
    bool turntimeEnabled() const { return turntime.enabled(); }
    int secondsleft() const { return m_secondsleft; }

    // The sound options and the decision what is heard; every `sound`
    // this client emits passes through it.
    SoundCues &sounds() { return m_sounds; }
    // An item of the shout menu, by its tag: sends that shout.
    void wave14Click(int tag);

    // The player's settings, loaded when the server announces this seat, and
    // the tile sets of the Tiles menu.
    ClientSettings &settings() { return m_settings; }
    TileSets &tileSets() { return m_tileSets; }

    const GamePanel &panel() const { return m_panel; }
    const BoardSelection &board() const { return m_board; }
    const BoardCursor &cursor() const { return m_cursor; }

    // State.
    const QByteArray &playername() const { return m_playername; }
    const QByteArray &hostaddress() const { return m_hostaddress; }
    bool ishost() const { return m_ishost; }
    bool isconnected() const { return m_isconnected; }
    int myseat() const { return m_myseat; }
    int activeseat() const { return m_activeseat; }
    // The colour of status lines in the chat: blue.
    quint32 statuscolour() const { return m_statuscolour; }
    bool phraseready() const { return m_phrases.phraseready(); }
    const SeatRow &row(int seat) const { return m_rows[size_t(seat)]; }
    const QStringList &spies() const { return m_spies; }
    bool justWatchChecked() const { return m_justWatch; }
    bool startButtonVisible() const { return m_startVisible; }
    bool startMenuEnabled() const { return m_startEnabled; }
    bool spyRemoveEnabled() const { return m_ishost; }
    int queued() const { return receivedlist.queued(); }
    int pendingSize() const { return pending.pendingSize(); }

    // Sends a message when connected; answers whether it went out.
    bool send(const QByteArray &message);

    TSock &socket() { return sock; }
    // Brings the window back after its connection broke during a game.
    Reconnector &reconnector() { return m_rejoin; }

    // What the player says, in the chat colour, and the phrase buttons,
    // whose cooldown the dispatch tick counts.
    ChatSender &chatSender() { return m_chatsender; }
    PhraseButtons &phrases() { return m_phrases; }

signals:
    // Something the window shows has changed.
    void changed();
    // A display line for the chat: a line code, "+", the line.
    void chatLine(const QByteArray &line);
    // A relayed chat line or action: seat, "+", the chat field.
    void chatReceived(const QByteArray &payload);
    void sound(const QString &name);
    void messageBox(const QString &text);
    void showDownload();
    void settingsLoadRequested();
    // A game has ended: "addtomine" when this player won, else the winner.
    void gameRecorded(const QByteArray &winner);
    // The connection has ended: the program ends with it.
    void closeRequested();
    // The connection to the host could not be made: the socket layer's text.
    void connectFailed(const QByteArray &socketText);

private:
    void sockRead(TSock *sender, int count);
    void sockInfo(TSock *sender, TSock::TSocketInfo info, const QByteArray &msg);
    void closeWhenDrained();
    void reconnect();
    bool hostsHere() const;
    void forgetSeats();
    void processsocktimer();
    void sendloginfo(FieldReader &fields);
    void newplayerinfo(FieldReader &fields);
    void playerdisconnected(FieldReader &fields);
    void justwatching(FieldReader &fields);
    void full();
    void line(const QByteArray &text);
    // What the player says goes to the connection in any case; the socket
    // reports a send without one.
    void say(const QByteArray &message);
    void connectTo(const QByteArray &host);
    void grantHostRights();
    bool ownsRow(int seat) const { return seat >= 1 && seat <= seatcount; }
    static bool isSpySeat(int seat) { return seat > seatcount && seat <= maxSeats; }
    void playasound(const QByteArray &payload);

    // The game, on this side.
    void registerGameHandlers();
    void clearall();
    void startthegame(FieldReader &fields);
    void loadstats(FieldReader &fields);
    void setTimePerTurn(int seconds);
    void setGameType(bool scrambled);
    void loadboard(FieldReader &fields);
    void theword(FieldReader &fields);
    void getnextplayer(FieldReader &fields);
    void hefoundit(FieldReader &fields);
    void nomatch(FieldReader &fields);
    void turnEnded(FieldReader &fields, const QString &status, const QString &sound);
    void winner(FieldReader &fields);
    void tileReleased(int column, int row, bool rightButton);
    void clearword();
    void sendword();
    void showTime();

    TServer *m_server;
    TSock sock;
    TSock Sock11;
    MessageAssembler pending;
    MessageDispatcher receivedlist;
    Ticker Timer1;
    Ticker turntime;
    Reconnector m_rejoin;
    QByteArray m_gamePort = "7772";
    quint16 m_lobbyPort = 9001;

    QByteArray m_playername;
    QByteArray m_hostaddress;
    QByteArray m_loginname;
    bool m_ishost = false;
    bool m_isconnected = false;
    int m_myseat = 0;
    int m_activeseat = 0;
    quint32 m_statuscolour = 0xFF0000;   // blue, as a colour value reads
    ChatSender m_chatsender{[this] { return m_myseat; }, [this](const QByteArray &m) { say(m); }};
    PhraseButtons m_phrases;
    bool m_closing = false;
    bool m_connectionEnded = false;   // the window closes once the queue is handled
    bool m_settingsLoaded = false;    // at the first login; a rejoin keeps them

    std::array<SeatRow, seatcount + 1> m_rows;
    QStringList m_spies;
    bool m_justWatch = false;
    bool m_startVisible = false;
    bool m_startEnabled = false;

    GamePanel m_panel;
    BoardSelection m_board;
    BoardCursor m_cursor;
    int m_secondsleft = 0;
    SoundCues m_sounds;

    ClientSettings m_settings;
    TileSets m_tileSets{m_settings};
};
