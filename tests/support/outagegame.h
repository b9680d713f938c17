#pragma once

#include "client/gameclient.h"
#include "protocol/wire.h"
#include "support/netlab.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <functional>

// Lets the event loop run until the condition holds or the time is up;
// answers whether it holds.
inline bool waitFor(const std::function<bool()> &condition, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

// A game over the line of a NetLab: zarvex-server and, given a level, a
// zarvex-bot named Bot on the server's side, and Pat's window (its core, with running timers) on
// the player's side, where the calling thread must already be. Pat sits in
// seat 1 and so holds the host's rights. Every moment is taken on one clock.
class OutageGame : public QObject
{
public:
    static constexpr int port = 7990;   // the server has a network of its own

    OutageGame(NetLab &lab, const QString &server, const QString &bot, const QString &botLevel)
        : window(nullptr, Ticker::Running)
    {
        clock.start();
        connect(&m_server, &QProcess::readyReadStandardOutput, this, [this] { readLog(); });
        m_server.start("ip", lab.serverSide(server, {"--port", QString::number(port), "--no-web"}));
        if (!waitFor([this] { return when("listening") >= 0; }, 10000)) {
            why = "zarvex-server did not start";
            return;
        }
        const TSock::TNotifyInfoEvent handler = window.socket().OnInfo;
        window.socket().OnInfo = [this, handler](TSock *s, TSock::TSocketInfo info, const QByteArray &msg) {
            if (info == TSock::siError)
                reports << msg;
            handler(s, info, msg);
        };
        connect(&window.reconnector(), &Reconnector::reconnecting, this, [this] { windowLost = clock.elapsed(); });
        connect(&window.reconnector(), &Reconnector::reconnected, this, [this] { windowBack = clock.elapsed(); });
        window.setGamePort(QByteArray::number(port));
        window.processparams({"Pat", NetLab::serverAddress, "join"});
        if (!waitFor([this] { return window.myseat() == 1; }, 10000)) {
            why = "the window did not get seat 1";
            return;
        }
        if (botLevel.isEmpty())
            return;
        m_bot.start("ip", lab.serverSide(bot, {"--level", botLevel, "--name", "Bot", "--port",
                                               QString::number(port), "127.0.0.1"}));
        if (!waitFor([this] { return window.row(2).name == "Bot"; }, 10000))
            why = "the bot did not join";
    }
    ~OutageGame() override
    {
        m_bot.kill();
        m_bot.waitForFinished(5000);
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    // Pat starts a game of rounds of that many seconds that nobody wins.
    void startGame(int seconds)
    {
        window.send(Wire::message("CMD_startgame", {"Pat", "100000", QByteArray::number(seconds), "f", "f", ""}));
    }
    bool inRound() const { return window.activeseat() == 1 && window.board().wordLength() > 0; }

    // When the first log line holding the text after the moment arrived;
    // -1 if none has.
    qint64 when(const QByteArray &text, qint64 after = -1)
    {
        readLog();
        for (const auto &[at, line] : logLines)
            if (at > after && line.contains(text))
                return at;
        return -1;
    }

    QElapsedTimer clock;
    GameClient window;
    QString why;                                  // empty when all are in
    QList<QPair<qint64, QByteArray>> logLines;    // the server's, as they came
    QList<QByteArray> reports;                    // the window's socket errors
    qint64 windowLost = -1;
    qint64 windowBack = -1;

private:
    void readLog()
    {
        m_partial += m_server.readAllStandardOutput();
        for (int end; (end = m_partial.indexOf('\n')) >= 0; m_partial.remove(0, end + 1))
            logLines.append({clock.elapsed(), m_partial.left(end)});
    }

    QProcess m_server;
    QProcess m_bot;
    QByteArray m_partial;
};
