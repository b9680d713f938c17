#include "tally/tlzrw1.h"

#include "tally/elzrw1exception.h"
#include "tally/lzrw1run.h"
#include "tally/tlzh.h"
#include "tally/tlzr.h"

#include <QtEndian>
#include <cstring>
#include <new>
#include <vector>

namespace {

constexpr char FastId[] = "WRZL";
constexpr char GoodId[] = "!HZL";
constexpr int HeaderSize = 8;
constexpr qint64 SmallFile = 98303; // Advise: up to this size, always Good

// The two I/O buffers of a run, with room for any coded block.
struct IoBuffers
{
    std::vector<uint8_t> in;
    std::vector<uint8_t> out;

    explicit IoBuffers(const QString &failureText)
    {
        try {
            in.resize(TLZR::BufferSize);
            out.resize(TLZR::BufferSize);
        } catch (const std::bad_alloc &) {
            throw ELzrw1Exception(failureText);
        }
    }
};

uint32_t readSize(Lzrw1Run &run)
{
    uint8_t bytes[4];
    run.readExactly(bytes, 4);
    return qFromLittleEndian<uint32_t>(bytes);
}

[[noreturn]] void fastSizeMismatch()
{
    throw ELzrw1Exception(QStringLiteral(
        "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !"));
}

qint64 percent(qint64 part, qint64 whole)
{
    return whole > 0 ? part * 100 / whole : 100;
}

} // namespace

Tlzrw1::Tlzrw1(QObject *parent)
    : QObject(parent), lzr(std::make_unique<TLZR>()), lzh(std::make_unique<TLZH>()),
      statusLine(QStringLiteral("LZRW1/KH Compressor / Decompressor"))
{
}

Tlzrw1::~Tlzrw1() = default;

qint64 Tlzrw1::Compress()
{
    streamOutput.clear();
    const TCompressMode mode = CompressMode == Auto ? Advise() : CompressMode;
    const QString coding = mode == Fast ? QStringLiteral("LZRW1/KH") : QStringLiteral("LZH");
    IoBuffers buffers(QStringLiteral("Lzrw1 (de)compression : Failed to get memory for I/O buffers !"));
    auto run = startRun(coding);
    openInput(*run, QStringLiteral("Lzrw1 compression : Failed to obtain the size of : "),
              QStringLiteral("Lzrw1 (de)compression : Failed to open input file : "));
    const qint64 size = run->inputSize();
    // The header holds the size in 32 bits; a larger input could not be restored.
    if (size > qint64(UINT32_MAX))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 compression : too large to compress (4 GiB or more) : ")
                              + inputName());
    if (UseStream)
        run->openOutputData();
    else
        run->openOutputFile();
    run->setReadErrorText(QStringLiteral("Lzrw1 : Error reading from input file : "),
                          QStringLiteral(" (") + coding + QStringLiteral(")"));

    uint8_t header[HeaderSize];
    std::memcpy(header, mode == Fast ? FastId : GoodId, 4);
    qToLittleEndian<uint32_t>(uint32_t(size), header + 4);
    run->write(header, HeaderSize);
    if (mode == Fast) {
        compressFast(*run, buffers.in.data(), buffers.out.data());
    } else {
        lzh->encode(buffers.in.data(), buffers.out.data(), TLZR::ChunkSize,
                    [&run](uint8_t *buffer, int max) { return run->readUpTo(buffer, max); },
                    [&run](const uint8_t *data, int count) { run->write(data, count); });
    }
    finishRun(*run, QStringLiteral(" : Lzrw1 : successfully compressed at ")
                        + QString::number(percent(run->bytesOut, run->bytesIn)) + QStringLiteral("%"));
    return run->bytesOut;
}

void Tlzrw1::compressFast(Lzrw1Run &run, uint8_t *in, uint8_t *out)
{
    int n;
    do {
        n = run.readUpTo(in, TLZR::ChunkSize);
        const int length = lzr->compress(in, n, out);
        uint8_t lengthBytes[2];
        qToLittleEndian<uint16_t>(uint16_t(length), lengthBytes);
        run.write(lengthBytes, 2);
        run.write(out, length);
    } while (n == TLZR::ChunkSize);
}

qint64 Tlzrw1::Decompress()
{
    streamOutput.clear();
    IoBuffers buffers(QStringLiteral("Lzrw1 (de)compression : Failed to get memory for I/O buffers !"));
    auto run = startRun(QString());
    const QString openFailed = QStringLiteral("Lzrw1 (de)compression : Failed to open input file : ");
    openInput(*run, openFailed, openFailed);
    if (UseStream)
        run->openOutputData();
    else
        run->openOutputFile();

    char id[4];
    run->readExactly(reinterpret_cast<uint8_t *>(id), 4);
    const bool fast = std::memcmp(id, FastId, 4) == 0;
    if (!fast && std::memcmp(id, GoodId, 4) != 0)
        throw ELzrw1Exception(inputName()
                              + QStringLiteral(" : Lzrw1 decompression : this file has no valid header !"));
    showProgress(*run, fast ? QStringLiteral("LZRW1/KH") : QStringLiteral("LZH"));
    const uint32_t size = readSize(*run);
    if (fast) {
        decompressFast(*run, size, buffers.in.data(), buffers.out.data());
    } else {
        lzh->decode(size, buffers.in.data(), buffers.out.data(), TLZR::ChunkSize,
                    [&run](uint8_t *buffer, int max) { return run->readUpTo(buffer, max); },
                    [&run](const uint8_t *data, int count) { run->write(data, count); });
    }
    finishRun(*run, QStringLiteral(" : Lzrw1 : successfully decompressed at ")
                        + QString::number(percent(run->bytesOut, run->bytesIn)) + QStringLiteral("%"));
    return run->bytesOut;
}

void Tlzrw1::decompressFast(Lzrw1Run &run, uint32_t size, uint8_t *in, uint8_t *out)
{
    qint64 written = 0;
    int n;
    do {
        uint8_t lengthBytes[2];
        run.readExactly(lengthBytes, 2);
        const int length = qFromLittleEndian<uint16_t>(lengthBytes);
        if (length > TLZR::MaxBlockLength)
            throw ELzrw1Exception(QStringLiteral(
                "Lzrw1 (decompression LZRW1/KH) : corrupt block, longer than 32769 bytes !"));
        run.readExactly(in, length);
        n = TLZR::decompress(in, length, out);
        // More than the header announced can only end in a mismatch; stop at once.
        if (written + n > qint64(size))
            fastSizeMismatch();
        run.write(out, n);
        written += n;
    } while (n == TLZR::ChunkSize);
    if (written != qint64(size))
        fastSizeMismatch();
}

Tlzrw1::TCompressMode Tlzrw1::Advise()
{
    setCaption(QStringLiteral("Guessing the best compression mode for : ") + inputName());
    IoBuffers buffers(QStringLiteral("Lzrw1 advise : Error getting I/O buffers"));
    auto run = startRun(QString());
    openInput(*run, QStringLiteral("Lzrw1 advise : can not get the size of : "),
              QStringLiteral("Lzrw1 advise : can open input file : "));
    run->setReadErrorText(QStringLiteral("Lzrw1 advise : read error on input file : "));
    const qint64 size = run->inputSize();
    if (size <= SmallFile) {
        CompressMode = Good;
        setCaption(QStringLiteral("Lzrw1 recommends GOOD compression :  small file !!"));
        return Good;
    }
    qint64 sampled = 0;
    qint64 coded = 0;
    for (const qint64 offset : {size / 3, size * 2 / 3}) {
        run->seek(offset / TLZR::ChunkSize * TLZR::ChunkSize);
        const int n = run->readUpTo(buffers.in.data(), TLZR::ChunkSize);
        sampled += n;
        coded += lzr->compress(buffers.in.data(), n, buffers.out.data());
    }
    const QString ratio = QString::number(percent(coded, sampled)) + QStringLiteral("%.");
    if (coded < sampled * Threshold / 100) {
        setCaption(QStringLiteral("Lzrw1 recommends FAST compression : ") + ratio);
        return Fast;
    }
    setCaption(QStringLiteral("Lzrw1 recommends GOOD compression : ") + ratio);
    return Good;
}

std::unique_ptr<Lzrw1Run> Tlzrw1::startRun(const QString &coding)
{
    auto run = UseStream ? std::make_unique<Lzrw1Run>(inputName(), QStringLiteral("output stream"))
                         : std::make_unique<Lzrw1Run>(InputFile, OutputFile);
    if (!coding.isEmpty())
        showProgress(*run, coding);
    return run;
}

void Tlzrw1::showProgress(Lzrw1Run &run, const QString &coding)
{
    const QString tag = QStringLiteral("(") + coding + QStringLiteral(") Bytes in : ");
    run.onProgress = [this, &run, tag] {
        setCaption(tag + QString::number(run.bytesIn) + QStringLiteral(" Bytes out : ")
                   + QString::number(run.bytesOut));
    };
}

void Tlzrw1::openInput(Lzrw1Run &run, const QString &missingText, const QString &failedText)
{
    if (UseStream)
        run.openInputData(inputData);
    else
        run.openInputFile(missingText, failedText);
}

void Tlzrw1::finishRun(Lzrw1Run &run, const QString &outcome)
{
    run.commit();
    if (UseStream)
        streamOutput = run.output();
    setCaption(inputName() + outcome);
}

QString Tlzrw1::inputName() const
{
    if (!UseStream)
        return InputFile;
    return inputDataName.isEmpty() ? QStringLiteral("input stream") : inputDataName;
}

void Tlzrw1::setCaption(const QString &text)
{
    if (text == statusLine)
        return;
    statusLine = text;
    emit captionChanged(statusLine);
}
