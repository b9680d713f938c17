#pragma once

#include "support/privatenetwork.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// A multicast DNS daemon of the test's own: an avahi-daemon confined to the
// loopback interface of the test's private network (see privatenetwork.h),
// IPv4 only, publishing nothing of the machine but the address records that
// resolving needs, under a host name of its own, and reached over a D-Bus
// system bus of its own. DBUS_SYSTEM_BUS_ADDRESS points this process and
// every program it starts at that bus while the daemon runs; the machine's
// own bus and daemon are never touched.
//
//     MdnsDaemon mdns;
//     if (!mdns.start())
//         QSKIP(qPrintable(mdns.problem()));
struct MdnsDaemon
{
    QTemporaryDir folder;
    QProcess bus;
    QProcess avahi;
    QString hostName = QStringLiteral("zarvex-test");
    QByteArray log;
    QString failure;

    QString problem() const { return QStringLiteral("no multicast DNS daemon for the test: ") + failure; }
    QString busAddress() const { return QStringLiteral("unix:path=") + folder.filePath(QStringLiteral("bus")); }

    static QString find(const QString &program)
    {
        return QStandardPaths::findExecutable(program, {"/usr/sbin", "/usr/bin", "/sbin", "/bin"});
    }

    bool start()
    {
        if (!PrivateNetwork::entered()) {
            failure = PrivateNetwork::failure();
            return false;
        }
        const QString busProgram = find(QStringLiteral("dbus-daemon"));
        const QString avahiProgram = find(QStringLiteral("avahi-daemon"));
        if (busProgram.isEmpty() || avahiProgram.isEmpty()) {
            failure = QStringLiteral("dbus-daemon and avahi-daemon must be installed");
            return false;
        }
        if (!folder.isValid() || !writeConfigs())
            failure = QStringLiteral("cannot write its configuration");
        if (!failure.isEmpty())
            return false;

        bus.setProcessChannelMode(QProcess::MergedChannels);
        bus.start(busProgram, {"--config-file=" + folder.filePath("bus.conf"), "--nofork", "--nopidfile"});
        if (!waitFor([this] { return QFile::exists(folder.filePath("bus")); }, 10000)) {
            failure = QStringLiteral("its D-Bus daemon did not start: ") + QString::fromLocal8Bit(bus.readAll());
            return false;
        }
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", busAddress().toLocal8Bit());

        // The daemon keeps its pid file and socket in /run/avahi-daemon,
        // which here is the test's own.
        QDir().mkpath(QStringLiteral("/run/avahi-daemon"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), busAddress());
        avahi.setProcessEnvironment(env);
        avahi.setProcessChannelMode(QProcess::MergedChannels);
        avahi.start(avahiProgram, {"-f", folder.filePath("avahi.conf"), "--no-drop-root", "--no-chroot",
                                   "--no-rlimits", "--no-proc-title"});
        if (!waitFor([this] {
                log += avahi.readAll();
                return log.contains("Server startup complete") || avahi.state() == QProcess::NotRunning;
            }, 15000) || !log.contains("Server startup complete")) {
            failure = QStringLiteral("avahi-daemon did not start: ") + QString::fromLocal8Bit(log);
            return false;
        }
        return true;
    }

    ~MdnsDaemon() { stop(); }

    void stop()
    {
        for (QProcess *p : {&avahi, &bus}) {
            if (p->state() == QProcess::NotRunning)
                continue;
            p->terminate();
            if (!p->waitForFinished(5000)) {
                p->kill();
                p->waitForFinished(2000);
            }
        }
        if (qgetenv("DBUS_SYSTEM_BUS_ADDRESS") == busAddress().toLocal8Bit())
            qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
    }

    template <class Condition>
    static bool waitFor(Condition condition, int ms)
    {
        QElapsedTimer clock;
        clock.start();
        while (!condition()) {
            if (clock.elapsed() > ms)
                return false;
            QTest::qWait(20);
        }
        return true;
    }

private:
    bool writeConfigs()
    {
        QFile busConf(folder.filePath("bus.conf"));
        QFile avahiConf(folder.filePath("avahi.conf"));
        if (!busConf.open(QIODevice::WriteOnly) || !avahiConf.open(QIODevice::WriteOnly))
            return false;
        busConf.write(QStringLiteral(
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN\"\n"
            " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig>\n"
            "  <type>system</type>\n"
            "  <listen>unix:path=%1</listen>\n"
            "  <auth>EXTERNAL</auth>\n"
            "  <policy context=\"default\">\n"
            "    <allow user=\"*\"/>\n"
            "    <allow own=\"org.freedesktop.Avahi\"/>\n"
            "    <allow send_destination=\"*\"/>\n"
            "    <allow receive_sender=\"*\"/>\n"
            "  </policy>\n"
            "</busconfig>\n").arg(folder.filePath("bus")).toUtf8());
        avahiConf.write(QStringLiteral(
            "[server]\n"
            "host-name=%1\n"
            "domain-name=local\n"
            "use-ipv4=yes\n"
            "use-ipv6=no\n"
            "allow-interfaces=lo\n"
            "enable-dbus=yes\n"
            "ratelimit-interval-usec=1000000\n"
            "ratelimit-burst=1000\n"
            "[wide-area]\n"
            "enable-wide-area=no\n"
            "[publish]\n"
            "publish-addresses=yes\n"
            "publish-hinfo=no\n"
            "publish-workstation=no\n"
            "publish-domain=no\n"
            "publish-aaaa-on-ipv4=no\n"
            "publish-a-on-ipv6=no\n"
            "[reflector]\n"
            "enable-reflector=no\n").arg(hostName).toUtf8());
        return true;
    }
};
