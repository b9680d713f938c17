#include "tally/tallytable.h"

#include "tally/etallyexception.h"

#include <algorithm>
#include <limits>

namespace {

const QByteArray LineEnd = "\r\n";

// Hands out the lines of a text one at a time: a line ends at LF, and one CR
// before the LF belongs to the line end. A last line without its line end
// still counts.
class LineReader
{
public:
    explicit LineReader(const QByteArray &text) : m_text(text) {}

    bool atEnd() const { return m_pos >= m_text.size(); }

    QByteArray next()
    {
        qsizetype end = m_text.indexOf('\n', m_pos);
        if (end < 0)
            end = m_text.size();
        qsizetype cut = end;
        if (cut > m_pos && m_text.at(cut - 1) == '\r')
            --cut;
        const QByteArray line = m_text.mid(m_pos, cut - m_pos);
        m_pos = end + 1;
        return line;
    }

    qint64 linesLeft() const
    {
        if (atEnd())
            return 0;
        const qint64 ends = std::count(m_text.cbegin() + m_pos, m_text.cend(), '\n');
        return m_text.endsWith('\n') ? ends : ends + 1;
    }

private:
    const QByteArray &m_text;
    qsizetype m_pos = 0;
};

qint64 counterValue(const QByteArray &cell)
{
    bool ok = false;
    const qint64 value = cell.trimmed().toLongLong(&ok);
    return ok && value >= 0 ? value : 0;
}

[[noreturn]] void refuse(const char *reason)
{
    throw ETallyException(QStringLiteral("Tally : ") + QLatin1String(reason));
}

} // namespace

TallyTable::TallyTable()
{
    reset();
}

bool TallyTable::isCounter(int column, int row) const
{
    return column >= 1 && column < ColumnCount && row >= 0 && row < rowCount();
}

QString TallyTable::cell(int column, int row) const
{
    if (column == 0 && row == 0)
        return QStringLiteral("0");
    if (column == 0 && row > 0 && row < rowCount())
        return m_rows[row].name;
    if (!isCounter(column, row))
        return QString();
    return QString::number(counter(column, row));
}

qint64 TallyTable::counter(int column, int row) const
{
    return isCounter(column, row) ? m_rows[row].counts[size_t(column - 1)] : 0;
}

QString TallyTable::name(int row) const
{
    return row > 0 && row < rowCount() ? m_rows[row].name : QString();
}

int TallyTable::appendRow(const QString &name)
{
    Row row;
    row.name = name;
    m_rows.append(row);
    return rowCount() - 1;
}

qint64 TallyTable::addit(int column, int row)
{
    if (!isCounter(column, row))
        return 0;
    qint64 &value = m_rows[row].counts[size_t(column - 1)];
    // A hand-edited file may hold a huge count; it stays at the largest value.
    if (value < std::numeric_limits<qint64>::max())
        ++value;
    return value;
}

void TallyTable::moverow(int row)
{
    if (row < 1 || row >= rowCount())
        return;
    m_rows.removeAt(row);
}

void TallyTable::reset()
{
    m_rows = {Row{}};
}

void TallyTable::zeroSession()
{
    for (int r = 1; r < rowCount(); ++r)
        for (int column = 5; column <= 8; ++column)
            m_rows[r].counts[size_t(column - 1)] = 0;
}

QByteArray TallyTable::SaveGridText() const
{
    QByteArray text = QByteArray::number(ColumnCount) + LineEnd + QByteArray::number(rowCount()) + LineEnd;
    for (int column = 0; column < ColumnCount; ++column)
        for (int row = 0; row < rowCount(); ++row)
            text += cell(column, row).toUtf8() + LineEnd;
    return text;
}

TallyTable TallyTable::LoadGridText(const QByteArray &text)
{
    LineReader lines(text);
    bool ok = false;
    const int columns = lines.next().trimmed().toInt(&ok);
    if (!ok || columns != ColumnCount)
        refuse("the column count is not 9");
    const qint64 rows = lines.next().trimmed().toLongLong(&ok);
    if (!ok || rows < 1 || rows > MaxRows)
        refuse("the row count is not a number from 1 to 10000");
    if (lines.linesLeft() != rows * ColumnCount)
        refuse("the number of cells does not match the column and row counts");

    TallyTable table;
    table.m_rows.resize(rows);
    for (int column = 0; column < ColumnCount; ++column) {
        for (int row = 0; row < rows; ++row) {
            const QByteArray line = lines.next();
            if (column == 0)
                table.m_rows[row].name = row == 0 ? QString() : QString::fromUtf8(line);
            else
                table.m_rows[row].counts[size_t(column - 1)] = counterValue(line);
        }
    }
    return table;
}
