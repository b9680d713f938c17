#pragma once

#include "tally/tlzrw1.h"

#include <QByteArray>

// The compressor in stream mode, for tests that work on data in memory.
namespace StreamCodec {

inline QByteArray compress(const QByteArray &data, Tlzrw1::TCompressMode mode)
{
    Tlzrw1 lzrw1;
    lzrw1.UseStream = true;
    lzrw1.CompressMode = mode;
    lzrw1.setInputData(data);
    lzrw1.Compress();
    return lzrw1.outputData();
}

inline QByteArray decompress(const QByteArray &container)
{
    Tlzrw1 lzrw1;
    lzrw1.UseStream = true;
    lzrw1.setInputData(container);
    lzrw1.Decompress();
    return lzrw1.outputData();
}

} // namespace StreamCodec
