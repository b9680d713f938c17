#pragma once

#include <cstdint>

// The adaptive Huffman tree of the LZHUF coding: 314 symbols (the 256 byte
// values and the match lengths 3 to 60) in a table of 627 nodes, kept in
// order of frequency so that the sibling property holds, and rebuilt with
// halved frequencies when the root's frequency reaches 0x8000. Coder and
// decoder update it the same way after every symbol, so both always agree
// on the codes.
class LzhHuffman
{
public:
    static constexpr int SymbolCount = 314;
    static constexpr int TableSize = 2 * SymbolCount - 1;
    static constexpr int Root = TableSize - 1;

    LzhHuffman();

    // The current code of symbol: its bits, the first in the most significant
    // place, right-aligned in the answer; length receives their number. The
    // tree is then updated for the symbol.
    uint64_t encode(int symbol, int &length);

    // Reads one symbol's code, bit by bit from nextBit(), answers the symbol
    // and updates the tree for it.
    template <typename NextBit>
    int decode(NextBit nextBit)
    {
        int node = son[Root];
        while (node < TableSize)
            node = son[node + nextBit()];
        const int symbol = node - TableSize;
        update(symbol);
        return symbol;
    }

private:
    void update(int symbol);
    void reconstruct();

    // freq[i]: weight of node i, ascending; freq[TableSize] is a sentinel.
    uint16_t freq[TableSize + 1];
    // prnt[i]: parent of node i; prnt[TableSize + s]: the leaf node of symbol s.
    int16_t prnt[TableSize + SymbolCount];
    // son[i]: the smaller child of node i (the other is son[i] + 1), or
    // TableSize + symbol for a leaf.
    int16_t son[TableSize];
};
