// The LZRW1/KH container ("WRZL", which the target puts in front of the
// input: the original size, then block records) and its block decoder on
// its own, with an output buffer of exactly one chunk.

#include "fuzz/fuzzsupport.h"
#include "tally/elzrw1exception.h"
#include "tally/tlzr.h"
#include "tally/tlzrw1.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = FuzzSupport::bytes(data, size);
    Tlzrw1 container;
    container.UseStream = true;
    container.setInputData("WRZL" + input);
    try {
        const qint64 written = container.Decompress();
        if (written != container.outputData().size())
            FuzzSupport::broken("the restored size is not what was written");
    } catch (const ELzrw1Exception &) {
    }

    if (size == 0 || size > size_t(TLZR::MaxBlockLength))
        return 0;
    // Copies, so that the sanitizer sees the ends of both blocks.
    const std::vector<uint8_t> block(data, data + size);
    std::vector<uint8_t> chunk(TLZR::ChunkSize);
    try {
        const int n = TLZR::decompress(block.data(), int(block.size()), chunk.data());
        if (n < 0 || n > TLZR::ChunkSize)
            FuzzSupport::broken("a block restored to more than a chunk");
    } catch (const ELzrw1Exception &) {
    }
    return 0;
}
