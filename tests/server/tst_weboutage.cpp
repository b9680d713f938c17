// A browser's seat over a real line that fails silently: the server gives
// the WebSocket up as soon as it gives up a window's connection, holds the
// seat, and a page back from the same machine sits there again.

#include "support/netlab.h"
#include "support/testmain.h"
#include "support/webvisitors.h"

#include <QElapsedTimer>
#include <QProcess>

#include <memory>

class TestWebOutage : public QObject
{
    Q_OBJECT

    std::unique_ptr<NetLab> lab;

private slots:
    void initTestCase()
    {
        lab = std::make_unique<NetLab>();
        if (!lab->whyNot().isEmpty())
            QSKIP(qPrintable(lab->whyNot()));
        QVERIFY(lab->enterPlayerSide());
    }
    void cleanupTestCase() { lab.reset(); }

    void aSilentPageIsGivenUpAsATcpSeatIs()
    {
        // The server has a network of its own: its usual ports are free there.
        const quint16 webPort = 7773;
        QProcess server;
        QByteArray log;
        QElapsedTimer clock;
        clock.start();
        qint64 heldAt = -1;
        connect(&server, &QProcess::readyReadStandardOutput, this, [&] {
            log += server.readAllStandardOutput();
            if (heldAt < 0 && log.contains("Pia lost the connection: seat 1 is held"))
                heldAt = clock.elapsed();
        });
        server.start("ip", lab->serverSide(ZARVEX_SERVER, {"--port", "7772", "--web-port", QString::number(webPort),
                                                          "--no-announce"}));
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Browsers join at http://" + QByteArray(NetLab::serverAddress)), 10000);

        const QString origin = QStringLiteral("http://%1:%2").arg(NetLab::serverAddress).arg(webPort);
        auto open = [&] {
            auto page = std::make_unique<QWebSocket>(origin);
            page->open(QUrl(QStringLiteral("ws://%1:%2/ws").arg(NetLab::serverAddress).arg(webPort)));
            return page;
        };
        MessageAssembler assembler;
        QList<QByteArray> received;
        std::unique_ptr<QWebSocket> page = open();
        connect(page.get(), &QWebSocket::binaryMessageReceived, this,
                [&](const QByteArray &frame) { received += assembler.feed(frame); });
        QTRY_VERIFY_WITH_TIMEOUT(received.contains("CMD_sendlogininfo+1"), 10000);
        page->sendBinaryMessage(Wire::message("CMD_logininfo", {"1", Wire::Version, "Pia"}));
        page->sendBinaryMessage(Wire::message("CMD_startgame", {"Pia", "250", "60", "f", "f", ""}));
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Pia started a game"), 10000);

        QVERIFY(lab->cut());
        const qint64 cut = clock.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(heldAt >= 0, 40000);
        const qint64 detection = heldAt - cut;
        qInfo("the server gave the silent page up after %lld ms", detection);
        // As a window's line: the probes' time, and within half a minute.
        QVERIFY2(detection >= (Wire::KeepAliveIdle + Wire::KeepAliveInterval * Wire::KeepAliveCount) * 1000 - 1500,
                 QByteArray::number(detection).constData());
        QVERIFY2(detection <= 30000, QByteArray::number(detection).constData());

        // The line is back: the page comes back from the same machine.
        QVERIFY(lab->restore());
        page->abort();
        received.clear();
        assembler.clear();
        std::unique_ptr<QWebSocket> back = open();
        connect(back.get(), &QWebSocket::binaryMessageReceived, this,
                [&](const QByteArray &frame) { received += assembler.feed(frame); });
        QTRY_VERIFY_WITH_TIMEOUT(received.contains("CMD_sendlogininfo+1"), 10000);
        back->sendBinaryMessage(Wire::message("CMD_logininfo", {"1", Wire::Version, "Pia"}));
        QTRY_VERIFY_WITH_TIMEOUT(log.contains("Pia is back in seat 1"), 10000);
        server.terminate();
        QVERIFY(server.waitForFinished(5000));
    }
};

ZARVEX_TEST_MAIN(TestWebOutage)
#include "tst_weboutage.moc"
