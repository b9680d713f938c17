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
// The hash table holds positions plus this bias, and 0 for none: the
// distance to an empty entry is then always too far, which saves a test.
constexpr int TableBias = 4096;

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

// The hash of three bytes b0 b1 b2, given as the low bytes of a word.
unsigned hashOf(uint32_t bytes)
{
    const uint32_t v = (bytes & 0xFF) << 8 ^ (bytes >> 8 & 0xFF) << 4 ^ (bytes >> 16 & 0xFF);
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
// overlap, which repeats the last offset bytes.
void copyBack(uint8_t *out, int offset, int length)
{
    const uint8_t *from = out - offset;
    if (offset == 1) {
        std::memset(out, *from, size_t(length));
    } else {
        for (int i = 0; i < length; ++i)
            out[i] = from[i];
    }
}

// The same, eight bytes at a time, for offsets of 8 or more. Writes 24
// bytes whatever the length.
void copyBackWide(uint8_t *out, int offset)
{
    const uint8_t *from = out - offset;
    if (offset >= 16) {
        std::memcpy(out, from, 16);
        std::memcpy(out + 16, from + 16, 8);
    } else {
        std::memcpy(out, from, 8);
        std::memcpy(out + 8, from + 8, 8);
        std::memcpy(out + 16, from + 16, 8);
    }
}

// Each byte's bits in reverse order.
constexpr struct ReversedBytes
{
    uint8_t value[256] = {};
    constexpr ReversedBytes()
    {
        for (int b = 0; b < 256; ++b) {
            for (int i = 0; i < 8; ++i)
                value[b] |= uint8_t(((b >> i) & 1) << (7 - i));
        }
    }
    constexpr uint8_t operator[](unsigned b) const { return value[b]; }
} reversedByte;

// The number of literals that follow in the control word: its leading zero
// bits among the bits left. control holds the word in its low 16 bits.
int literalsAhead(unsigned control, int bits)
{
    return __builtin_clz((control & 0xFFFF) << 16 | 1u << (31 - bits));
}

// The items of a compressed block as they are placed: a control word
// ahead of every 16 items, each item's bit shifted in as it comes.
struct BlockOut
{
    uint8_t *dest;
    int out = 3;
    int items = 0;
    int controlPos = 1;
    unsigned control = 0;

    // Makes room for the next control word when this one is full.
    void nextItem()
    {
        if (items == ItemsPerControl) {
            putWord(dest + controlPos, control);
            controlPos = out;
            out += 2;
            items = 0;
            control = 0;
        }
        ++items;
    }

    void run(uint8_t value, int length)
    {
        dest[out] = 0;
        putWord(dest + out + 1, unsigned(length - MinRun));
        dest[out + 3] = value;
        out += 4;
        control = control << 1 | 1;
    }

    void copy(int offset, int length)
    {
        putWord(dest + out, unsigned(offset * 16 + length - MinMatch));
        out += 2;
        control = control << 1 | 1;
    }

    void literal(uint8_t value)
    {
        dest[out++] = value;
        control <<= 1;
    }

    void finish() { putWord(dest + controlPos, control << (ItemsPerControl - items)); }
};

} // namespace

TLZR::TLZR()
{
    hashTable.fill(0);
}

// One pass over the chunk. At each position: a run of 16 or more equal bytes
// becomes a run item; otherwise the hash of the next three bytes names the
// last position with the same hash, and a match of 3 to 18 bytes with it
// becomes a copy item; otherwise the byte is a literal.
int TLZR::compress(const uint8_t *source, int n, uint8_t *dest)
{
    uint16_t *const table = hashTable.data();
    std::fill(table, table + hashTable.size(), uint16_t(0));
    dest[0] = FlagCompressed;
    BlockOut block{dest};
    int key = 0;

    // Up to fastEnd, eight bytes from the position on can be loaded at once:
    // a run shows in its first three bytes, the hash comes from the same
    // load, and one comparison of eight bytes measures most matches.
    const int fastEnd = n - 24;
    while (key < fastEnd && block.out <= n) {
        block.nextItem();
        const uint8_t *here = source + key;
        const uint64_t word = load64(here);
        if (((word ^ word >> 8) & 0xFFFF) == 0) { // three equal bytes: perhaps a run
            const int run = 1 + equalBytes(here + 1, here, std::min(MaxRun, n - key) - 1);
            if (run >= MinRun) {
                block.run(*here, run);
                key += run;
                continue;
            }
        }
        uint16_t &slot = table[hashOf(uint32_t(word))];
        const int distance = key + TableBias - slot;
        slot = uint16_t(key + TableBias);
        const bool near = distance <= MaxOffset;
        const int from = near ? key - distance : key;
        const uint64_t diff = word ^ load64(source + from);
        int length = diff != 0 ? __builtin_ctzll(diff) / 8 : 8;
        const bool match = near && length >= MinMatch;
        if (match && length == 8)
            length += equalBytes(here + 8, source + from + 8, MaxMatch - 8);
        // Both kinds of item written at once, which the compiler can do
        // without a branch; a literal's second byte is overwritten later.
        const unsigned item = unsigned(distance * 16 + length - MinMatch);
        dest[block.out] = match ? uint8_t(item >> 8) : uint8_t(word);
        dest[block.out + 1] = uint8_t(item);
        block.out += match ? 2 : 1;
        block.control = block.control << 1 | unsigned(match);
        key += match ? length : 1;
    }

    // The same steps near the chunk's end, with every bound checked.
    while (key < n && block.out <= n) {
        block.nextItem();
        const uint8_t *here = source + key;
        const int left = n - key;
        const int run = 1 + equalBytes(here + 1, here, std::min(MaxRun, left) - 1);
        if (run >= MinRun) {
            block.run(*here, run);
            key += run;
            continue;
        }
        // The last two positions cannot start a match of three bytes.
        if (left >= MinMatch) {
            uint16_t &slot = table[hashOf(uint32_t(here[0]) | uint32_t(here[1]) << 8 | uint32_t(here[2]) << 16)];
            const int candidate = slot - TableBias;
            slot = uint16_t(key + TableBias);
            if (key - candidate <= MaxOffset) {
                const int length = equalBytes(here, source + candidate, std::min(MaxMatch, left));
                if (length >= MinMatch) {
                    block.copy(key - candidate, length);
                    key += length;
                    continue;
                }
            }
        }
        block.literal(*here);
        ++key;
    }
    block.finish();

    if (block.out > n) {
        dest[0] = FlagStored;
        std::memcpy(dest + 1, source, size_t(n));
        return n + 1;
    }
    return block.out;
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

    // A control word's 16 items read at most 2 × 16 + 16 bytes before a run
    // ends the fast loop, and write at most 16 × 18 bytes plus 24 of slack.
    constexpr int FastIn = 64;
    constexpr int FastOut = ItemsPerControl * MaxMatch + 24;

    const uint8_t *in = source + 3;
    const uint8_t *const end = source + length;
    uint8_t *out = dest;
    uint8_t *const outEnd = dest + ChunkSize;
    unsigned control = unsigned(source[1]) << 8 | source[2];
    int bits = ItemsPerControl;
    while (in < end) {
        if (bits == 0) {
            if (end - in < 2)
                corrupt("a control word is cut short");
            control = unsigned(in[0]) << 8 | in[1];
            in += 2;
            bits = ItemsPerControl;
        }

        if (bits == ItemsPerControl && end - in >= FastIn && outEnd - out >= FastOut) {
            // The whole control word, with room to spare in both buffers.
            // Its copy items are visited in order through the bits of the
            // reversed word, each after the literals before it (perhaps
            // none) in one move. No branch depends on which kind of item
            // comes next, as text mixes the two too evenly for prediction.
            unsigned copies = reversedByte[control >> 8] | unsigned(reversedByte[control & 0xFF]) << 8;
            int pos = 0;
            for (; copies != 0; copies &= copies - 1) {
                const int item = __builtin_ctz(copies);
                std::memcpy(out, in, 16);
                in += item - pos;
                out += item - pos;
                pos = item;
                const unsigned b1 = in[1];
                const int offset = int(unsigned(in[0]) << 4 | b1 >> 4);
                const int length = int(b1 & 0x0F) + MinMatch;
                if (offset < 8 || offset > out - dest) {
                    if (offset == 0)
                        break; // a run: its length needs checking
                    if (offset > out - dest)
                        corrupt("a copy reaches before the start of its output");
                    copyBack(out, offset, length);
                } else {
                    copyBackWide(out, offset);
                }
                in += 2;
                out += length;
                pos = item + 1;
            }
            if (copies == 0) {
                std::memcpy(out, in, 16);
                in += ItemsPerControl - pos;
                out += ItemsPerControl - pos;
                bits = 0;
                continue;
            }
            control <<= pos;
            bits -= pos;
        }

        if ((control & 0x8000) == 0) {
            const int count = std::min(literalsAhead(control, bits), int(end - in));
            if (count == 0) // a control word ends the block
                corrupt("an item is cut short");
            if (count > outEnd - out)
                corrupt("it decodes to more than 32768 bytes");
            std::memcpy(out, in, size_t(count));
            in += count;
            out += count;
            control <<= count;
            bits -= count;
            continue;
        }
        if (end - in < 2)
            corrupt("an item is cut short");
        const unsigned b1 = in[1];
        const int offset = int(unsigned(in[0]) << 4 | b1 >> 4);
        if (offset != 0) {
            const int count = int(b1 & 0x0F) + MinMatch;
            if (offset > out - dest)
                corrupt("a copy reaches before the start of its output");
            if (count > outEnd - out)
                corrupt("it decodes to more than 32768 bytes");
            copyBack(out, offset, count);
            in += 2;
            out += count;
        } else {
            if (end - in < 4)
                corrupt("an item is cut short");
            const int count = int((b1 & 0x0F) << 8 | in[2]) + MinRun;
            if (count > outEnd - out)
                corrupt("it decodes to more than 32768 bytes");
            std::memset(out, in[3], size_t(count));
            in += 4;
            out += count;
        }
        control <<= 1;
        --bits;
    }
    return int(out - dest);
}
