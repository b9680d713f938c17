#include "tally/tlzr.h"

#include "tally/elzrw1exception.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t FlagCompressed = 0x40;
constexpr uint8_t FlagStored = 0x80;
constexpr int ItemsPerControl = 16;
constexpr int MinMatch = 3;
constexpr int MaxMatch = 18;
constexpr int MaxOffset = 4095;
constexpr int MinRun = 16;
constexpr int MaxRun = 4095;

uint64_t load64(const uint8_t *p)
{
    uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// The number of equal bytes at a and b, at most limit. Compares eight bytes
// at a time but never reads past a + limit or b + limit.
int equalBytes(const uint8_t *a, const uint8_t *b, int limit)
{
    int n = 0;
    while (n + 8 <= limit) {
        const uint64_t diff = load64(a + n) ^ load64(b + n);
        if (diff != 0)
            return n + __builtin_ctzll(diff) / 8; // little-endian: first byte lowest
        n += 8;
    }
    while (n < limit && a[n] == b[n])
        ++n;
    return n;
}

unsigned hashOf(const uint8_t *p)
{
    const uint32_t v = (uint32_t(p[0]) << 8) ^ (uint32_t(p[1]) << 4) ^ p[2];
    return ((v * 40543u) >> 4) & 0xFFF;
}

void putWord(uint8_t *p, unsigned word)
{
    p[0] = uint8_t(word >> 8);
    p[1] = uint8_t(word);
}

[[noreturn]] void corrupt(const char *what)
{
    throw ELzrw1Exception(QStringLiteral("Lzrw1 (decompression LZRW1/KH) : corrupt block, ")
                          + QLatin1String(what) + QStringLiteral(" !"));
}

// Copies a copy item's bytes from offset bytes back. Source and target may
// overlap, which repeats the last offset bytes; where they are far enough
// apart the bytes move eight at a time, which needs up to 24 bytes of room.
void copyBack(uint8_t *out, int offset, int length, bool roomForWideCopy)
{
    const uint8_t *from = out - offset;
    if (offset >= 8 && roomForWideCopy) {
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
        if (length > 16)
            std::memcpy(out + 16, from + 16, 8);
    } else if (offset == 1) {
        std::memset(out, *from, size_t(length));
    } else {
        for (int i = 0; i < length; ++i)
            out[i] = from[i];
    }
}

} // namespace

TLZR::TLZR()
{
    hashTable.fill(-1);
}

int TLZR::compress(const uint8_t *source, int n, uint8_t *dest)
{
    hashTable.fill(-1);
    dest[0] = FlagCompressed;
    int key = 0;
    int items = 0;
    unsigned control = 0;
    int controlPos = 1;
    int out = 3;

    while (key < n && out <= n) {
        if (items == ItemsPerControl) {
            putWord(dest + controlPos, control);
            controlPos = out;
            out += 2;
            items = 0;
            control = 0;
        }
        const uint8_t *here = source + key;
        const int left = n - key;
        // A run of equal bytes: each byte equals the one before it.
        const int run = 1 + equalBytes(here + 1, here, std::min(MaxRun, left) - 1);
        if (run >= MinRun) {
            dest[out] = 0;
            putWord(dest + out + 1, unsigned(run - MinRun));
            dest[out + 3] = *here;
            out += 4;
            key += run;
            control = (control << 1) | 1;
        } else {
            int length = 0;
            int candidate = -1;
            // The last two positions cannot start a match of three bytes.
            if (left >= MinMatch) {
                int16_t &slot = hashTable[hashOf(here)];
                candidate = slot;
                if (candidate >= 0 && key - candidate <= MaxOffset)
                    length = equalBytes(here, source + candidate, std::min(MaxMatch, left));
                slot = int16_t(key);
            }
            if (length >= MinMatch) {
                putWord(dest + out, unsigned((key - candidate) * 16 + length - MinMatch));
                out += 2;
                key += length;
                control = (control << 1) | 1;
            } else {
                dest[out++] = *here;
                ++key;
                control <<= 1;
            }
        }
        ++items;
    }
    putWord(dest + controlPos, control << (ItemsPerControl - items));

    if (out > n) {
        dest[0] = FlagStored;
        std::memcpy(dest + 1, source, size_t(n));
        return n + 1;
    }
    return out;
}

int TLZR::decompress(const uint8_t *source, int length, uint8_t *dest)
{
    if (length < 2)
        return 0;
    if (source[0] == FlagStored) {
        if (length - 1 > ChunkSize)
            corrupt("it decodes to more than 32768 bytes");
        std::memcpy(dest, source + 1, size_t(length - 1));
        return length - 1;
    }
    if (length < 3)
        corrupt("a control word is cut short");

    unsigned control = unsigned(source[1]) << 8 | source[2];
    int bits = ItemsPerControl;
    int in = 3;
    int out = 0;
    while (in < length) {
        if (bits == 0) {
            if (length - in < 2)
                corrupt("a control word is cut short");
            control = unsigned(source[in]) << 8 | source[in + 1];
            in += 2;
            bits = ItemsPerControl;
        }
        if ((control & 0x8000) == 0) {
            // A row of literals: as many as the control word's leading zero
            // bits, within this control word and this block.
            // A sentinel bit just below the remaining ones bounds the count.
            const unsigned word = (control & 0xFFFF) << 16 | 1u << (31 - bits);
            const int count = std::min(__builtin_clz(word), length - in);
            if (count == 0) // a control word ends the block
                corrupt("an item is cut short");
            if (out + count > ChunkSize)
                corrupt("it decodes to more than 32768 bytes");
            if (in + 16 <= length && out + 16 <= ChunkSize)
                std::memcpy(dest + out, source + in, 16);
            else
                std::memcpy(dest + out, source + in, size_t(count));
            in += count;
            out += count;
            control <<= count;
            bits -= count;
            continue;
        }
        if (length - in < 2)
            corrupt("an item is cut short");
        const unsigned b0 = source[in];
        const unsigned b1 = source[in + 1];
        const int offset = int(b0 << 4 | b1 >> 4);
        if (offset != 0) {
            const int count = int(b1 & 0x0F) + MinMatch;
            if (offset > out)
                corrupt("a copy reaches before the start of its output");
            if (out + count > ChunkSize)
                corrupt("it decodes to more than 32768 bytes");
            copyBack(dest + out, offset, count, out + 24 <= ChunkSize);
            in += 2;
            out += count;
        } else {
            if (length - in < 4)
                corrupt("an item is cut short");
            const int count = int((b1 & 0x0F) << 8 | source[in + 2]) + MinRun;
            if (out + count > ChunkSize)
                corrupt("it decodes to more than 32768 bytes");
            std::memset(dest + out, source[in + 3], size_t(count));
            in += 4;
            out += count;
        }
        control <<= 1;
        --bits;
    }
    return out;
}
