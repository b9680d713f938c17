#include "tally/lzhmatchtree.h"

LzhMatchTree::LzhMatchTree()
{
    for (int i = RingSize + 1; i <= RingSize + 256; ++i)
        rson[i] = Nil;
    for (int i = 0; i < RingSize; ++i)
        dad[i] = Nil;
}

void LzhMatchTree::insert(int r)
{
    const uint8_t *key = text + r;
    int p = RingSize + 1 + key[0];
    int cmp = 1;
    rson[r] = lson[r] = Nil;
    matchLength = 0;
    for (;;) {
        int16_t *child = cmp >= 0 ? rson : lson;
        if (child[p] == Nil) {
            child[p] = int16_t(r);
            dad[r] = int16_t(p);
            return;
        }
        p = child[p];
        int i = 1;
        for (; i < LookAhead; ++i) {
            cmp = int(key[i]) - int(text[p + i]);
            if (cmp != 0)
                break;
        }
        if (i > Threshold) {
            const int distance = ((r - p) & (RingSize - 1)) - 1;
            if (i > matchLength) {
                matchPosition = distance;
                matchLength = i;
                if (matchLength >= LookAhead)
                    break;
            } else if (i == matchLength && distance < matchPosition) {
                matchPosition = distance;
            }
        }
    }
    // A full-length match: r takes p's place in the tree.
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = int16_t(r);
    dad[rson[p]] = int16_t(r);
    if (rson[dad[p]] == p)
        rson[dad[p]] = int16_t(r);
    else
        lson[dad[p]] = int16_t(r);
    dad[p] = Nil;
}

void LzhMatchTree::remove(int p)
{
    if (dad[p] == Nil)
        return;
    int q;
    if (rson[p] == Nil) {
        q = lson[p];
    } else if (lson[p] == Nil) {
        q = rson[p];
    } else {
        q = lson[p];
        if (rson[q] != Nil) {
            do {
                q = rson[q];
            } while (rson[q] != Nil);
            rson[dad[q]] = lson[q];
            dad[lson[q]] = dad[q];
            lson[q] = lson[p];
            dad[lson[p]] = int16_t(q);
        }
        rson[q] = rson[p];
        dad[rson[p]] = int16_t(q);
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p)
        rson[dad[p]] = int16_t(q);
    else
        lson[dad[p]] = int16_t(q);
    dad[p] = Nil;
}
