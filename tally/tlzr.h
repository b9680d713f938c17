#pragma once

#include <array>
#include <cstdint>

// The LZRW1/KH block coder, the "Fast" coding of Tlzrw1. A block codes one
// chunk of at most 32768 bytes on its own; nothing in it refers outside its
// chunk. A coded block starts with a flag byte: 0x80 stored (the chunk
// follows unchanged), anything else compressed (16-bit control words, high
// byte first, each governing the next 16 items: a literal byte, a copy of 3
// to 18 bytes from up to 4095 bytes back, or a run of 16 or more equal bytes).
class TLZR
{
public:
    static constexpr int ChunkSize = 32768;
    // Room for any coded block: the coder may overshoot the chunk's size by a
    // few bytes before it falls back to storing.
    static constexpr int BufferSize = 32784;
    static constexpr int MaxBlockLength = ChunkSize + 1;

    TLZR();

    // Codes the n (0 to ChunkSize) bytes at source into dest, which must
    // hold BufferSize bytes. Answers the coded block's length, 1 to n + 1.
    int compress(const uint8_t *source, int n, uint8_t *dest);

    // Restores the coded block of length bytes at source into dest, which
    // must hold ChunkSize bytes. Answers the restored chunk's length.
    // A malformed block raises ELzrw1Exception; nothing outside the two
    // buffers is read or written, whatever the block holds.
    static int decompress(const uint8_t *source, int length, uint8_t *dest);

private:
    // Last input position seen for each hash of three bytes, kept with a
    // bias of 4096 so that 0 stands for none.
    std::array<uint16_t, 4096> hashTable;
};
