#pragma once

#include <cstdint>
#include <functional>

// The LZHUF engine, the "Good" coding of Tlzrw1: LZSS over a ring buffer of
// 4096 bytes (the first 4036 of them blanks at the start, matches of 3 to 60
// bytes) with the literals and match lengths coded by an adaptive Huffman
// tree and the match positions by fixed codes for their upper 6 bits and
// the lower 6 bits plain. Codes are packed most significant bit first. The
// stream records no length: the decoder is told how many bytes to restore.
//
// The engine does no input or output of its own: it fills and empties the
// caller's buffers through two functions, a chunk at a time.
class TLZH
{
public:
    // Fills buffer with up to max bytes; answers how many, 0 at the end.
    using Reader = std::function<int(uint8_t *buffer, int max)>;
    // Takes count bytes from data.
    using Writer = std::function<void(const uint8_t *data, int count)>;

    // Codes everything read delivers as one stream. The buffers hold
    // chunkSize bytes each: in for reading, out for writing.
    void encode(uint8_t *in, uint8_t *out, int chunkSize, const Reader &read, const Writer &write);

    // Restores exactly size bytes from the stream. A stream that ends before
    // they are restored, or whose last match runs past them, raises
    // ELzrw1Exception with the size-mismatch text.
    void decode(uint32_t size, uint8_t *in, uint8_t *out, int chunkSize, const Reader &read,
                const Writer &write);
};
