#pragma once

#include "protocol/fieldreader.h"

#include <QByteArray>
#include <QPoint>
#include <array>

// The board as the player sees it and the word being picked out of it: the
// tile codes, the ten letter slots of the target word, and the selection
// with the straight-line and touching rules. Tile codes: 0 blank, 1 to 26
// the letters, the same plus 26 highlighted, 53 the marker over the last
// selected tile.
class BoardSelection
{
public:
    static constexpr int columns = 10;
    static constexpr int rows = 9;
    static constexpr int slotCount = 10;
    static constexpr int tileSize = 44;
    static constexpr int highlight = 26;
    static constexpr int markerCode = 53;

    enum class Picture { Empty, Plain, Highlighted };

    struct Slot
    {
        int code = 0;              // the word's letter here, 0 past its end
        QByteArray position;       // "column+row" of the tile chosen for it
        Picture picture = Picture::Empty;
    };

    enum class Connect { Yes, No, Inconsistent };

    // What a click on a tile did to the selection: nothing; the last tile
    // taken back; everything released; the tile refused (after releasing
    // everything, when the straight rule found the selection inconsistent);
    // the tile taken, and whether that completed the word.
    enum class Click { Nothing, Unselected, Cleared, Refused, ClearedAndRefused, Placed, Completed };

    // The tiles of CMD_loadboard, triples column, row, code after the round.
    void loadTiles(FieldReader &fields);
    // CMD_theword: empties the slots and sets the word's letters.
    void theword(FieldReader &fields);

    void setScrambled(bool on) { m_scrambled = on; }
    bool scrambled() const { return m_scrambled; }

    int code(int column, int row) const;
    static bool onBoard(int column, int row);
    // The tile under a point of the 440 x 396 surface; (0, 0) outside it.
    static QPoint tileAt(int x, int y);

    const Slot &slot(int k) const { return m_slots[size_t(k)]; }
    int selectedcount() const { return m_selectedcount; }
    QPoint selection(int index) const { return m_selection[size_t(index)]; }
    QPoint lastSelected() const { return m_selectedcount > 0 ? selection(m_selectedcount) : QPoint(); }
    int linedirection() const { return m_linedirection; }
    int wordLength() const;

    // The rules for the next tile.
    bool isNextLetter(int column, int row) const;
    // Whether a click on the tile would take it as the next letter: its
    // letter is next and it connects to the selection by the game type's
    // rule. Changes nothing.
    bool accepts(int column, int row) const;
    bool checkforconnectscrambled(int index, int column, int row);
    Connect checkforconnectstraight(int index, int column, int row);

    // A click on a tile while the player may select. The right button takes
    // back the last tile when it is on it, does nothing on another taken
    // tile and clears the word anywhere else; any other button takes the
    // tile when it carries the next letter and continues the selection by
    // the game type's rule.
    Click click(int column, int row, bool rightButton);

    // Accepts a tile for the next slot; answers whether the word is complete.
    bool placeletter(int column, int row);
    void unselectLast();
    // Releases the selection and every highlighted tile.
    void clearword();
    // The slots of the word drawn again with their plain letters, as after a
    // change of tile set; the board and the selection stay as they are.
    void showSlotsPlain();
    // Empties the selection entries for a new turn, leaving the board as it is.
    void resetSelection();
    // Highlights a tile of the word shown at the end of a round.
    void reveal(int column, int row);

    // "+column+row" for every slot of the word, in slot order.
    QByteArray positionList() const;

private:
    int &tile(int column, int row) { return m_board[size_t(column)][size_t(row)]; }

    std::array<std::array<int, rows + 1>, columns + 1> m_board{};
    std::array<Slot, slotCount + 1> m_slots{};
    std::array<QPoint, slotCount + 1> m_selection{};
    int m_selectedcount = 0;
    int m_linedirection = 0;
    bool m_scrambled = false;
};
