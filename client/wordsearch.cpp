#include "client/wordsearch.h"

#include "protocol/boarddirections.h"

#include <array>

namespace {

using BoardDirections::columnStep;
using BoardDirections::rowStep;

constexpr int columns = BoardSelection::columns;
constexpr int rows = BoardSelection::rows;
constexpr int letters = BoardSelection::slotCount;

// Tiles indexed [letter][column][row] from 1.
using LetterGrid = std::array<std::array<std::array<bool, rows + 2>, columns + 2>, letters + 2>;

// The tiles that carry each letter of the word, read once from the board:
// [letter][column][row], with a margin of false around the board.
LetterGrid lettersOf(const BoardSelection &board, int length)
{
    LetterGrid grid{};
    for (int k = 1; k <= length; ++k)
        for (int column = 1; column <= columns; ++column)
            for (int row = 1; row <= rows; ++row)
                grid[k][column][row] = board.code(column, row) == board.slot(k).code;
    return grid;
}

// Depth-first search along touching tiles. `open[k]` marks the tiles that
// carry letter k and touch a tile open for letter k + 1, which is necessary
// for a chain to go on from there; it cuts every dead end but those that
// arise from a tile already in use.
bool extend(const LetterGrid &open, int length, WordSearch::Placement &chain,
            std::array<std::array<bool, rows + 2>, columns + 2> &used)
{
    const int k = int(chain.size());
    if (k == length)
        return true;
    const QPoint from = chain.last();
    for (int d = BoardDirections::first; d <= BoardDirections::last; ++d) {
        const int column = from.x() + columnStep(d);
        const int row = from.y() + rowStep(d);
        if (!BoardSelection::onBoard(column, row) || used[column][row] || !open[k + 1][column][row])
            continue;
        used[column][row] = true;
        chain.append(QPoint(column, row));
        if (extend(open, length, chain, used))
            return true;
        chain.removeLast();
        used[column][row] = false;
    }
    return false;
}

} // namespace

WordSearch::Placement WordSearch::find(const BoardSelection &board)
{
    const int length = board.wordLength();
    if (length == 0)
        return {};
    return board.scrambled() ? findScrambled(board, length) : findStraight(board, length);
}

WordSearch::Placement WordSearch::findStraight(const BoardSelection &board, int length)
{
    // A one-letter word is the same in every direction.
    const int directions = length == 1 ? BoardDirections::first : BoardDirections::last;
    const LetterGrid letter = lettersOf(board, length);
    for (int column = 1; column <= columns; ++column) {
        for (int row = 1; row <= rows; ++row) {
            if (!letter[1][column][row])
                continue;
            for (int d = BoardDirections::first; d <= directions; ++d) {
                const int dc = columnStep(d);
                const int dr = rowStep(d);
                if (!BoardSelection::onBoard(column + (length - 1) * dc, row + (length - 1) * dr))
                    continue;
                int k = 2;
                while (k <= length && letter[k][column + (k - 1) * dc][row + (k - 1) * dr])
                    ++k;
                if (k <= length)
                    continue;
                Placement run;
                run.reserve(length);
                for (k = 0; k < length; ++k)
                    run.append(QPoint(column + k * dc, row + k * dr));
                return run;
            }
        }
    }
    return {};
}

WordSearch::Placement WordSearch::findScrambled(const BoardSelection &board, int length)
{
    const LetterGrid letter = lettersOf(board, length);
    LetterGrid open{};
    for (int k = length; k >= 1; --k) {
        for (int column = 1; column <= columns; ++column) {
            for (int row = 1; row <= rows; ++row) {
                if (!letter[k][column][row])
                    continue;
                bool goesOn = k == length;
                for (int d = BoardDirections::first; d <= BoardDirections::last && !goesOn; ++d) {
                    const int c = column + columnStep(d);
                    const int r = row + rowStep(d);
                    goesOn = open[k + 1][c][r];
                }
                open[k][column][row] = goesOn;
            }
        }
    }

    std::array<std::array<bool, rows + 2>, columns + 2> used{};
    for (int column = 1; column <= columns; ++column) {
        for (int row = 1; row <= rows; ++row) {
            if (!open[1][column][row])
                continue;
            Placement chain{QPoint(column, row)};
            used[column][row] = true;
            if (extend(open, length, chain, used))
                return chain;
            used[column][row] = false;
        }
    }
    return {};
}

QByteArray WordSearch::select(const BoardSelection &board, const Placement &placement)
{
    BoardSelection copy = board;
    copy.clearword();
    bool complete = false;
    for (const QPoint &tile : placement) {
        if (complete || !copy.isNextLetter(tile.x(), tile.y()))
            return {};
        const int index = copy.selectedcount();
        if (index > 0) {
            const bool connects = copy.scrambled()
                                      ? copy.checkforconnectscrambled(index, tile.x(), tile.y())
                                      : copy.checkforconnectstraight(index, tile.x(), tile.y())
                                            == BoardSelection::Connect::Yes;
            if (!connects)
                return {};
        }
        complete = copy.placeletter(tile.x(), tile.y());
    }
    return complete ? copy.positionList() : QByteArray();
}
