#pragma once

#include <cstdint>

// The LZHUF coder's dictionary: a ring buffer of 4096 bytes and a binary
// search tree over the strings that start at each of its positions, which
// finds the longest earlier string (up to 60 bytes) equal to the one at the
// coding position. The 59 bytes after the ring's end mirror its first 59,
// so that a string never has to wrap.
class LzhMatchTree
{
public:
    static constexpr int RingSize = 4096;
    static constexpr int LookAhead = 60;
    static constexpr int Threshold = 2; // a match must be longer than this

    LzhMatchTree();

    // Sets the byte at ring position pos, keeping the mirror in step.
    void put(int pos, uint8_t byte)
    {
        text[pos] = byte;
        if (pos < LookAhead - 1)
            text[pos + RingSize] = byte;
    }
    uint8_t at(int pos) const { return text[pos]; }

    // Enters the string at ring position r; afterwards matchLength and
    // matchPosition describe the longest earlier string equal to it (the
    // nearest of equally long ones). A string of 60 equal bytes replaces
    // the older node, which leaves the tree.
    void insert(int r);
    // Takes the string at ring position p out of the tree, if it is there.
    void remove(int p);

    int matchLength = 0;
    // Distance back from r, minus one: 0 to 4095.
    int matchPosition = 0;

private:
    static constexpr int Nil = RingSize;

    uint8_t text[RingSize + LookAhead - 1] = {};
    // Nodes 0 to 4095 are ring positions; rson[4097 + b] is the root of the
    // tree of strings starting with byte b.
    int16_t lson[RingSize + 1];
    int16_t rson[RingSize + 257];
    int16_t dad[RingSize + 1];
};
