#include "lobby/joinaddress.h"
#include "support/testmain.h"

// What a player types into the address field, read or refused before
// anything reaches the network.
class TestJoinAddress : public QObject
{
    Q_OBJECT

private slots:
    void typedAddresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<int>("port");
        QTest::addColumn<QString>("shown");
        QTest::newRow("name") << "box" << QByteArray("box") << 7772 << "box";
        QTest::newRow("name with blanks around") << "  box.local \t" << QByteArray("box.local") << 7772 << "box.local";
        QTest::newRow("name and port") << "box:7790" << QByteArray("box") << 7790 << "box:7790";
        QTest::newRow("the usual port written out") << "box:7772" << QByteArray("box") << 7772 << "box";
        QTest::newRow("IPv4") << "192.0.2.7" << QByteArray("192.0.2.7") << 7772 << "192.0.2.7";
        QTest::newRow("IPv4 and port") << "192.0.2.7:7790" << QByteArray("192.0.2.7") << 7790 << "192.0.2.7:7790";
        QTest::newRow("IPv6 in brackets with port") << "[::1]:7790" << QByteArray("::1") << 7790 << "[::1]:7790";
        QTest::newRow("IPv6 in brackets") << "[2001:db8::7]" << QByteArray("2001:db8::7") << 7772 << "2001:db8::7";
        QTest::newRow("IPv6 bare") << "2001:db8::7" << QByteArray("2001:db8::7") << 7772 << "2001:db8::7";
        QTest::newRow("IPv6 with its interface") << "[fe80::1%eth0]:7790" << QByteArray("fe80::1%eth0") << 7790
                                                 << "[fe80::1%eth0]:7790";
        QTest::newRow("lowest port") << "box:1" << QByteArray("box") << 1 << "box:1";
        QTest::newRow("highest port") << "box:65535" << QByteArray("box") << 65535 << "box:65535";
        QTest::newRow("port with leading zeros") << "box:007790" << QByteArray("box") << 7790 << "box:7790";
        QTest::newRow("name ending in a dot") << "box.local." << QByteArray("box.local.") << 7772 << "box.local.";
        QTest::newRow("name starting with a digit") << "3com-box" << QByteArray("3com-box") << 7772 << "3com-box";
        QTest::newRow("longest part") << QString(63, 'a') + ".lan" << QByteArray(63, 'a') + ".lan" << 7772
                                      << QString(63, 'a') + ".lan";
        const QString longest = QString(62, 'a') + '.' + QString(62, 'b') + '.' + QString(62, 'c') + '.'
                                + QString(64, 'd').left(63);
        QTest::newRow("longest name") << longest << longest.toLatin1() << 7772 << longest;
    }
    void typedAddresses()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, host);
        QFETCH(int, port);
        QFETCH(QString, shown);
        const JoinAddress address = JoinAddress::parse(typed, 7772);
        QVERIFY2(address.isValid(), qPrintable(address.error()));
        QCOMPARE(address.host(), host);
        QCOMPARE(int(address.port()), port);
        QCOMPARE(address.text(), shown);
    }

    void refusedAddresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("error");
        const QString port = "The port after the \u201c:\u201d must be a number from 1 to 65535.";
        QTest::newRow("nothing") << "   " << "Type the name or address of the machine that hosts the game.";
        QTest::newRow("port 0") << "box:0" << port;
        QTest::newRow("port 65536") << "box:65536" << port;
        QTest::newRow("port far too large") << "box:99999999999999999999" << port;
        QTest::newRow("port not a number") << "box:http" << port;
        QTest::newRow("negative port") << "box:-1" << port;
        QTest::newRow("colon without port") << "box:" << port;
        QTest::newRow("bracket without port") << "[::1]:" << port;
        QTest::newRow("IPv6 port 0") << "[::1]:0" << port;
        QTest::newRow("IPv6 port 65536") << "[::1]:65536" << port;
        QTest::newRow("blank inside") << "my box" << "\u201cmy box\u201d is not the name or address of a machine.";
        QTest::newRow("letters beyond ASCII") << "b\u00f6x" << "\u201cb\u00f6x\u201d is not the name or address of a machine.";
        QTest::newRow("bad IPv4") << "192.0.2.999" << "\u201c192.0.2.999\u201d is not the name or address of a machine.";
        QTest::newRow("digits only") << "12345" << "\u201c12345\u201d is not the name or address of a machine.";
        QTest::newRow("empty part") << "box..lan" << "\u201cbox..lan\u201d is not the name or address of a machine.";
        QTest::newRow("leading hyphen") << "-box" << "\u201c-box\u201d is not the name or address of a machine.";
        QTest::newRow("part too long") << QString(64, 'a') << "\u201c" + QString(64, 'a') + "\u201d is not the name or address of a machine.";
        QTest::newRow("unclosed bracket") << "[::1:7790" << "\u201c[::1:7790\u201d is not the name or address of a machine.";
        QTest::newRow("not IPv6 in brackets") << "[box]:7790" << "\u201c[box]:7790\u201d is not the name or address of a machine.";
        QTest::newRow("garbage after bracket") << "[::1]x" << "\u201c[::1]x\u201d is not the name or address of a machine.";
        QTest::newRow("bad interface") << "[fe80::1%]:1" << "\u201c[fe80::1%]:1\u201d is not the name or address of a machine.";
        QTest::newRow("port without host") << ":7790" << "\u201c:7790\u201d is not the name or address of a machine.";
        QTest::newRow("url") << "http://box" << "\u201chttp://box\u201d is not the name or address of a machine.";
        QTest::newRow("control character") << QString("box\x01") << "\u201cbox\x01\u201d is not the name or address of a machine.";
        QTest::newRow("too long") << QString(301, 'a') << "That address is too long.";
    }
    void refusedAddresses()
    {
        QFETCH(QString, typed);
        QFETCH(QString, error);
        const JoinAddress address = JoinAddress::parse(typed, 7772);
        QVERIFY(!address.isValid());
        QCOMPARE(address.error(), error);
        QVERIFY(address.host().isEmpty());
    }

    // A name just at the DNS bounds is taken; one character more is not.
    void nameBounds()
    {
        const QString at = QString(63, 'a') + '.' + QString(63, 'b') + '.' + QString(63, 'c') + '.' + QString(61, 'd');
        QCOMPARE(at.size(), JoinAddress::MaxNameLength);
        QVERIFY(JoinAddress::parse(at, 7772).isValid());
        QVERIFY(!JoinAddress::parse(at + 'd', 7772).isValid());
    }
};

ZARVEX_TEST_MAIN(TestJoinAddress)
#include "tst_joinaddress.moc"
