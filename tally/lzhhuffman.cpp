#include "tally/lzhhuffman.h"

#include <algorithm>

namespace {

constexpr unsigned MaxFreq = 0x8000;

} // namespace

LzhHuffman::LzhHuffman()
{
    for (int i = 0; i < SymbolCount; ++i) {
        freq[i] = 1;
        son[i] = int16_t(i + TableSize);
        prnt[i + TableSize] = int16_t(i);
    }
    for (int i = 0, j = SymbolCount; j <= Root; i += 2, ++j) {
        freq[j] = uint16_t(freq[i] + freq[i + 1]);
        son[j] = int16_t(i);
        prnt[i] = prnt[i + 1] = int16_t(j);
    }
    freq[TableSize] = 0xFFFF;
    prnt[Root] = 0;
}

uint64_t LzhHuffman::encode(int symbol, int &length)
{
    // From the leaf up to the root; an odd node is its parent's bigger child
    // and stands for a 1. The root's children are reached first when
    // decoding, so the bits collected last go first.
    uint64_t code = 0;
    length = 0;
    int node = prnt[symbol + TableSize];
    do {
        code |= uint64_t(node & 1) << length;
        ++length;
        node = prnt[node];
    } while (node != Root);
    update(symbol);
    return code;
}

void LzhHuffman::reconstruct()
{
    // Gather the leaves at the front with halved frequencies.
    int j = 0;
    for (int i = 0; i < TableSize; ++i) {
        if (son[i] >= TableSize) {
            freq[j] = uint16_t((freq[i] + 1) / 2);
            son[j] = son[i];
            ++j;
        }
    }
    // Join pairs from the smallest on, inserting each new node where its
    // frequency keeps the table in order.
    for (int i = 0, k = SymbolCount; k < TableSize; i += 2, ++k) {
        const uint16_t f = uint16_t(freq[i] + freq[i + 1]);
        int at = k - 1;
        while (f < freq[at])
            --at;
        ++at;
        std::copy_backward(freq + at, freq + k, freq + k + 1);
        std::copy_backward(son + at, son + k, son + k + 1);
        freq[at] = f;
        son[at] = int16_t(i);
    }
    for (int i = 0; i < TableSize; ++i) {
        const int s = son[i];
        if (s >= TableSize)
            prnt[s] = int16_t(i);
        else
            prnt[s] = prnt[s + 1] = int16_t(i);
    }
}

void LzhHuffman::update(int symbol)
{
    if (freq[Root] == MaxFreq)
        reconstruct();
    int c = prnt[symbol + TableSize];
    do {
        const unsigned k = ++freq[c];
        // Keep the order: swap c with the last node of smaller frequency.
        // The nodes above c are still in order, so a binary search finds it.
        if (k > freq[c + 1]) {
            const int l = int(std::lower_bound(freq + c + 2, freq + TableSize + 1, k) - freq) - 1;
            freq[c] = freq[l];
            freq[l] = uint16_t(k);

            const int i = son[c];
            prnt[i] = int16_t(l);
            if (i < TableSize)
                prnt[i + 1] = int16_t(l);

            const int j = son[l];
            son[l] = int16_t(i);
            prnt[j] = int16_t(c);
            if (j < TableSize)
                prnt[j + 1] = int16_t(c);
            son[c] = int16_t(j);

            c = l;
        }
        c = prnt[c];
    } while (c != 0);
}
