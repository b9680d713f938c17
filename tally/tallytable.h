#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>

// The tally table: nine columns of counters, row 0 the local player's own
// totals, then one row per tallied opponent.
//
// Row 0: column 1 games played, column 2 games won; every other cell "0".
// Opponent rows: column 0 the name, then games played together, won by the
// opponent, won by the local player, won by neither (columns 1 to 4, in
// total) and the same four for this run (columns 5 to 8).
//
// Every counter is a non-negative number; cells are read and written as
// their decimal text.
class TallyTable
{
public:
    static constexpr int ColumnCount = 9;
    // The most rows a table may have, row 0 included; a text that claims
    // more is refused unread.
    static constexpr int MaxRows = 10000;

    // A table of row 0 alone, all "0".
    TallyTable();

    int rowCount() const { return int(m_rows.size()); }
    // The cell's text; "0" for row 0's column 0, empty outside the table.
    QString cell(int column, int row) const;
    qint64 counter(int column, int row) const;
    QString name(int row) const;

    // Appends an opponent row with every counter 0; answers its row.
    int appendRow(const QString &name);
    // Adds 1 to a counter and answers its new value (0 outside the table).
    qint64 addit(int column, int row);
    // Removes an opponent row: the following rows move up one place. Row 0
    // and rows outside the table are left alone.
    void moverow(int row);
    // Back to row 0 alone, all "0".
    void reset();
    // Sets the counters of this run (columns 5 to 8) to 0 in every opponent row.
    void zeroSession();

    // The text form: the column count and the row count, one a line, then
    // every cell column by column (all rows of column 0, then column 1 ...),
    // one a line; lines end with CR LF. Names are UTF-8.
    QByteArray SaveGridText() const;
    // Reads the text form. A column count other than 9, a row count that is
    // not 1 to MaxRows, or a number of cell lines that does not match raises
    // ETallyException with the reason, before anything is allocated for the
    // rows. A counter cell that is not a non-negative number reads as 0.
    // Lines may end with CR LF or with LF alone.
    static TallyTable LoadGridText(const QByteArray &text);

private:
    struct Row
    {
        QString name;
        std::array<qint64, ColumnCount - 1> counts{};   // columns 1 to 8
    };
    bool isCounter(int column, int row) const;

    QList<Row> m_rows;
};
