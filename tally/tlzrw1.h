#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

class Lzrw1Run;
class TLZH;
class TLZR;

// The compressor: turns one file into a compressed container and back.
// A container is the identifier "WRZL" (LZRW1/KH, the Fast coding) or
// "!HZL" (LZHUF, the Good coding), the original size as 32 bits
// little-endian, then the coded data: for LZRW1/KH a sequence of block
// records (16-bit length, coded block) ending with the first block that
// restores fewer than 32768 bytes; for LZHUF one bit stream.
//
// File mode reads InputFile and writes OutputFile; with UseStream set it
// reads the data given to setInputData() and collects its result for
// outputData() instead. Every failure raises ELzrw1Exception and leaves no
// output behind: a file is written under a temporary name and takes its
// name only when complete. The run happens in one go on the calling thread,
// without processing events between buffers.
//
// The caption is a status line a window may show: progress while working,
// the outcome afterwards.
class Tlzrw1 : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool UseStream MEMBER UseStream)
    Q_PROPERTY(QString InputFile MEMBER InputFile)
    Q_PROPERTY(QString OutputFile MEMBER OutputFile)
    Q_PROPERTY(TCompressMode CompressMode MEMBER CompressMode)
    Q_PROPERTY(int Threshold MEMBER Threshold)
    Q_PROPERTY(QString caption READ caption NOTIFY captionChanged)

public:
    enum TCompressMode { Good = 0, Fast = 1, Auto = 2 };
    Q_ENUM(TCompressMode)

    explicit Tlzrw1(QObject *parent = nullptr);
    ~Tlzrw1() override;

    bool UseStream = false;
    QString InputFile;
    QString OutputFile;
    TCompressMode CompressMode = Good;
    // Advise recommends Fast when two samples code below this percentage.
    int Threshold = 40;

    // Stream mode: the data to work on, and the result of the last
    // successful Compress or Decompress (empty after a failure). The name,
    // when given, stands for the input in error texts and the caption
    // instead of "input stream" (the file the data came from, say).
    void setInputData(const QByteArray &data, const QString &name = QString())
    {
        inputData = data;
        inputDataName = name;
    }
    QByteArray outputData() const { return streamOutput; }

    // Writes the container; answers the bytes written, header included.
    qint64 Compress();
    // Restores the data of a container of either coding; answers the bytes written.
    qint64 Decompress();
    // Recommends Fast or Good for the input, and shows why in the caption.
    TCompressMode Advise();

    QString caption() const { return statusLine; }

signals:
    void captionChanged(const QString &caption);

private:
    // Progress shows on the caption once the coding is known (not empty).
    std::unique_ptr<Lzrw1Run> startRun(const QString &coding);
    void showProgress(Lzrw1Run &run, const QString &coding);
    void openInput(Lzrw1Run &run, const QString &missingText, const QString &failedText);
    void finishRun(Lzrw1Run &run, const QString &outcome);
    void compressFast(Lzrw1Run &run, uint8_t *in, uint8_t *out);
    void decompressFast(Lzrw1Run &run, uint32_t size, uint8_t *in, uint8_t *out);
    QString inputName() const;
    void setCaption(const QString &text);

    std::unique_ptr<TLZR> lzr;
    std::unique_ptr<TLZH> lzh;
    QByteArray inputData;
    QString inputDataName;
    QByteArray streamOutput;
    QString statusLine;
};
