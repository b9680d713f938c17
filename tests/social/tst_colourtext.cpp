#include "social/colourtext.h"
#include "support/testmain.h"

#include <QSet>

class TestColourText : public QObject
{
    Q_OBJECT

private slots:
    void writesAndReadsBack_data()
    {
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QString>("text");
        QTest::newRow("black") << quint32(0x000000) << "clBlack";
        QTest::newRow("red") << quint32(0x0000FF) << "clRed";
        QTest::newRow("aqua") << quint32(0xFFFF00) << "clAqua";
        QTest::newRow("rgb 1 2 3") << quint32(0x030201) << "$00030201";
        QTest::newRow("unnamed, letters") << quint32(0xABCDEF) << "$00ABCDEF";
        QTest::newRow("first system colour") << quint32(0x80000000) << "clScrollBar";
        QTest::newRow("window text") << quint32(0x80000008) << "clWindowText";
        QTest::newRow("last system colour") << quint32(0x80000018) << "clInfoBk";
        QTest::newRow("past the system colours") << quint32(0x80000019) << "$80000019";
        QTest::newRow("none") << quint32(0x1FFFFFFF) << "clNone";
        QTest::newRow("all bits") << quint32(0xFFFFFFFF) << "$FFFFFFFF";
    }
    void writesAndReadsBack()
    {
        QFETCH(quint32, colour);
        QFETCH(QString, text);
        QCOMPARE(ColourText::toText(colour), text);
        QCOMPARE(ColourText::fromText(text), std::optional<quint32>(colour));
    }

    void reads_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("colour");
        QTest::newRow("small letters") << "clblack" << quint32(0);
        QTest::newRow("capitals") << "CLBLACK" << quint32(0);
        QTest::newRow("mixed system name") << "CLwindowTEXT" << quint32(0x80000008);
        QTest::newRow("decimal 255 is red") << "255" << quint32(0x0000FF);
        QTest::newRow("decimal zero") << "0" << quint32(0);
        QTest::newRow("decimal with plus") << "+16" << quint32(16);
        QTest::newRow("negative keeps its bits") << "-1" << quint32(0xFFFFFFFF);
        QTest::newRow("largest decimal") << "2147483647" << quint32(0x7FFFFFFF);
        QTest::newRow("hex small letters") << "$ff0000" << quint32(0xFF0000);
        QTest::newRow("short hex") << "$F" << quint32(0xF);
        QTest::newRow("hex system colour") << "$80000008" << quint32(0x80000008);
    }
    void reads()
    {
        QFETCH(QString, text);
        QFETCH(quint32, colour);
        QCOMPARE(ColourText::fromText(text), std::optional<quint32>(colour));
    }

    void doesNotParse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << "";
        QTest::newRow("unknown name") << "clOrange";
        QTest::newRow("plain word") << "red";
        QTest::newRow("name with blank") << "clRed ";
        QTest::newRow("leading blank") << " 255";
        QTest::newRow("digits then letters") << "12x";
        QTest::newRow("too large for 32 bits") << "2147483648";
        QTest::newRow("sign alone") << "-";
        QTest::newRow("dollar alone") << "$";
        QTest::newRow("nine hex digits") << "$123456789";
        QTest::newRow("not hex") << "$GG";
        QTest::newRow("C prefix") << "0x10";
        QTest::newRow("other digits") << QString::fromUtf8("\u0663");
    }
    void doesNotParse()
    {
        QFETCH(QString, text);
        QCOMPARE(ColourText::fromText(text), std::nullopt);
    }

    void everyNamedColourRoundTrips()
    {
        const auto &table = ColourText::namedColours();
        QCOMPARE(table.size(), 16 + 25 + 1);
        QSet<quint32> values;
        for (const auto &[name, value] : table) {
            values.insert(value);
            QCOMPARE(ColourText::toText(value), name);
            QCOMPARE(ColourText::fromText(name), std::optional<quint32>(value));
            QCOMPARE(ColourText::fromText(name.toLower()), std::optional<quint32>(value));
            QCOMPARE(ColourText::fromText(name.toUpper()), std::optional<quint32>(value));
        }
        QCOMPARE(values.size(), table.size());
    }
};

ZARVEX_TEST_MAIN(TestColourText)
#include "tst_colourtext.moc"
