#include "tally/tlzh.h"

#include "tally/elzhexception.h"
#include "tally/lzhhuffman.h"
#include "tally/lzhmatchtree.h"

#include <algorithm>
#include <memory>
#include <new>

namespace {

constexpr int RingSize = LzhMatchTree::RingSize;
constexpr int RingMask = RingSize - 1;
constexpr int LookAhead = LzhMatchTree::LookAhead;
constexpr int Threshold = LzhMatchTree::Threshold;
constexpr int StartPosition = RingSize - LookAhead; // 4036 blanks before it

// The fixed codes of a match position's upper 6 bits: a canonical prefix
// code of one 3-bit code, three of 4 bits, eight of 5, twelve of 6,
// twenty-four of 7 and sixteen of 8, the shorter ones for the nearer
// positions. Decoding looks the next 8 bits up.
struct PositionCodes
{
    uint8_t length[64];
    uint8_t code[64]; // left-aligned in the byte
    uint8_t upperOf[256];
    uint8_t lengthOf[256];

    PositionCodes()
    {
        const int countOfLength[] = {1, 3, 8, 12, 24, 16}; // lengths 3 to 8
        int upper = 0;
        unsigned next = 0;
        for (int len = 3; len <= 8; ++len, next <<= 1) {
            for (int k = 0; k < countOfLength[len - 3]; ++k, ++upper, ++next) {
                length[upper] = uint8_t(len);
                code[upper] = uint8_t(next << (8 - len));
                for (int b = 0; b < 1 << (8 - len); ++b) {
                    upperOf[code[upper] + b] = uint8_t(upper);
                    lengthOf[code[upper] + b] = uint8_t(len);
                }
            }
        }
    }
};

const PositionCodes &positionCodes()
{
    static const PositionCodes codes;
    return codes;
}

[[noreturn]] void sizeMismatch()
{
    throw ELzrw1Exception(
        QStringLiteral("Lzrw1 (LZH decompression) : Original and compressed sizes do not match !"));
}

// The engine's tables live only as long as one run.
template <typename Tables>
std::unique_ptr<Tables> allocateTables()
{
    try {
        return std::make_unique<Tables>();
    } catch (const std::bad_alloc &) {
        throw ElzhException(QStringLiteral("LZH : Cannot get memory for dictionary tables"));
    }
}

struct EncodeTables
{
    LzhHuffman huffman;
    LzhMatchTree tree;
};

struct DecodeTables
{
    LzhHuffman huffman;
    uint8_t ring[RingSize];
};

// Bytes from the caller's reader through its buffer; -1 at the end.
class ByteSource
{
public:
    ByteSource(uint8_t *buffer, int size, const TLZH::Reader &read)
        : buffer(buffer), size(size), read(read)
    {
    }

    int get()
    {
        if (pos == available) {
            available = read(buffer, size);
            pos = 0;
            if (available <= 0) {
                available = 0;
                return -1;
            }
        }
        return buffer[pos++];
    }

private:
    uint8_t *buffer;
    int size;
    const TLZH::Reader &read;
    int pos = 0;
    int available = 0;
};

// Bytes to the caller's writer through its buffer, a full buffer at a time.
class ByteSink
{
public:
    ByteSink(uint8_t *buffer, int size, const TLZH::Writer &write)
        : buffer(buffer), size(size), write(write)
    {
    }

    void put(uint8_t byte)
    {
        buffer[fill++] = byte;
        if (fill == size)
            flush();
    }

    void flush()
    {
        if (fill > 0)
            write(buffer, fill);
        fill = 0;
    }

private:
    uint8_t *buffer;
    int size;
    const TLZH::Writer &write;
    int fill = 0;
};

class BitWriter
{
public:
    explicit BitWriter(ByteSink &sink) : sink(sink) {}

    // Sends the length low bits of code, the most significant first.
    void put(uint64_t code, int length)
    {
        while (length > 0) {
            const int n = std::min(length, 16);
            length -= n;
            bits = bits << n | unsigned(code >> length & ((1u << n) - 1));
            pending += n;
            while (pending >= 8) {
                pending -= 8;
                sink.put(uint8_t(bits >> pending));
            }
        }
    }

    // Pads the last byte with 0 bits and hands everything over.
    void finish()
    {
        if (pending > 0)
            sink.put(uint8_t(bits << (8 - pending)));
        pending = 0;
        sink.flush();
    }

private:
    ByteSink &sink;
    unsigned bits = 0;
    int pending = 0;
};

class BitReader
{
public:
    explicit BitReader(ByteSource &source) : source(source) {}

    // A stream that runs out of bits has lost its end.
    int bit()
    {
        if (left == 0) {
            current = source.get();
            if (current < 0)
                sizeMismatch();
            left = 8;
        }
        --left;
        return current >> left & 1;
    }

    unsigned bits(int count)
    {
        unsigned value = 0;
        while (count-- > 0)
            value = value << 1 | unsigned(bit());
        return value;
    }

private:
    ByteSource &source;
    int current = 0;
    int left = 0;
};

void encodePosition(BitWriter &out, int position)
{
    const PositionCodes &codes = positionCodes();
    const int upper = position >> 6;
    out.put(codes.code[upper] >> (8 - codes.length[upper]), codes.length[upper]);
    out.put(unsigned(position) & 0x3F, 6);
}

int decodePosition(BitReader &in)
{
    const PositionCodes &codes = positionCodes();
    unsigned first = in.bits(8);
    const int upper = codes.upperOf[first];
    // The first 8 bits held the upper part's code and the start of the
    // lower 6 bits; read the rest of those.
    first = first << (codes.lengthOf[first] - 2) | in.bits(codes.lengthOf[first] - 2);
    return upper << 6 | int(first & 0x3F);
}

} // namespace

void TLZH::encode(uint8_t *in, uint8_t *out, int chunkSize, const Reader &read, const Writer &write)
{
    ByteSource source(in, chunkSize, read);
    ByteSink sink(out, chunkSize, write);
    BitWriter bits(sink);
    const auto tables = allocateTables<EncodeTables>();
    LzhHuffman &huffman = tables->huffman;
    LzhMatchTree &tree = tables->tree;

    int s = 0;
    int r = StartPosition;
    for (int i = 0; i < r; ++i)
        tree.put(i, ' ');
    int len = 0;
    for (int c; len < LookAhead && (c = source.get()) >= 0; ++len)
        tree.put(r + len, uint8_t(c));
    if (len == 0)
        return;
    for (int i = 1; i <= LookAhead; ++i)
        tree.insert(r - i);
    tree.insert(r);

    const auto encodeSymbol = [&huffman, &bits](int symbol) {
        int length = 0;
        const uint64_t code = huffman.encode(symbol, length);
        bits.put(code, length);
    };
    do {
        int matchLength = std::min(tree.matchLength, len);
        if (matchLength <= Threshold) {
            matchLength = 1;
            encodeSymbol(tree.at(r));
        } else {
            encodeSymbol(255 - Threshold + matchLength);
            encodePosition(bits, tree.matchPosition);
        }
        // Slide the window by the bytes just coded, reading as many new ones.
        int i = 0;
        for (int c; i < matchLength && (c = source.get()) >= 0; ++i) {
            tree.remove(s);
            tree.put(s, uint8_t(c));
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            tree.insert(r);
        }
        for (; i < matchLength; ++i) {
            tree.remove(s);
            s = (s + 1) & RingMask;
            r = (r + 1) & RingMask;
            if (--len > 0)
                tree.insert(r);
        }
    } while (len > 0);
    bits.finish();
}

void TLZH::decode(uint32_t size, uint8_t *in, uint8_t *out, int chunkSize, const Reader &read,
                  const Writer &write)
{
    if (size == 0)
        return;
    ByteSource source(in, chunkSize, read);
    BitReader bits(source);
    ByteSink sink(out, chunkSize, write);
    const auto tables = allocateTables<DecodeTables>();
    uint8_t *ring = tables->ring;
    std::fill(ring, ring + StartPosition, uint8_t(' '));

    int r = StartPosition;
    uint32_t count = 0;
    while (count < size) {
        const int symbol = tables->huffman.decode([&bits] { return bits.bit(); });
        if (symbol < 256) {
            sink.put(uint8_t(symbol));
            ring[r] = uint8_t(symbol);
            r = (r + 1) & RingMask;
            ++count;
            continue;
        }
        const int from = (r - decodePosition(bits) - 1) & RingMask;
        const int length = symbol - 255 + Threshold;
        if (uint32_t(length) > size - count)
            sizeMismatch();
        for (int k = 0; k < length; ++k) {
            const uint8_t c = ring[(from + k) & RingMask];
            sink.put(c);
            ring[r] = c;
            r = (r + 1) & RingMask;
        }
        count += uint32_t(length);
    }
    sink.flush();
}
