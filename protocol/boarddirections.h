#pragma once

// The eight direction codes both ends of the game speak: the server lays
// straight words and scrambled chains with them, and a player's selection is
// checked against them. A step moves from a tile (column, row) to its
// neighbour in that direction.
//
//   1 right (+1, 0)     2 left (-1, 0)      3 down (0, +1)      4 up (0, -1)
//   5 down-right (+1, +1)   6 up-right (+1, -1)
//   7 down-left (-1, +1)    8 up-left (-1, -1)
namespace BoardDirections {

constexpr int first = 1;
constexpr int last = 8;

constexpr bool valid(int direction)
{
    return direction >= first && direction <= last;
}

// The column and row steps of a direction code; (0, 0) for any other code.
constexpr int columnStep(int direction)
{
    constexpr int steps[last + 1] = {0, 1, -1, 0, 0, 1, 1, -1, -1};
    return valid(direction) ? steps[direction] : 0;
}

constexpr int rowStep(int direction)
{
    constexpr int steps[last + 1] = {0, 0, 0, 1, -1, 1, -1, 1, -1};
    return valid(direction) ? steps[direction] : 0;
}

// The direction that leads from one tile to a touching one, 0 when the two
// do not touch (or are the same tile). Directions are tried in code order.
constexpr int between(int fromColumn, int fromRow, int toColumn, int toRow)
{
    for (int direction = first; direction <= last; ++direction)
        if (fromColumn + columnStep(direction) == toColumn && fromRow + rowStep(direction) == toRow)
            return direction;
    return 0;
}

} // namespace BoardDirections
