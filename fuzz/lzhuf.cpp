// The LZHUF container ("!HZL", which the target puts in front of the input:
// the original size, then one bit stream) through the decompressor.

#include "fuzz/fuzzsupport.h"
#include "tally/elzrw1exception.h"
#include "tally/tlzrw1.h"

#include <QtEndian>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Tlzrw1 container;
    container.UseStream = true;
    container.setInputData("!HZL" + FuzzSupport::bytes(data, size));
    try {
        const qint64 written = container.Decompress();
        if (size < 4 || written != qint64(qFromLittleEndian<quint32>(data)))
            FuzzSupport::broken("restored a size other than the header's");
    } catch (const ELzrw1Exception &) {
    }
    return 0;
}
