#pragma once

#include "support/loopback.h"
#include "support/serverharness.h"

#include <QProcess>

// The headless server as its own program on a port nobody else uses, with
// its log, and Ann logged in to it in seat 1.
struct ServerProcess
{
    quint16 port = Loopback::freePort();
    quint16 webPort = Loopback::freePort();
    QProcess process;
    QByteArray log;

    // Starts the server and waits until it listens; answers whether it does.
    bool start(const QString &program)
    {
        process.start(program, {"--port", QString::number(port), "--web-port", QString::number(webPort)});
        if (!process.waitForStarted())
            return false;
        QElapsedTimer clock;
        clock.start();
        while (!readLog().contains("listening") && clock.elapsed() < 10000)
            QTest::qWait(20);
        return log.contains("listening");
    }
    const QByteArray &readLog() { return log += process.readAllStandardOutput(); }

    // The first player: seat 1, logged in as Ann.
    std::unique_ptr<ScriptedClient> joinAsAnn()
    {
        auto ann = std::make_unique<ScriptedClient>(port);
        QElapsedTimer clock;
        clock.start();
        while (ann->received.value(0) != "CMD_sendlogininfo+1" && clock.elapsed() < 5000)
            QTest::qWait(10);
        ann->sendRaw(QByteArray("CMD_logininfo+1+1.0.5+Ann") + Wire::Terminator + Wire::Terminator);
        while (ann->with("CMD_newplayerinfo+1+Ann").isEmpty() && clock.elapsed() < 10000)
            QTest::qWait(10);
        return ann;
    }
};
