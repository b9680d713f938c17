#pragma once

#include <QList>
#include <QPixmap>
#include <QSize>

// The game's own pictures, drawn with QPainter the first time each is asked
// for and kept for the rest of the run. Everything is in the game's palette:
// panels of sand (237, 207, 137), accents of burnt orange (220, 89, 33).
class Artwork
{
public:
    static constexpr int TileSize = 44;
    static constexpr int TileCount = 54;
    static constexpr int HighlightOffset = 26;   // letter + 26 = highlighted letter
    static constexpr int MarkerCode = 53;

    // Tile code 0 blank, 1..26 the letters A..Z, 27..52 the same letters
    // highlighted, 53 the marker: corner marks on a transparent ground, drawn
    // over the last selected tile. Any other code answers a blank tile.
    static QPixmap tile(int code);
    // All 54 tiles in code order.
    static QList<QPixmap> tileSet();

    // The mark beside a seat that found the word (16 x 16) and the mark of a
    // seat that is just watching (14 x 14).
    static QPixmap foundIt();
    static QPixmap eyes();

    // 30 x 24: the empty and the ticked box.
    static QPixmap checkBox(bool ticked);

    static QPixmap startGameButton();   // 193 x 33, "Start Game"
    static QPixmap clearWordButton();   // 107 x 33, "Clear Word"
    static QPixmap gameStartButton();   // 90 x 30, "Start"

    // 184 x 25, the full bar; the window shows its left part as time runs out.
    static QPixmap timeBar();

    // The background shared by the windows, at the given size.
    static QPixmap background(const QSize &size);
};
