#include "tally/lzrw1run.h"

#include "tally/elzrw1exception.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

Lzrw1Run::Lzrw1Run(const QString &inputName, const QString &outputName)
    : inputName(inputName), outputName(outputName),
      readErrorText(QStringLiteral("Lzrw1 : Error reading from input file : "))
{
}

// An output file that was not committed is discarded here, with its device.
Lzrw1Run::~Lzrw1Run() = default;

void Lzrw1Run::openInputFile(const QString &missingText, const QString &failedText)
{
    if (!QFileInfo(inputName).isFile())
        throw ELzrw1Exception(missingText + inputName);
    auto file = std::make_unique<QFile>(inputName);
    if (!file->open(QIODevice::ReadOnly))
        throw ELzrw1Exception(failedText + inputName);
    input = std::move(file);
}

void Lzrw1Run::openInputData(const QByteArray &data)
{
    inputData = data;
    auto buffer = std::make_unique<QBuffer>(&inputData);
    buffer->open(QIODevice::ReadOnly);
    input = std::move(buffer);
}

void Lzrw1Run::openOutputFile()
{
    auto file = std::make_unique<QSaveFile>(outputName);
    if (!file->open(QIODevice::WriteOnly))
        throw ELzrw1Exception(QStringLiteral("Lzrw1 (de)compression : Failed to open output file : ")
                              + outputName);
    outputDevice = std::move(file);
}

void Lzrw1Run::openOutputData()
{
    auto buffer = std::make_unique<QBuffer>(&outputData);
    buffer->open(QIODevice::WriteOnly);
    outputDevice = std::move(buffer);
}

qint64 Lzrw1Run::inputSize() const
{
    return input->size();
}

int Lzrw1Run::readUpTo(uint8_t *buffer, int max)
{
    int got = 0;
    while (got < max) {
        const qint64 n = input->read(reinterpret_cast<char *>(buffer) + got, max - got);
        if (n < 0)
            readError();
        if (n == 0)
            break;
        got += int(n);
    }
    bytesIn += got;
    if (onProgress)
        onProgress();
    return got;
}

void Lzrw1Run::readExactly(uint8_t *buffer, int count)
{
    if (readUpTo(buffer, count) != count)
        readError();
}

void Lzrw1Run::seek(qint64 offset)
{
    if (!input->seek(offset))
        readError();
}

void Lzrw1Run::write(const uint8_t *data, int count)
{
    if (outputDevice->write(reinterpret_cast<const char *>(data), count) != count)
        writeError();
    bytesOut += count;
    if (onProgress)
        onProgress();
}

void Lzrw1Run::commit()
{
    if (auto *file = qobject_cast<QSaveFile *>(outputDevice.get())) {
        if (!file->commit())
            writeError();
    } else {
        collected = outputData;
    }
}

void Lzrw1Run::readError() const
{
    throw ELzrw1Exception(readErrorText + inputName + readErrorSuffix);
}

void Lzrw1Run::writeError() const
{
    throw ELzrw1Exception(QStringLiteral("Lzrw1 : Error writing to output file : ") + outputName);
}
