#include "client/boardselection.h"

#include "protocol/boarddirections.h"

void BoardSelection::loadTiles(FieldReader &fields)
{
    fields.beginList();
    while (!fields.listEnded()) {
        const int column = fields.integer();
        const int row = fields.integer();
        const int code = fields.integer();
        if (onBoard(column, row))
            tile(column, row) = qBound(0, code, markerCode);   // highlighting adds to it
    }
}

void BoardSelection::theword(FieldReader &fields)
{
    for (Slot &s : m_slots)
        s = Slot();
    fields.beginList();
    while (!fields.listEnded()) {
        const int k = fields.integer();
        const int code = fields.integer();
        if (k < 1 || k > slotCount)
            continue;
        Slot &s = m_slots[size_t(k)];
        s.code = qBound(0, code, markerCode);
        s.picture = code != 0 ? Picture::Plain : Picture::Empty;
    }
}

bool BoardSelection::onBoard(int column, int row)
{
    return column >= 1 && column <= columns && row >= 1 && row <= rows;
}

int BoardSelection::code(int column, int row) const
{
    return onBoard(column, row) ? m_board[size_t(column)][size_t(row)] : 0;
}

QPoint BoardSelection::tileAt(int x, int y)
{
    if (x < 0 || y < 0 || x >= columns * tileSize || y >= rows * tileSize)
        return QPoint();
    return QPoint(x / tileSize + 1, y / tileSize + 1);
}

int BoardSelection::wordLength() const
{
    int length = 0;
    while (length < slotCount && m_slots[size_t(length + 1)].code != 0)
        ++length;
    return length;
}

bool BoardSelection::isNextLetter(int column, int row) const
{
    const int next = m_selectedcount + 1;
    // Highlighted tiles never match a letter, nor does any tile once the
    // word is complete (the next slot holds 0).
    return next <= slotCount && code(column, row) == m_slots[size_t(next)].code
           && m_slots[size_t(next)].code != 0;
}

bool BoardSelection::accepts(int column, int row) const
{
    if (m_selectedcount >= slotCount || !isNextLetter(column, row))
        return false;
    const int index = m_selectedcount;
    if (index == 0)
        return true;
    const QPoint last = selection(index);
    const int direction = BoardDirections::between(last.x(), last.y(), column, row);
    if (m_scrambled)
        return direction != 0;
    // A straight word's second tile sets its direction, every later one
    // follows it (a selection whose direction disagrees with its length is
    // refused, as the click's rule clears it).
    if (index == 1)
        return m_linedirection == 0 && direction != 0;
    return m_linedirection != 0 && direction == m_linedirection;
}

bool BoardSelection::checkforconnectscrambled(int index, int column, int row)
{
    const QPoint last = selection(index);
    const int direction = BoardDirections::between(last.x(), last.y(), column, row);
    if (direction == 0)
        return false;
    m_linedirection = direction;
    return true;
}

BoardSelection::Connect BoardSelection::checkforconnectstraight(int index, int column, int row)
{
    if ((m_linedirection == 0) != (index == 1))
        return Connect::Inconsistent;
    if (index == 1)
        return checkforconnectscrambled(index, column, row) ? Connect::Yes : Connect::No;
    const QPoint last = selection(index);
    const bool inLine = last.x() + BoardDirections::columnStep(m_linedirection) == column
                        && last.y() + BoardDirections::rowStep(m_linedirection) == row;
    return inLine ? Connect::Yes : Connect::No;
}

BoardSelection::Click BoardSelection::click(int column, int row, bool rightButton)
{
    if (rightButton) {
        if (code(column, row) > highlight && m_selectedcount >= 1) {
            if (QPoint(column, row) != lastSelected())
                return Click::Nothing;
            unselectLast();
            return Click::Unselected;
        }
        clearword();
        return Click::Cleared;
    }
    if (m_selectedcount >= slotCount)
        return Click::Nothing;
    if (!isNextLetter(column, row))
        return Click::Refused;
    const int index = m_selectedcount;
    if (index > 0) {
        if (m_scrambled) {
            if (!checkforconnectscrambled(index, column, row))
                return Click::Refused;
        } else {
            switch (checkforconnectstraight(index, column, row)) {
            case Connect::Inconsistent:
                clearword();
                return Click::ClearedAndRefused;
            case Connect::No:
                return Click::Refused;
            case Connect::Yes:
                break;
            }
        }
    }
    return placeletter(column, row) ? Click::Completed : Click::Placed;
}

bool BoardSelection::placeletter(int column, int row)
{
    if (m_selectedcount >= slotCount || !onBoard(column, row))
        return false;
    if (m_selectedcount == 0)
        m_linedirection = 0;
    const int k = m_selectedcount + 1;
    tile(column, row) += highlight;
    Slot &s = m_slots[size_t(k)];
    s.picture = Picture::Highlighted;
    s.position = QByteArray::number(column) + '+' + QByteArray::number(row);
    m_selectedcount = k;
    m_selection[size_t(k)] = QPoint(column, row);
    return k == slotCount || m_slots[size_t(k + 1)].code == 0;
}

void BoardSelection::unselectLast()
{
    if (m_selectedcount == 0)
        return;
    const QPoint last = lastSelected();
    tile(last.x(), last.y()) -= highlight;
    m_selection[size_t(m_selectedcount)] = QPoint();
    Slot &s = m_slots[size_t(m_selectedcount)];
    s.picture = Picture::Plain;
    s.position.clear();
    --m_selectedcount;
    if (m_selectedcount == 1)
        m_linedirection = 0;
}

void BoardSelection::showSlotsPlain()
{
    for (int k = 1; k <= slotCount; ++k) {
        Slot &s = m_slots[size_t(k)];
        s.picture = s.code != 0 ? Picture::Plain : Picture::Empty;
    }
}

void BoardSelection::clearword()
{
    for (int k = 1; k <= m_selectedcount; ++k) {
        Slot &s = m_slots[size_t(k)];
        s.picture = s.code != 0 ? Picture::Plain : Picture::Empty;
    }
    for (int column = 1; column <= columns; ++column)
        for (int row = 1; row <= rows; ++row)
            if (tile(column, row) > highlight && tile(column, row) <= 2 * highlight)
                tile(column, row) -= highlight;
    resetSelection();
}

void BoardSelection::resetSelection()
{
    m_selectedcount = 0;
    m_selection.fill(QPoint());
}

void BoardSelection::reveal(int column, int row)
{
    if (onBoard(column, row) && tile(column, row) <= highlight)
        tile(column, row) += highlight;
}

QByteArray BoardSelection::positionList() const
{
    QByteArray list;
    for (int k = 1; k <= slotCount; ++k)
        if (m_slots[size_t(k)].code != 0)
            list += '+' + m_slots[size_t(k)].position;
    return list;
}
