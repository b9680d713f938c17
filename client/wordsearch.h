#pragma once

#include "client/boardselection.h"

#include <QByteArray>
#include <QList>
#include <QPoint>

// Looks for the round's word on the board as a player sees it: the tiles of
// a BoardSelection and the letters of its slots. A STRAIGHT word is a run of
// tiles in one of the eight directions; a SCRAMBLED word a chain of touching
// tiles that uses no tile twice. Any tiles that spell the word will do, the
// placed ones or a copy among the decoys.
class WordSearch
{
public:
    using Placement = QList<QPoint>;

    // The first placement found by the rule of the selection's game type, in
    // letter order; empty when the board holds none or there is no word.
    static Placement find(const BoardSelection &board);

    // Clicks the placement, tile by tile, into a copy of the selection under
    // the same rules a player's window applies. Answers the "+column+row"
    // list that CMD_myword carries, or empty when the rules refuse a tile or
    // the placement does not complete the word.
    static QByteArray select(const BoardSelection &board, const Placement &placement);

private:
    static Placement findStraight(const BoardSelection &board, int length);
    static Placement findScrambled(const BoardSelection &board, int length);
};
