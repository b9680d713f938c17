#include "settings/inifile.h"
#include "support/strangefiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_path;

private slots:
    void init()
    {
        m_path = m_dir.filePath("settings.ini");
        QFile::remove(m_path);
    }

    void readingFollowsThePrivateProfileRules_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QString dflt = "<default>";
        QTest::newRow("plain") << QByteArray("[Zarvex]\r\nTextsize=10\r\n") << "Zarvex" << "Textsize" << "10";
        QTest::newRow("LF file") << QByteArray("[Zarvex]\nTextsize=10\n") << "Zarvex" << "Textsize" << "10";
        QTest::newRow("no final line end") << QByteArray("[Zarvex]\nTextsize=10") << "Zarvex" << "Textsize" << "10";
        QTest::newRow("section in other case") << QByteArray("[ZARVEX]\nTextsize=10\n") << "zarvex" << "Textsize" << "10";
        QTest::newRow("key in other case") << QByteArray("[Zarvex]\nTEXTSIZE=10\n") << "Zarvex" << "textSize" << "10";
        QTest::newRow("absent key") << QByteArray("[Zarvex]\nTop=3\n") << "Zarvex" << "Textsize" << dflt;
        QTest::newRow("absent section") << QByteArray("[Other]\nTextsize=3\n") << "Zarvex" << "Textsize" << dflt;
        QTest::newRow("empty value is not the default") << QByteArray("[Zarvex]\nPhrase3=\n") << "Zarvex" << "Phrase3" << "";
        QTest::newRow("only blanks are empty") << QByteArray("[Zarvex]\nPhrase3=   \n") << "Zarvex" << "Phrase3" << "";
        QTest::newRow("blanks around value and key") << QByteArray("[Zarvex]\n  Phrase1 =  hello there \t\n") << "Zarvex" << "Phrase1" << "hello there";
        QTest::newRow("blanks around section name") << QByteArray("  [ Zarvex ]  \nTop=5\n") << "Zarvex" << "Top" << "5";
        QTest::newRow("double quotes dropped") << QByteArray("[Zarvex]\nPhrase1=\"  hi  \"\n") << "Zarvex" << "Phrase1" << "  hi  ";
        QTest::newRow("single quotes dropped") << QByteArray("[Zarvex]\nPhrase1='hi'\n") << "Zarvex" << "Phrase1" << "hi";
        QTest::newRow("only one pair of quotes") << QByteArray("[Zarvex]\nPhrase1=\"\"hi\"\"\n") << "Zarvex" << "Phrase1" << "\"hi\"";
        QTest::newRow("unmatched quote kept") << QByteArray("[Zarvex]\nPhrase1=\"hi\n") << "Zarvex" << "Phrase1" << "\"hi";
        QTest::newRow("mixed quotes kept") << QByteArray("[Zarvex]\nPhrase1=\"hi'\n") << "Zarvex" << "Phrase1" << "\"hi'";
        QTest::newRow("lone quote kept") << QByteArray("[Zarvex]\nPhrase1=\"\n") << "Zarvex" << "Phrase1" << "\"";
        QTest::newRow("equals sign in value") << QByteArray("[Zarvex]\nPhrase1=a=b\n") << "Zarvex" << "Phrase1" << "a=b";
        QTest::newRow("first of two keys") << QByteArray("[Zarvex]\nTop=1\nTop=2\n") << "Zarvex" << "Top" << "1";
        QTest::newRow("key of another section") << QByteArray("[Other]\nTop=1\n[Zarvex]\nLeft=2\n") << "Zarvex" << "Top" << dflt;
        QTest::newRow("key before any section") << QByteArray("Top=1\n[Zarvex]\n") << "Zarvex" << "Top" << dflt;
        QTest::newRow("commented key") << QByteArray("[Zarvex]\n;Top=1\n") << "Zarvex" << "Top" << dflt;
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[Zarvex]\r\nTop=7\r\n") << "Zarvex" << "Top" << "7";
        QTest::newRow("UTF-8 text") << QByteArray("[Zarvex]\nPhrase1=gr\xC3\xBC\xC3\x9F dich\n") << "Zarvex" << "Phrase1" << QString::fromUtf8("gr\xC3\xBC\xC3\x9F dich");
        QTest::newRow("value at the limit") << QByteArray("[Zarvex]\nPhrase1=" + QByteArray(2047, 'x') + "\n") << "Zarvex" << "Phrase1" << QString(2047, 'x');
        QTest::newRow("longer value cut") << QByteArray("[Zarvex]\nPhrase1=" + QByteArray(2047, 'x') + "yz\n") << "Zarvex" << "Phrase1" << QString(2047, 'x');
    }

    void readingFollowsThePrivateProfileRules()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        writeAll(m_path, file);
        const IniFile ini(m_path);
        QCOMPARE(ini.readString(section, key, "<default>"), expected);
        QCOMPARE(ini.hasKey(section, key), expected != "<default>");
    }

    void aMissingFileGivesDefaults()
    {
        const IniFile ini(m_path);
        QCOMPARE(ini.readString("Zarvex", "Tiles", "none"), QString("none"));
        QCOMPARE(ini.readInteger("Zarvex", "Top", 3), 3);
        QVERIFY(!QFile::exists(m_path));
    }

    void integers_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("14") << 14;
        QTest::newRow("negative") << QByteArray("-20") << -20;
        QTest::newRow("blanks") << QByteArray("  12  ") << 12;
        QTest::newRow("quoted") << QByteArray("\"12\"") << 12;
        QTest::newRow("text") << QByteArray("big") << 99;
        QTest::newRow("trailing text") << QByteArray("12pt") << 99;
        QTest::newRow("empty") << QByteArray("") << 99;
        QTest::newRow("beyond int") << QByteArray("99999999999") << 99;
        QTest::newRow("fraction") << QByteArray("1.5") << 99;
    }

    void integers()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        writeAll(m_path, "[Zarvex]\r\nTextsize=" + value + "\r\n");
        QCOMPARE(IniFile(m_path).readInteger("Zarvex", "Textsize", 99), expected);
    }

    void writing_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");

        QTest::newRow("new file gets CR LF") << QByteArray() << "Top" << "3"
                                             << QByteArray("[Zarvex]\r\nTop=3\r\n");
        QTest::newRow("replace in place") << QByteArray("[Zarvex]\r\nTop=1\r\nLeft=2\r\n") << "Top" << "9"
                                          << QByteArray("[Zarvex]\r\nTop=9\r\nLeft=2\r\n");
        QTest::newRow("replace matches any case") << QByteArray("[zarvex]\nTOP = 1\nLeft=2\n") << "Top" << "9"
                                                  << QByteArray("[zarvex]\nTop=9\nLeft=2\n");
        QTest::newRow("LF file stays LF") << QByteArray("[Zarvex]\nLeft=2\n") << "Top" << "9"
                                          << QByteArray("[Zarvex]\nLeft=2\nTop=9\n");
        QTest::newRow("append before blank line and next section")
            << QByteArray("[Zarvex]\r\nLeft=2\r\n\r\n[Other]\r\nx=1\r\n") << "Top" << "9"
            << QByteArray("[Zarvex]\r\nLeft=2\r\nTop=9\r\n\r\n[Other]\r\nx=1\r\n");
        QTest::newRow("append to empty section") << QByteArray("[Zarvex]\r\n[Other]\r\n") << "Top" << "9"
                                                 << QByteArray("[Zarvex]\r\nTop=9\r\n[Other]\r\n");
        QTest::newRow("append after a last line without end") << QByteArray("[Zarvex]\nLeft=2") << "Top" << "9"
                                                              << QByteArray("[Zarvex]\nLeft=2\nTop=9\n");
        QTest::newRow("new section after others") << QByteArray("[Other]\nx=1") << "Top" << "9"
                                                  << QByteArray("[Other]\nx=1\n[Zarvex]\nTop=9\n");
        QTest::newRow("empty value") << QByteArray("[Zarvex]\r\nPhrase1=hi\r\n") << "Phrase1" << ""
                                     << QByteArray("[Zarvex]\r\nPhrase1=\r\n");
        QTest::newRow("line breaks in a value stay on one line")
            << QByteArray() << "Phrase1" << "a\r\n[Evil]\nb"
            << QByteArray("[Zarvex]\r\nPhrase1=a  [Evil] b\r\n");
        QTest::newRow("commented key is not replaced") << QByteArray("[Zarvex]\n;Top=1\n") << "Top" << "9"
                                                       << QByteArray("[Zarvex]\n;Top=1\nTop=9\n");
        QTest::newRow("foreign bytes elsewhere stay") << QByteArray("[Zarvex]\nJunk=\xFF\xFE\nTop=1\n") << "Top" << "2"
                                                      << QByteArray("[Zarvex]\nJunk=\xFF\xFE\nTop=2\n");
    }

    void writing()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            writeAll(m_path, before);
        IniFile ini(m_path);
        QVERIFY(ini.writeString("Zarvex", key, value));
        QVERIFY(ini.errorString().isEmpty());
        QCOMPARE(readAll(m_path), after);
    }

    void aForeignFileSurvivesASaveOfOurKeysByteForByte()
    {
        const QByteArray before =
            "; written by hand\r\n"
            "[Display]\r\n"
            "Mode = wide ; not ours\r\n"
            "\r\n"
            "[Zarvex]\r\n"
            "Textsize=10\r\n"
            "# a note\r\n"
            "Favourite=blue\r\n"
            "Top=40\r\n"
            "\r\n"
            "[Zarvex2]\r\n"
            "Top=1\r\n";
        writeAll(m_path, before);
        IniFile ini(m_path);
        QVERIFY(ini.writeStrings("Zarvex", {{"Textsize", "12"}, {"Top", "50"}, {"Tiles", "wood"}}));
        QCOMPARE(readAll(m_path), QByteArray(
            "; written by hand\r\n"
            "[Display]\r\n"
            "Mode = wide ; not ours\r\n"
            "\r\n"
            "[Zarvex]\r\n"
            "Textsize=12\r\n"
            "# a note\r\n"
            "Favourite=blue\r\n"
            "Top=50\r\n"
            "Tiles=wood\r\n"
            "\r\n"
            "[Zarvex2]\r\n"
            "Top=1\r\n"));
        // Writing the same values again changes nothing at all.
        const QByteArray once = readAll(m_path);
        QVERIFY(ini.writeStrings("Zarvex", {{"Textsize", "12"}, {"Top", "50"}, {"Tiles", "wood"}}));
        QCOMPARE(readAll(m_path), once);
    }

    void writtenValuesReadBack_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << "Hello all" << "Hello all";
        QTest::newRow("text colour") << "$00FF8040" << "$00FF8040";
        QTest::newRow("blanks are lost") << "  gg  " << "gg";
        QTest::newRow("quotes are lost") << "\"gg\"" << "gg";
        QTest::newRow("unicode") << QString::fromUtf8("\xE2\x98\xBA smile") << QString::fromUtf8("\xE2\x98\xBA smile");
        QTest::newRow("semicolon inside") << "a;b" << "a;b";
    }

    void writtenValuesReadBack()
    {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        IniFile ini(m_path);
        QVERIFY(ini.writeString("Zarvex", "Phrase1", value));
        QCOMPARE(ini.readString("Zarvex", "phrase1", "x"), expected);
    }

    void severalWritesInOneSaveLandTogetherInTheirOrder()
    {
        IniFile ini(m_path);
        QVERIFY(ini.writeStrings("Zarvex", {{"Textsize", "8"}, {"Top", "3"}, {"Left", "4"}}));
        QCOMPARE(readAll(m_path), QByteArray("[Zarvex]\r\nTextsize=8\r\nTop=3\r\nLeft=4\r\n"));
        QVERIFY(ini.writeInteger("Zarvex", "Left", -7));
        QCOMPARE(ini.readInteger("Zarvex", "Left", 0), -7);
    }

    void twoObjectsOnOneFileSeeEachOthersWrites()
    {
        IniFile first(m_path);
        IniFile second(m_path);
        QVERIFY(first.writeString("Zarvex", "Phrase1", "one"));
        QVERIFY(second.writeString("Zarvex", "Tiles", "wood"));
        QCOMPARE(first.readString("Zarvex", "Tiles"), QString("wood"));
        QCOMPARE(second.readString("Zarvex", "Phrase1"), QString("one"));
    }

    void aFolderThatCannotBeWrittenGivesTheErrorText()
    {
        // A regular file where the folder should be: nothing can be created in it.
        const QString blocker = m_dir.filePath("notafolder");
        writeAll(blocker, "x");
        const QString path = blocker + "/settings.ini";
        IniFile ini(path);
        QVERIFY(!ini.writeString("Zarvex", "Top", "3"));
        QCOMPARE(ini.errorString(), "Unable to write to " + path);
        QCOMPARE(readAll(blocker), QByteArray("x"));
        QVERIFY(ini.writeStrings("Zarvex", {}) == false);
    }

    void theErrorTextNamesTheFullPath()
    {
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
        IniFile ini("missing/settings.ini");
        const bool written = ini.writeString("Zarvex", "Top", "3");
        QDir::setCurrent(previous);
        QVERIFY(!written);
        QCOMPARE(ini.errorString(), "Unable to write to " + m_dir.filePath("missing/settings.ini"));
        // A later write that works clears the error.
        IniFile good(m_path);
        QVERIFY(good.writeString("Zarvex", "Top", "3"));
        QVERIFY(good.errorString().isEmpty());
    }

    void anOversizedFileIsNeitherReadNorReplaced()
    {
        QByteArray big = "[Zarvex]\nTop=5\n";
        big += QByteArray(IniFile::maxFileSize, ';');
        writeAll(m_path, big);
        IniFile ini(m_path);
        QCOMPARE(ini.readInteger("Zarvex", "Top", 3), 3);
        QVERIFY(!ini.writeString("Zarvex", "Top", "9"));
        QCOMPARE(QFileInfo(m_path).size(), qint64(big.size()));
    }

    // Something that is no plain file where the settings should be: it is
    // neither read nor waited on, reads give defaults, and a write leaves it
    // as it is rather than put a file of a few keys in its place.
    void aSettingsPathThatIsNoPlainFileIsLeftAlone_data() { addStrangeFileRows(); }
    void aSettingsPathThatIsNoPlainFileIsLeftAlone()
    {
        QFETCH(QString, kind);
        QVERIFY(makeStrangeFile(kind, m_path));
        auto cleanup = qScopeGuard([this] { QFile::remove(m_path) || QDir().rmdir(m_path); });
        PipeUnblocker unblocker(m_path);
        QElapsedTimer clock;
        clock.start();
        IniFile ini(m_path);
        QCOMPARE(ini.readInteger("Zarvex", "Top", 3), 3);
        QVERIFY(!ini.writeString("Zarvex", "Top", "9"));
        QVERIFY2(clock.elapsed() < 1000, "waited on the file");
        QCOMPARE(ini.errorString(), "Unable to write to " + m_path);
        const QFileInfo after(m_path);
        QVERIFY(!after.isFile());
        QCOMPARE(after.isSymLink(), kind == "device");
        QCOMPARE(after.isDir(), kind == "folder");
    }

    void aFileAtTheBoundIsReadToItsLastLine()
    {
        QByteArray text = "[Zarvex]\n";
        text += QByteArray(IniFile::maxFileSize - text.size() - 7, ';');
        text += "\nTop=5\n";
        QCOMPARE(text.size(), qsizetype(IniFile::maxFileSize));
        writeAll(m_path, text);
        IniFile ini(m_path);
        QCOMPARE(ini.readInteger("Zarvex", "Top", 3), 5);
        QVERIFY(ini.writeString("Zarvex", "Top", "9"));
        QCOMPARE(ini.readInteger("Zarvex", "Top", 3), 9);
    }

    void badNamesAreRefused_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::newRow("empty key") << "Zarvex" << "";
        QTest::newRow("equals in key") << "Zarvex" << "a=b";
        QTest::newRow("line break in key") << "Zarvex" << "a\nb";
        QTest::newRow("comment key") << "Zarvex" << ";a";
        QTest::newRow("bracket in section") << "Zar]vex" << "Top";
        QTest::newRow("empty section") << "" << "Top";
    }

    void badNamesAreRefused()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        writeAll(m_path, "[Zarvex]\r\nTop=1\r\n");
        IniFile ini(m_path);
        QVERIFY(!ini.writeString(section, key, "x"));
        QVERIFY(!ini.errorString().isEmpty());
        QCOMPARE(readAll(m_path), QByteArray("[Zarvex]\r\nTop=1\r\n"));
    }
};

ZARVEX_TEST_MAIN(TestIniFile)
#include "tst_inifile.moc"
