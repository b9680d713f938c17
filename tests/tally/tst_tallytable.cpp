#include "support/testmain.h"
#include "tally/etallyexception.h"
#include "tally/tallytable.h"

namespace {

QByteArray lines(const QList<QByteArray> &cells)
{
    QByteArray text;
    for (const QByteArray &cell : cells)
        text += cell + "\r\n";
    return text;
}

// The cells of a table column by column, as a list for comparing.
QStringList cells(const TallyTable &table)
{
    QStringList out;
    for (int column = 0; column < TallyTable::ColumnCount; ++column)
        for (int row = 0; row < table.rowCount(); ++row)
            out << table.cell(column, row);
    return out;
}

TallyTable threeOpponents()
{
    TallyTable table;
    for (const QString &name : {"Ann", "Bob", "Cid"}) {
        const int row = table.appendRow(name);
        for (int column = 1; column <= row; ++column) {
            table.addit(column, row);
            table.addit(column + 4, row);
        }
    }
    return table;
}

} // namespace

// The tally table and its text form.
class TestTallyTable : public QObject
{
    Q_OBJECT

private slots:
    void theTextOfAnEmptyTallyIsNineOneAndNineZeros()
    {
        QCOMPARE(TallyTable().SaveGridText(), lines({"9", "1", "0", "0", "0", "0", "0", "0", "0", "0", "0"}));
    }

    void cellsAreWrittenColumnByColumn()
    {
        TallyTable table;
        table.appendRow("Ann");
        table.appendRow("Bob");
        table.addit(1, 0);
        table.addit(2, 2);
        table.addit(2, 2);
        table.addit(8, 1);
        QCOMPARE(table.SaveGridText(), lines({"9", "3",
                                              "0", "Ann", "Bob",   // names
                                              "1", "0", "0",       // games
                                              "0", "0", "2",       // the opponent's wins
                                              "0", "0", "0", "0", "0", "0",   // columns 3 and 4
                                              "0", "0", "0", "0", "0", "0",   // 5 and 6
                                              "0", "0", "0",                  // 7
                                              "0", "1", "0"}));               // 8
    }

    void theTextReadsBackToTheSameTable()
    {
        TallyTable table = threeOpponents();
        table.appendRow(QString::fromUtf8("Zoë"));
        table.appendRow(QString());
        const TallyTable back = TallyTable::LoadGridText(table.SaveGridText());
        QCOMPARE(cells(back), cells(table));
        QCOMPARE(back.name(4), QString::fromUtf8("Zoë"));
        QCOMPARE(back.rowCount(), 6);
    }

    void linesEndingInLineFeedAloneAreRead()
    {
        QByteArray text = threeOpponents().SaveGridText();
        text.replace("\r\n", "\n");
        QCOMPARE(cells(TallyTable::LoadGridText(text)), cells(threeOpponents()));
        text.chop(1);   // and the last line without its line end
        QCOMPARE(cells(TallyTable::LoadGridText(text)), cells(threeOpponents()));
    }

    void aCounterThatIsNoNumberReadsAsZero_data()
    {
        QTest::addColumn<QByteArray>("cell");
        QTest::addColumn<QString>("read");
        QTest::newRow("number") << QByteArray("42") << "42";
        QTest::newRow("blanks around") << QByteArray(" 7 ") << "7";
        QTest::newRow("empty") << QByteArray("") << "0";
        QTest::newRow("word") << QByteArray("many") << "0";
        QTest::newRow("negative") << QByteArray("-3") << "0";
        QTest::newRow("fraction") << QByteArray("1.5") << "0";
        QTest::newRow("too large") << QByteArray("99999999999999999999") << "0";
    }
    void aCounterThatIsNoNumberReadsAsZero()
    {
        QFETCH(QByteArray, cell);
        QFETCH(QString, read);
        QList<QByteArray> text = {"9", "2", "0", "Ann"};
        for (int i = 0; i < 16; ++i)
            text << (i == 3 ? cell : QByteArray("1"));   // column 2 of Ann's row
        const TallyTable table = TallyTable::LoadGridText(lines(text));
        QCOMPARE(table.cell(2, 1), read);
        QCOMPARE(table.cell(1, 1), QString("1"));
        QCOMPARE(table.cell(3, 1), QString("1"));
    }

    void aTableTextThatDoesNotAddUpIsRefused_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason");
        const QByteArray zeros = QByteArray("0\r\n").repeated(9);
        const QString columns = "Tally : the column count is not 9";
        const QString rows = "Tally : the row count is not a number from 1 to 10000";
        const QString count = "Tally : the number of cells does not match the column and row counts";
        QTest::newRow("empty") << QByteArray() << columns;
        QTest::newRow("column count a word") << "nine\r\n1\r\n" + zeros << columns;
        QTest::newRow("eight columns") << "8\r\n1\r\n" + QByteArray("0\r\n").repeated(8) << columns;
        QTest::newRow("ten columns") << "10\r\n1\r\n" + QByteArray("0\r\n").repeated(10) << columns;
        QTest::newRow("no row count") << QByteArray("9\r\n") << rows;
        QTest::newRow("row count a word") << "9\r\nsome\r\n" + zeros << rows;
        QTest::newRow("no rows") << QByteArray("9\r\n0\r\n") << rows;
        QTest::newRow("negative rows") << "9\r\n-1\r\n" + zeros << rows;
        QTest::newRow("10001 rows") << "9\r\n10001\r\n" + zeros << rows;
        QTest::newRow("rows beyond 32 bits") << "9\r\n4294967297\r\n" + zeros << rows;
        QTest::newRow("10000 rows claimed, one given") << "9\r\n10000\r\n" + zeros << count;
        QTest::newRow("a cell missing") << "9\r\n1\r\n" + QByteArray("0\r\n").repeated(8) << count;
        QTest::newRow("a cell too many") << "9\r\n1\r\n" + zeros + "0\r\n" << count;
        QTest::newRow("a row short") << "9\r\n2\r\n" + zeros + zeros.left(15) << count;
    }
    void aTableTextThatDoesNotAddUpIsRefused()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        try {
            TallyTable::LoadGridText(text);
            QFAIL("the text was accepted");
        } catch (const ETallyException &e) {
            QCOMPARE(e.text(), reason);
        }
    }

    void tenThousandRowsAreRead()
    {
        TallyTable table;
        for (int i = 1; i < TallyTable::MaxRows; ++i)
            table.appendRow("p" + QString::number(i));
        const TallyTable back = TallyTable::LoadGridText(table.SaveGridText());
        QCOMPARE(back.rowCount(), TallyTable::MaxRows);
        QCOMPARE(back.name(9999), QString("p9999"));
    }

    void removingTheOnlyOpponentLeavesRowZero()
    {
        TallyTable table;
        table.addit(1, 0);
        table.appendRow("Ann");
        table.moverow(1);
        QCOMPARE(table.rowCount(), 1);
        QCOMPARE(table.cell(1, 0), QString("1"));
    }

    void removingTheMiddleOfThreeMovesTheThirdUp()
    {
        TallyTable table = threeOpponents();
        table.moverow(2);
        QCOMPARE(table.rowCount(), 3);
        QCOMPARE(table.name(1), QString("Ann"));
        QCOMPARE(table.name(2), QString("Cid"));
        for (int column = 1; column <= 8; ++column)
            QCOMPARE(table.counter(column, 2), qint64(column % 4 == 0 ? 0 : 1));
        QCOMPARE(table.counter(1, 1), qint64(1));
        QCOMPARE(table.counter(2, 1), qint64(0));
    }

    void rowZeroAndRowsOutsideTheTableAreNotRemoved()
    {
        TallyTable table = threeOpponents();
        const QStringList before = cells(table);
        table.moverow(0);
        table.moverow(4);
        table.moverow(-1);
        QCOMPARE(cells(table), before);
    }

    void additAnswersTheNewValueAndStaysInsideTheTable()
    {
        TallyTable table;
        table.appendRow("Ann");
        QCOMPARE(table.addit(3, 1), qint64(1));
        QCOMPARE(table.addit(3, 1), qint64(2));
        QCOMPARE(table.addit(0, 1), qint64(0));
        QCOMPARE(table.addit(9, 1), qint64(0));
        QCOMPARE(table.addit(1, 2), qint64(0));
        QCOMPARE(table.rowCount(), 2);
        QCOMPARE(table.cell(0, 1), QString("Ann"));
    }

    void theLargestCountStaysTheLargest()
    {
        const TallyTable read = TallyTable::LoadGridText(
            lines({"9", "1", "0", "9223372036854775807", "0", "0", "0", "0", "0", "0", "0"}));
        TallyTable table = read;
        QCOMPARE(table.addit(1, 0), std::numeric_limits<qint64>::max());
    }

    void resetLeavesOneRowOfZeros()
    {
        TallyTable table = threeOpponents();
        table.addit(1, 0);
        table.reset();
        QCOMPARE(table.SaveGridText(), TallyTable().SaveGridText());
    }

    void zeroSessionClearsOnlyThisRunsColumns()
    {
        TallyTable table = threeOpponents();
        table.zeroSession();
        for (int column = 1; column <= 8; ++column)
            QCOMPARE(table.counter(column, 3), qint64(column <= 3 ? 1 : 0));
        QCOMPARE(table.cell(5, 1), QString("0"));
    }
};

ZARVEX_TEST_MAIN(TestTallyTable)
#include "tst_tallytable.moc"
