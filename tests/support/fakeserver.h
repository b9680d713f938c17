#pragma once

#include "client/gameclient.h"
#include "protocol/messageassembler.h"
#include "protocol/wire.h"
#include "support/loopback.h"
#include "support/settle.h"

#include <functional>

// A game client on its own, connected to a server that the test plays by
// hand: the test writes the server's messages and reads what the client sent.
struct ClientUnderTest
{
    Loopback::Listener listener;
    GameClient client{nullptr, Ticker::Manual};
    MessageAssembler assembler;
    QList<QByteArray> sent;       // messages from the client, without terminators
    QStringList sounds;
    QStringList boxes;
    QList<QByteArray> lines;
    // Plays the board by keys instead of the mouse: a click becomes the
    // keys that do the same (see click).
    bool byKeys = false;

    explicit ClientUnderTest(int seat, const QByteArray &name = "Bob")
    {
        QObject::connect(&client, &GameClient::sound, [this](const QString &s) { sounds << s; });
        QObject::connect(&client, &GameClient::messageBox, [this](const QString &s) { boxes << s; });
        QObject::connect(&client, &GameClient::chatLine, [this](const QByteArray &l) { lines << l; });
        client.setGamePort(listener.port());
        client.setLobbyPort(Loopback::freePort());
        client.processparams({QString::fromUtf8(name), "127.0.0.1", "join"});
        QTRY_VERIFY(listener.accepted);
        listener.accepted->OnRead = [this](TSock *s, int) { sent += assembler.feed(s->Receive()); };
        feed("CMD_sendlogininfo+" + QByteArray::number(seat));
    }

    // A game of the type starts and it is this seat's turn on the board,
    // with the word given; the sounds so far are forgotten.
    void startTurn(const QByteArray &loadboard, const QByteArray &theword, bool scrambled)
    {
        feed(Wire::message("CMD_startgame", {"Ann", "250", "30", scrambled ? "t" : "f", "f", ""}).chopped(1));
        feed(loadboard);
        feed(theword);
        feed("CMD_nextplayer+" + QByteArray::number(client.myseat()) + '+');
        sounds.clear();
    }

    QList<QByteArray> sentWith(const QByteArray &prefix) const
    {
        QList<QByteArray> out;
        for (const QByteArray &m : sent)
            if (m.startsWith(prefix))
                out << m;
        return out;
    }

    // The server says something; the client handles it.
    void feed(const QByteArray &message)
    {
        listener.accepted->Send(message + Wire::Terminator);
        settle();
    }
    void settle()
    {
        settleUntilQuiet([this] {
            bool moved = false;
            for (; client.queued() > 0; moved = true)
                client.Timer1Timer();
            return moved;
        });
    }
    void click(int column, int row, bool right = false)
    {
        if (!byKeys) {
            client.paintbox_boardMouseUp((column - 1) * 44 + 20, (row - 1) * 44 + 20, right);
        } else if (!right) {
            walkTo(column, row);
            key(Qt::Key_Space);
        } else if (QPoint(column, row) == client.board().lastSelected()) {
            key(Qt::Key_Backspace);
        } else if (client.board().code(column, row) <= BoardSelection::highlight
                   || client.board().selectedcount() == 0) {
            key(Qt::Key_Escape);
        }
        // (The right button on a taken tile but the last does nothing; no
        // key does that.)
        settle();
    }
    // A key pressed on the board; text is what a letter key types. Keys
    // reach the client at once: settle() lets what they sent arrive.
    void key(int key, const QString &text = QString())
    {
        client.boardKeyPress(key, text);
    }
    void type(const QByteArray &letters)
    {
        for (char letter : letters)
            key(Qt::Key_A + (letter - 'a'), QString(QLatin1Char(letter)));
        settle();
    }
    // The cursor to a tile by the arrow keys, from the first tile.
    void walkTo(int column, int row)
    {
        key(Qt::Key_Home);
        for (int c = 1; c < column; ++c)
            key(Qt::Key_Right);
        for (int r = 1; r < row; ++r)
            key(Qt::Key_Down);
    }
};

// A CMD_loadboard whose tiles all carry filler (z), but for the given ones.
inline QByteArray boardMessage(int round, const QList<std::tuple<int, int, char>> &letters)
{
    QByteArray text = "CMD_loadboard+" + QByteArray::number(round);
    for (int c = 1; c <= 10; ++c)
        for (int r = 1; r <= 9; ++r) {
            int code = 26;
            for (const auto &[lc, lr, letter] : letters)
                if (lc == c && lr == r)
                    code = letter - 'a' + 1;
            text += '+' + QByteArray::number(c) + '+' + QByteArray::number(r) + '+' + QByteArray::number(code);
        }
    return text;
}

inline QByteArray wordMessage(const QByteArray &word)
{
    QByteArray text = "CMD_theword";
    for (int k = 1; k <= word.size(); ++k)
        text += '+' + QByteArray::number(k) + '+' + QByteArray::number(word[k - 1] - 'a' + 1);
    return text;
}
