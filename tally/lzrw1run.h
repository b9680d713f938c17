#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QIODevice;

// The input and output of one Compress, Decompress or Advise of Tlzrw1:
// named files, or in-memory streams. Every failure raises ELzrw1Exception
// with the caller's text. A file output is written to a temporary file
// beside the target, which replaces the target only at commit(); a run that
// ends without commit() leaves no output file behind, nor a changed one.
class Lzrw1Run
{
public:
    Lzrw1Run(const QString &inputName, const QString &outputName);
    ~Lzrw1Run();

    // Opens the named input file. missingText is raised (followed by the
    // name) when it does not exist, failedText when it cannot be opened.
    void openInputFile(const QString &missingText, const QString &failedText);
    // Reads from data instead, from its start.
    void openInputData(const QByteArray &data);
    // Creates the named output file, as a temporary file until commit().
    void openOutputFile();
    // Collects the output in memory instead; see output().
    void openOutputData();

    qint64 inputSize() const;
    // The text raised when a read fails: text, the input's name, suffix.
    void setReadErrorText(const QString &text, const QString &suffix = QString())
    {
        readErrorText = text;
        readErrorSuffix = suffix;
    }

    // Reads up to max bytes; fewer only at the end of the input.
    int readUpTo(uint8_t *buffer, int max);
    // Reads exactly count bytes; running short is a read error.
    void readExactly(uint8_t *buffer, int count);
    // Moves the read position to offset from the input's start.
    void seek(qint64 offset);
    void write(const uint8_t *data, int count);

    // Completes the output: the file takes its name, the data becomes output().
    void commit();
    QByteArray output() const { return collected; }

    qint64 bytesIn = 0;
    qint64 bytesOut = 0;
    // Called after every read and every write.
    std::function<void()> onProgress;

private:
    [[noreturn]] void readError() const;
    [[noreturn]] void writeError() const;

    QString inputName;
    QString outputName;
    QString readErrorText;
    QString readErrorSuffix;
    std::unique_ptr<QIODevice> input;
    std::unique_ptr<QIODevice> outputDevice;
    QByteArray inputData;
    QByteArray outputData;
    QByteArray collected;
};
