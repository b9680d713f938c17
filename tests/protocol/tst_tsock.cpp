#include "protocol/sockerrors.h"
#include "protocol/tsock.h"
#include "support/loopback.h"
#include "support/testmain.h"

#include <fcntl.h>
#include <netdb.h>

using namespace Loopback;

namespace {

// Records the events of one socket as short texts, in order.
struct EventLog
{
    QStringList events;

    void attach(TSock &sock, bool withInfo = true)
    {
        sock.OnDisconnect = [this](TSock *) { events << "disconnect"; };
        sock.OnConnect = [this](TSock *) { events << "connect"; };
        sock.OnRead = [this](TSock *, int count) { events << QStringLiteral("read %1").arg(count); };
        if (withInfo)
            sock.OnInfo = [this](TSock *, TSock::TSocketInfo info, const QByteArray &msg) {
                events << QStringLiteral("%1 %2").arg(int(info)).arg(QString::fromLatin1(msg));
            };
    }
    // The events that tell about the connection's end or failure.
    QStringList endings() const
    {
        QStringList out;
        for (const QString &e : events)
            if (e == "disconnect" || e.startsWith("2 ") || e.startsWith("7 "))
                out << e;
        return out;
    }
};

QString raised(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const ESockException &e) {
        return QString::fromLatin1(e.what());
    }
    return QString();
}

} // namespace

class TestTSock : public QObject
{
    Q_OBJECT

private slots:
    void errorNames_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("name");
        QTest::newRow("refused") << 10061 << "WSAECONNREFUSED";
        QTest::newRow("reset") << 10054 << "WSAECONNRESET";
        QTest::newRow("timed out") << 10060 << "WSAETIMEDOUT";
        QTest::newRow("host not found") << 11001 << "WSAHOST_NOT_FOUND";
        QTest::newRow("no data") << 11004 << "WSANO_DATA";
        QTest::newRow("not initialised") << 10093 << "WSANOTINITIALISED";
        QTest::newRow("disconnected") << 10101 << "WSAEDISCON";
        QTest::newRow("gap after 10071") << 10072 << "UNKNOWN ERROR";
        QTest::newRow("unlisted") << 12345 << "UNKNOWN ERROR";
    }
    void errorNames()
    {
        QFETCH(int, number);
        QFETCH(QString, name);
        QCOMPARE(QString::fromLatin1(SockErrors::name(number)), name);
    }

    void posixErrorsMapToWinsockNumbers()
    {
        QCOMPARE(SockErrors::fromErrno(ECONNREFUSED), 10061);
        QCOMPARE(SockErrors::fromErrno(ECONNRESET), 10054);
        QCOMPARE(SockErrors::fromErrno(ETIMEDOUT), 10060);   // a line given up
        QCOMPARE(SockErrors::fromErrno(EAGAIN), 10035);
        QCOMPARE(SockErrors::name(SockErrors::fromErrno(ENOMEDIUM)), QByteArray("UNKNOWN ERROR"));
    }

    void twoMessagesInOneReadReachOnReadOnce()
    {
        Pair pair;
        QList<int> counts;
        pair.server().OnRead = [&](TSock *, int count) { counts << count; };
        pair.client.Send("first\xff" "second\xff");
        QTRY_COMPARE(counts.size(), 1);
        QCOMPARE(counts.first(), 13);
        QCOMPARE(pair.server().Receive(), QByteArray("first\xff" "second\xff"));
        QCOMPARE(pair.server().InboundCount(), 0);
    }

    void receiveCountTakesFromTheFront()
    {
        Pair pair;
        pair.client.Send("abcdef");
        QTRY_COMPARE(pair.server().InboundCount(), 6);
        QCOMPARE(pair.server().ReceiveCount(2), QByteArray("ab"));
        QCOMPARE(pair.server().ReceiveCount(10), QByteArray("cdef"));
    }

    void orderlyCloseCallsOnDisconnectBeforeSocketClosed()
    {
        Pair pair;
        EventLog log;
        log.attach(pair.client);
        pair.server().Send("last words");
        pair.server().Close();
        QTRY_VERIFY(!pair.client.HandleValid());
        QCOMPARE(log.endings(), QStringList({"disconnect", "2 Socket Closed"}));
        // What arrived before the close can still be taken.
        QCOMPARE(pair.client.Receive(), QByteArray("last words"));
    }

    void resetGivesOnlyTheErrorReport()
    {
        const int raw = rawListener();
        TSock client;
        EventLog log;
        log.attach(client);
        client.setHostName("127.0.0.1");
        client.setPortName(QByteArray::number(portOf(raw)));
        client.Open();
        QTRY_VERIFY(client.Connected());
        const int peer = ::accept(raw, nullptr, nullptr);
        const linger abort{1, 0};
        setsockopt(peer, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
        ::close(peer);
        QTRY_VERIFY(!log.endings().isEmpty());
        QTest::qWait(100);
        QCOMPARE(log.endings(), QStringList({"7 Error #10054 (WSAECONNRESET)"}));
        QVERIFY(client.HandleValid());
        ::close(raw);
    }

    void refusedConnectGivesOnlyTheErrorReport()
    {
        TSock client;
        EventLog log;
        log.attach(client);
        client.setHostName("127.0.0.1");
        client.setPortName(QByteArray::number(freePort()));
        QVERIFY(!client.Open());
        QTRY_VERIFY(!log.endings().isEmpty());
        QTest::qWait(100);
        QCOMPARE(log.endings(), QStringList({"7 Error #10061 (WSAECONNREFUSED)"}));
        QVERIFY(client.HandleValid());
        QVERIFY(!client.Connected());
        QVERIFY(!log.events.contains("connect"));
    }

    void partialSendKeepsTheRestForTheNextWriteNotification()
    {
        const int raw = rawListener(4096);
        TSock client;
        client.setHostName("127.0.0.1");
        client.setPortName(QByteArray::number(portOf(raw)));
        client.Open();
        QTRY_VERIFY(client.Connected());
        const int peer = ::accept(raw, nullptr, nullptr);
        fcntl(peer, F_SETFL, O_NONBLOCK);
        const int small = 4096;
        setsockopt(client.Handle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small);
        QTest::qWait(20);   // let the first write notification of the connect pass

        QByteArray data(2 * 1024 * 1024, Qt::Uninitialized);
        for (int i = 0; i < data.size(); ++i)
            data[i] = char(i * 7 + i / 251);
        QList<int> leftAtOnWrite;
        client.OnWrite = [&](TSock *s) { leftAtOnWrite << s->OutboundCount(); };
        client.Send(data);
        const int leftAfterSend = client.OutboundCount();
        QVERIFY(leftAfterSend > 0);
        QVERIFY(leftAfterSend < data.size());

        QByteArray received;
        QElapsedTimer clock;
        clock.start();
        while (received.size() < data.size() && clock.elapsed() < 20000) {
            char buf[65536];
            const ssize_t got = ::recv(peer, buf, sizeof buf, 0);
            if (got > 0)
                received.append(buf, int(got));
            QCoreApplication::processEvents();
        }
        QCOMPARE(received.size(), data.size());
        QVERIFY(received == data);
        QVERIFY(!leftAtOnWrite.isEmpty());
        QVERIFY(leftAtOnWrite.first() < leftAfterSend);
        QTRY_COMPARE(client.OutboundCount(), 0);
        ::close(peer);
        ::close(raw);
    }

    void bindingAPortInUseFailsAndTheSocketStaysInUse()
    {
        const int raw = rawListener();
        TSock sock;
        sock.setPortName(QByteArray::number(portOf(raw)));
        QCOMPARE(raised([&] { sock.setListen(true); }), QString("Listen - Error Binding Socket"));
        QVERIFY(!sock.Listen());
        QVERIFY(sock.HandleValid());
        QCOMPARE(raised([&] { sock.setListen(true); }), QString("Listen - Socket Already In Use"));
        ::close(raw);
        sock.Close();
        QCOMPARE(raised([&] { sock.setListen(true); }), QString());
        QVERIFY(sock.Listen());
    }

    void closeReportsByState()
    {
        Pair pair;
        EventLog log;
        log.attach(pair.client);
        pair.client.Close();
        QCOMPARE(log.events.last(), QString("2 Socket Closed"));

        EventLog listenerLog;
        listenerLog.attach(pair.listener.sock);
        pair.listener.sock.Close();
        QVERIFY(listenerLog.events.isEmpty());

        Listener second;
        EventLog secondLog;
        secondLog.attach(second.sock);
        second.sock.setListen(true);
        second.sock.setListen(false);
        QCOMPARE(secondLog.events,
                 QStringList({"3 Listening Already Running", "2 Socket Closed", "3 Listening Stopped"}));
    }

    void acceptCopiesHandlersAndReportsThePeer()
    {
        Listener listener;
        QStringList infos;
        TSock *accepted = nullptr;
        bool connectCopied = false;
        listener.sock.OnInfo = [&](TSock *sender, TSock::TSocketInfo info, const QByteArray &msg) {
            infos << QStringLiteral("%1 %2 %3").arg(sender == &listener.sock ? "L" : "N").arg(int(info)).arg(QString::fromLatin1(msg));
        };
        listener.sock.OnRead = [](TSock *, int) {};
        listener.sock.OnConnect = [&](TSock *) { connectCopied = true; };
        listener.sock.OnAccept = [&](TSock *s) { s->Accept(accepted); };
        TSock client;
        client.setHostName("127.0.0.1");
        client.setPortName(listener.port());
        client.Open();
        QTRY_VERIFY(accepted);
        QCOMPARE(infos.mid(0, 3), QStringList({"N 0 Setting PortName While Connected Has No Effect",
                                     "N 0 Setting HostName While Connected Has No Effect",
                                     "L 6 Created New TSock Structure"}));
        QVERIFY(accepted->Connected());
        QVERIFY(bool(accepted->OnRead));
        QVERIFY(!accepted->OnConnect);
        QCOMPARE(accepted->HostName(), QByteArray("127.0.0.1"));
        QCOMPARE(accepted->PortName(), listener.sock.PortName());
        QCOMPARE(accepted->parent(), &listener.sock);
        QVERIFY(!connectCopied);
    }

    void misuseRaisesItsErrors()
    {
        TSock idle;
        QCOMPARE(raised([&] { idle.Send("x"); }), QString("Send - Socket Not Connected"));
        QCOMPARE(raised([&] { idle.Receive(); }), QString("Receive - Socket Not Connected"));
        TSock *none = nullptr;
        QCOMPARE(raised([&] { idle.Accept(none); }), QString("Accept - Socket Not In Listening Mode"));
        QCOMPARE(raised([&] { idle.SendDatagram("x", "127.0.0.1"); }), QString("SendDatagram - Socket Not Connected"));

        Listener listener;
        QCOMPARE(raised([&] { listener.sock.Send("x"); }), QString("Send - Cannot Send On A Listener Socket"));
        QCOMPARE(raised([&] { listener.sock.Receive(); }), QString("Receive - Cannot Receive On A Listener Socket"));
        QCOMPARE(raised([&] { listener.sock.setSocketType(TSock::stDatagram); }),
                 QString("SocketType - Can't Assign Socket Type While Listening"));

        Pair pair;
        QCOMPARE(raised([&] { pair.client.setSocketType(TSock::stDatagram); }),
                 QString("SocketType - Can't Assign Socket Type While Connected"));
        QByteArray host;
        QCOMPARE(raised([&] { pair.client.ReceiveDatagram(host); }),
                 QString("ReceiveDatagram - Datagram Receive Not Supported On Stream Sockets"));

        TSock datagram;
        datagram.setSocketType(TSock::stDatagram);
        QCOMPARE(raised([&] { datagram.setListen(true); }), QString("Listen - Cannot Listen On A Datagram Socket"));

        TSock noisy;
        noisy.OnInfo = [](TSock *, TSock::TSocketInfo, const QByteArray &) { throw std::runtime_error("boom"); };
        QCOMPARE(raised([&] { noisy.LookupPort("1"); }), QString("Error here"));
    }

    void settingAddressWhileConnectedHasNoEffect()
    {
        Pair pair;
        QStringList infos;
        pair.client.OnInfo = [&](TSock *, TSock::TSocketInfo info, const QByteArray &msg) {
            infos << QStringLiteral("%1 %2").arg(int(info)).arg(QString::fromLatin1(msg));
        };
        pair.client.setHostName("example");
        pair.client.setPortName("1");
        QCOMPARE(infos, QStringList({"0 Setting HostName While Connected Has No Effect",
                                     "0 Setting PortName While Connected Has No Effect"}));
    }

    void hostLookupUsesDottedTextAndTheCache()
    {
        TSock sock;
        QStringList infos;
        sock.OnInfo = [&](TSock *, TSock::TSocketInfo, const QByteArray &msg) { infos << QString::fromLatin1(msg); };
        const int before = TSock::resolverCalls();
        QCOMPARE(sock.LookupHost("127.0.0.1").s_addr, htonl(INADDR_LOOPBACK));
        QCOMPARE(TSock::resolverCalls(), before);
        QCOMPARE(sock.LookupHost("").s_addr, htonl(INADDR_ANY));

        const in_addr first = sock.LookupHost("localhost");
        QCOMPARE(first.s_addr, htonl(INADDR_LOOPBACK));
        QCOMPARE(TSock::resolverCalls(), before + 1);
        QCOMPARE(sock.LookupHost("LocalHost").s_addr, first.s_addr);
        QCOMPARE(TSock::resolverCalls(), before + 1);
        QCOMPARE(infos.first(), QString("Lookup Of Host 127.0.0.1"));
    }

    void portLookup()
    {
        TSock sock;
        QCOMPARE(sock.LookupPort("7772"), quint16(7772));
        QCOMPARE(raised([&] { sock.LookupPort("no-such-service-here"); }),
                 QString("Port Lookup - Could Not Find Service Entry"));
        const servent *smtp = getservbyname("smtp", "tcp");
        if (!smtp)
            QSKIP("this machine has no services database");
        QCOMPARE(sock.LookupPort("smtp"), quint16(25));
    }

    void datagramsTravelBetweenTwoBoundSockets()
    {
        TSock receiver;
        receiver.setSocketType(TSock::stDatagram);
        receiver.setPortName("0");
        QVERIFY(receiver.Open());
        const QByteArray port = QByteArray::number(portOf(receiver.Handle()));
        int reads = 0;
        receiver.OnRead = [&](TSock *, int) { ++reads; };

        TSock sender;
        sender.setSocketType(TSock::stDatagram);
        sender.setPortName("0");
        QVERIFY(sender.Open());
        sender.setPortName(port);
        sender.SendDatagram("hello", "127.0.0.1");
        QTRY_COMPARE(reads, 1);
        QByteArray from;
        QCOMPARE(receiver.ReceiveDatagram(from), QByteArray("hello"));
        QCOMPARE(from, QByteArray("127.0.0.1"));
    }

    void blockingClientSendsAndReceives()
    {
        Listener listener;
        TSock client;
        client.setBlocking(true);
        client.setBlockingTimeout(5000);
        client.setHostName("127.0.0.1");
        client.setPortName(listener.port());
        QStringList infos;
        client.OnInfo = [&](TSock *, TSock::TSocketInfo, const QByteArray &msg) { infos << QString::fromLatin1(msg); };
        QVERIFY(client.Open());
        QVERIFY(infos.contains("Blocking Socket Connected"));
        QTRY_VERIFY(listener.accepted);
        client.Send("ping");
        QTRY_COMPARE(listener.accepted->InboundCount(), 4);
        QCOMPARE(listener.accepted->Receive(), QByteArray("ping"));
        listener.accepted->Send("pong");
        QCOMPARE(client.Receive(), QByteArray("pong"));
    }

    // A listener on every address takes IPv4 and IPv6 callers alike; one on
    // the loopback address alone refuses a caller from another address.
    void listenersTakeTheAddressesTheyAreBoundTo_data()
    {
        QTest::addColumn<QByteArray>("bind");
        QTest::addColumn<QByteArray>("caller");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("peer");
        QTest::newRow("every address, IPv4 caller") << QByteArray() << QByteArray("127.0.0.1") << true << QByteArray("127.0.0.1");
        QTest::newRow("every address, IPv6 caller") << QByteArray() << QByteArray("::1") << true << QByteArray("::1");
        QTest::newRow("every address, caller by name") << QByteArray() << QByteArray("localhost") << true << QByteArray("127.0.0.1");
        QTest::newRow("loopback only, IPv4 caller") << QByteArray("127.0.0.1") << QByteArray("127.0.0.1") << true << QByteArray("127.0.0.1");
        QTest::newRow("loopback only, IPv6 caller") << QByteArray("127.0.0.1") << QByteArray("::1") << false << QByteArray();
        QTest::newRow("IPv6 loopback only, IPv4 caller") << QByteArray("::1") << QByteArray("127.0.0.1") << false << QByteArray();
    }
    void listenersTakeTheAddressesTheyAreBoundTo()
    {
        QFETCH(QByteArray, bind);
        QFETCH(QByteArray, caller);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, peer);
        TSock listener;
        TSock *taken = nullptr;
        listener.setBindAddress(bind);
        listener.setPortName("0");
        listener.OnAccept = [&](TSock *s) { s->Accept(taken); };
        listener.setListen(true);
        TSock client;
        EventLog log;
        log.attach(client);
        client.setHostName(caller);
        client.setPortName(QByteArray::number(listener.LocalPort()));
        client.Open();
        if (accepted) {
            QTRY_VERIFY(taken && client.Connected());
            QCOMPARE(taken->PeerAddress(), peer);
            QCOMPARE(taken->HostName(), peer);
        } else {
            QTRY_COMPARE(log.endings(), QStringList({"7 Error #10061 (WSAECONNREFUSED)"}));
            QVERIFY(!taken);
        }
    }

    void aListenerRefusesABindAddressThatIsNoNumber()
    {
        TSock listener;
        listener.setBindAddress("not-an-address");
        listener.setPortName("0");
        QCOMPARE(raised([&] { listener.setListen(true); }), QString("Listen - Error Binding Socket"));
        QVERIFY(!listener.Listen());
    }

    void addressLookupReadsNumbersOfBothKindsAndRefusesTheRest()
    {
        TSock sock;
        const int before = TSock::resolverCalls();
        QCOMPARE(int(sock.LookupAddress("::1").ss_family), AF_INET6);
        QCOMPARE(int(sock.LookupAddress("127.0.0.1").ss_family), AF_INET);
        const sockaddr_storage scoped = sock.LookupAddress("fe80::1%lo");
        QCOMPARE(int(scoped.ss_family), AF_INET6);
        QVERIFY(reinterpret_cast<const sockaddr_in6 &>(scoped).sin6_scope_id != 0);
        QCOMPARE(TSock::resolverCalls(), before);
        QCOMPARE(raised([&] { sock.LookupAddress(QByteArray("a\0b", 3)); }),
                 QString("Host Lookup - Could Not Find Host Entry"));
        QCOMPARE(TSock::resolverCalls(), before);
        // A name is asked once and IPv4 is preferred.
        QCOMPARE(int(sock.LookupAddress("localhost").ss_family), AF_INET);
        QVERIFY(TSock::resolverCalls() <= before + 1);
    }

    void aSocketWithoutAPeerHasNoPeerAddress()
    {
        TSock idle;
        QCOMPARE(idle.PeerAddress(), QByteArray());
        Listener listener;
        QCOMPARE(listener.sock.PeerAddress(), QByteArray());
    }
};

ZARVEX_TEST_MAIN(TestTSock)
#include "tst_tsock.moc"
