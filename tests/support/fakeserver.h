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
        client.paintbox_boardMouseUp((column - 1) * 44 + 20, (row - 1) * 44 + 20, right);
        settle();
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
