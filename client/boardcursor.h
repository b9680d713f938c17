#pragma once

#include <QPoint>
#include <QString>

class BoardSelection;

// The keyboard's place on the board: one tile, (1, 1) on every new board.
// The keys a player may use on the board are turned into commands here, and
// a typed letter is matched to the tile it most likely means; what a command
// does to the selection is decided by the same rules as a mouse click.
class BoardCursor
{
public:
    struct Command
    {
        enum Kind { None, Step, Home, Act, Unselect, Clear, Letter };
        Kind kind = None;
        int direction = 0;   // for Step: a board direction code
        int letter = 0;      // for Letter: its tile code, 1 to 26
    };

    // What a key press on the board asks for: an arrow steps, Home goes back
    // to the first tile, Space or Enter acts on the tile under the cursor,
    // Backspace takes back the last tile, Escape clears the selection, and a
    // letter a to z (either case) picks a tile carrying it.
    static Command commandFor(int key, const QString &text);

    QPoint tile() const { return m_tile; }
    void home() { m_tile = QPoint(1, 1); }
    void moveTo(QPoint tile);
    // One tile in a direction; stays put at the board's edge. Answers
    // whether the cursor moved.
    bool step(int direction);

    // Among the tiles the selection would accept next that carry the
    // letter, the one nearest the cursor: fewest king's moves away, then by
    // the direction it lies in (codes 1 to 8), then by column, then by row.
    // A null point when no acceptable tile carries it.
    QPoint nearest(const BoardSelection &board, int letter) const;

    // The cursor's tile as a screen reader says it: "Column 3, row 2: K",
    // with ", taken" when the tile is part of the selection.
    QString description(const BoardSelection &board) const;

private:
    QPoint m_tile{1, 1};
};
