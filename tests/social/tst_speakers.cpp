#include "social/speakers.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Whether a library whose file name contains the text is loaded in this
// process.
bool mapped(const QByteArray &name)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(name);
}

} // namespace

// The speakers' library, loaded with the first sound.
class TestSpeakers : public QObject
{
    Q_OBJECT

private slots:
    void theSoundServiceIsLoadedWithTheFirstSoundOnly()
    {
        QVERIFY(!mapped("libQt6Multimedia"));
        bool server = false;
        Speakers speakers(nullptr, {ZARVEX_SPEAKERS_DIR}, [&server] { return server; });
        int beeps = 0;
        speakers.setBeep([&beeps] { ++beeps; });
        QVERIFY(!speakers.loaded());
        QVERIFY(!mapped("libzarvex-speakers"));
        QVERIFY(!mapped("libQt6Multimedia"));
        // Without a sound server nothing could be heard: nothing is loaded.
        speakers.play("tick");
        QVERIFY(!speakers.loaded());
        QVERIFY(!mapped("libQt6Multimedia"));

        server = true;
        speakers.play("tick");
        QVERIFY(speakers.loaded());
        QVERIFY(mapped("libzarvex-speakers"));
        QVERIFY(mapped("libQt6Multimedia"));
        speakers.play("wave14");
        // The library plays, or beeps for a name without a sound, from now on.
        QCOMPARE(beeps, 0);
    }

    // Without the library the game goes on without sound; a name that is
    // no sound, just past the last shout or anything else, still beeps.
    void withoutTheLibraryOnlyNamesWithoutASoundBeep_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("beeps");
        QTest::newRow("the last shout") << "wave14" << 0;
        QTest::newRow("past the last shout") << "wave15" << 1;
        QTest::newRow("a game sound in capitals") << "TICK" << 0;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("a path") << "../tick" << 1;
    }
    void withoutTheLibraryOnlyNamesWithoutASoundBeep()
    {
        QFETCH(QString, name);
        QFETCH(int, beeps);
        QTemporaryDir empty;
        Speakers speakers(nullptr, {empty.path()}, [] { return true; });
        int heard = 0;
        speakers.setBeep([&heard] { ++heard; });
        speakers.play(name);
        speakers.play(name);
        QCOMPARE(heard, 2 * beeps);
        QVERIFY(!speakers.loaded());
    }

    // A file of that name that is no such library is passed over for the
    // next folder.
    void aFileThatIsNoLibraryIsPassedOver_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("not a library\n");
        QTest::newRow("a cut library header") << QByteArray("\x7f" "ELF\x02\x01\x01", 7);
    }
    void aFileThatIsNoLibraryIsPassedOver()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir folder;
        QFile fake(folder.filePath(Speakers::LibraryName));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write(content);
        fake.close();
        Speakers stranded(nullptr, {folder.path()}, [] { return true; });
        stranded.setBeep([] {});
        stranded.play("tick");
        QVERIFY(!stranded.loaded());
        Speakers speakers(nullptr, {folder.path(), ZARVEX_SPEAKERS_DIR}, [] { return true; });
        speakers.play("tick");
        QVERIFY(speakers.loaded());
    }

    // The sound server is the one the environment names, or the socket of
    // the user's or the machine's server; a plain file, a folder or an empty
    // name is none.
    void aSoundServerIsASocketInItsPlace_data()
    {
        QTest::addColumn<QString>("pulseServer");
        QTest::addColumn<QString>("userNative");     // what lies at RUNTIME/pulse/native
        QTest::addColumn<QString>("systemNative");   // what lies at SYSTEM/native
        QTest::addColumn<bool>("reachable");
        QTest::newRow("nothing") << "" << "" << "" << false;
        QTest::newRow("the user's socket") << "" << "socket" << "" << true;
        QTest::newRow("the machine's socket") << "" << "" << "socket" << true;
        QTest::newRow("a plain file") << "" << "file" << "file" << false;
        QTest::newRow("a folder") << "" << "folder" << "" << false;
        QTest::newRow("named by the environment") << "tcp:box:4713" << "" << "" << true;
        QTest::newRow("a blank name") << "  " << "" << "" << false;
    }
    void aSoundServerIsASocketInItsPlace()
    {
        QFETCH(QString, pulseServer);
        QFETCH(QString, userNative);
        QFETCH(QString, systemNative);
        QFETCH(bool, reachable);
        QTemporaryDir runtime, system;
        QVERIFY(QDir(runtime.path()).mkdir("pulse"));
        QVERIFY(place(runtime.filePath("pulse/native"), userNative));
        QVERIFY(place(system.filePath("native"), systemNative));
        QCOMPARE(Speakers::soundServerIn(pulseServer, runtime.path(), system.path()), reachable);
        QVERIFY(!Speakers::soundServerIn(QString(), QString(), QString()));
    }

private:
    // Puts a socket, a plain file or a folder at the path; nothing for "".
    static bool place(const QString &path, const QString &what)
    {
        if (what == "file") {
            QFile file(path);
            return file.open(QIODevice::WriteOnly);
        }
        if (what == "folder")
            return QDir().mkdir(path);
        if (what == "socket") {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un addr{};
            addr.sun_family = AF_UNIX;
            const QByteArray name = QFile::encodeName(path);
            if (fd < 0 || size_t(name.size()) >= sizeof addr.sun_path)
                return false;
            std::memcpy(addr.sun_path, name.constData(), size_t(name.size()));
            const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0;
            ::close(fd);
            return bound;
        }
        return true;
    }
};

ZARVEX_TEST_MAIN(TestSpeakers)
#include "tst_speakers.moc"
