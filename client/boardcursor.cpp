#include "client/boardcursor.h"

#include "client/boardselection.h"
#include "protocol/boarddirections.h"

#include <QtGlobal>
#include <tuple>

namespace {

int sign(int value)
{
    return (value > 0) - (value < 0);
}

} // namespace

BoardCursor::Command BoardCursor::commandFor(int key, const QString &text)
{
    Command c;
    switch (key) {
    case Qt::Key_Right: c.kind = Command::Step; c.direction = 1; return c;
    case Qt::Key_Left: c.kind = Command::Step; c.direction = 2; return c;
    case Qt::Key_Down: c.kind = Command::Step; c.direction = 3; return c;
    case Qt::Key_Up: c.kind = Command::Step; c.direction = 4; return c;
    case Qt::Key_Home: c.kind = Command::Home; return c;
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter: c.kind = Command::Act; return c;
    case Qt::Key_Backspace: c.kind = Command::Unselect; return c;
    case Qt::Key_Escape: c.kind = Command::Clear; return c;
    default: break;
    }
    if (text.size() == 1) {
        const char16_t ch = text.at(0).toLower().unicode();
        if (ch >= u'a' && ch <= u'z') {
            c.kind = Command::Letter;
            c.letter = ch - u'a' + 1;
        }
    }
    return c;
}

void BoardCursor::moveTo(QPoint tile)
{
    if (BoardSelection::onBoard(tile.x(), tile.y()))
        m_tile = tile;
}

bool BoardCursor::step(int direction)
{
    const QPoint next(m_tile.x() + BoardDirections::columnStep(direction),
                      m_tile.y() + BoardDirections::rowStep(direction));
    if (next == m_tile || !BoardSelection::onBoard(next.x(), next.y()))
        return false;
    m_tile = next;
    return true;
}

QPoint BoardCursor::nearest(const BoardSelection &board, int letter) const
{
    QPoint best;
    std::tuple<int, int, int, int> bestKey;
    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row) {
            if (board.code(column, row) != letter || !board.accepts(column, row))
                continue;
            const int dx = column - m_tile.x(), dy = row - m_tile.y();
            // The direction a tile lies in, by the signs of its offsets, so a
            // tile off the eight lines counts with the diagonal of its
            // quarter; the cursor's own tile (distance 0) comes first.
            const int direction = BoardDirections::between(0, 0, sign(dx), sign(dy));
            const std::tuple<int, int, int, int> key(qMax(qAbs(dx), qAbs(dy)), direction, column, row);
            if (best.isNull() || key < bestKey) {
                best = QPoint(column, row);
                bestKey = key;
            }
        }
    return best;
}

QString BoardCursor::description(const BoardSelection &board) const
{
    const int code = board.code(m_tile.x(), m_tile.y());
    const int letter = code > BoardSelection::highlight ? code - BoardSelection::highlight : code;
    QString text = QStringLiteral("Column %1, row %2: ").arg(m_tile.x()).arg(m_tile.y());
    if (letter < 1 || letter > 26)
        return text + QStringLiteral("blank");
    text += QChar(u'A' + letter - 1);
    if (code > BoardSelection::highlight)
        text += QStringLiteral(", taken");
    return text;
}
