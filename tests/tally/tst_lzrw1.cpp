#include "sampledata.h"
#include "streamcodec.h"
#include "support/testmain.h"
#include "tally/elzrw1exception.h"
#include "tally/tlzr.h"
#include "tally/tlzrw1.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <vector>

namespace {

const Tlzrw1::TCompressMode Fast = Tlzrw1::Fast;
const Tlzrw1::TCompressMode Good = Tlzrw1::Good;

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(data), data.size());
}

quint16 le16(const QByteArray &data, int at)
{
    return quint16(quint8(data[at]) | quint8(data[at + 1]) << 8);
}

// The coded blocks of an LZRW1/KH container, in order.
QList<QByteArray> blocksOf(const QByteArray &container)
{
    QList<QByteArray> blocks;
    for (int at = 8; at + 2 <= container.size(); at += 2 + blocks.last().size())
        blocks << container.mid(at + 2, le16(container, at));
    return blocks;
}

// The block coder written as plainly as possible, step by step: the
// optimised coder must produce exactly the same blocks.
QByteArray plainBlock(const QByteArray &chunk)
{
    const int n = chunk.size();
    const auto at = [&chunk, n](int i) { return i < n ? unsigned(quint8(chunk[i])) : 0u; };
    std::vector<int> table(4096, -1);
    QByteArray block(n + 16, '\0');
    const auto putWord = [&block](int pos, unsigned word) {
        block[pos] = char(word >> 8);
        block[pos + 1] = char(word);
    };
    block[0] = '\x40';
    int key = 0, items = 0, controlPos = 1, out = 3;
    unsigned control = 0;
    while (key < n && out <= n) {
        if (items == 16) {
            putWord(controlPos, control);
            controlPos = out;
            out += 2;
            items = 0;
        }
        int run = 1;
        while (run < 4095 && key + run < n && at(key + run) == at(key))
            ++run;
        if (run >= 16) {
            block[out] = 0;
            putWord(out + 1, unsigned(run - 16));
            block[out + 3] = char(at(key));
            key += run;
            out += 4;
            control = control << 1 | 1;
        } else {
            const unsigned v = at(key) * 256 ^ at(key + 1) * 16 ^ at(key + 2);
            const int hash = int((v * 40543u) >> 4) & 0xFFF;
            const int candidate = table[hash];
            int length = 0;
            if (candidate != -1 && key - candidate < 4096) {
                while (length < 18 && key + length < n && at(key + length) == at(candidate + length))
                    ++length;
            }
            table[hash] = key;
            if (length >= 3) {
                putWord(out, unsigned((key - candidate) * 16 + length - 3));
                key += length;
                out += 2;
                control = control << 1 | 1;
            } else {
                block[out++] = char(at(key++));
                control <<= 1;
            }
        }
        ++items;
    }
    putWord(controlPos, control << (16 - items));
    return out > n ? '\x80' + chunk : block.left(out);
}

// Runs fn, which must raise ELzrw1Exception; answers its text.
template <typename Fn>
QString errorOf(Fn fn)
{
    try {
        fn();
    } catch (const ELzrw1Exception &e) {
        return e.text();
    }
    return QStringLiteral("(nothing raised)");
}

} // namespace

class TestLzrw1 : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString path(const QString &name) const { return dir.filePath(name); }

    // File mode: compresses IN into OUT and answers the bytes written.
    qint64 compressFile(Tlzrw1::TCompressMode mode, const QByteArray &data, const QString &out = "out")
    {
        writeFile(path("in"), data);
        Tlzrw1 lzrw1;
        lzrw1.CompressMode = mode;
        lzrw1.InputFile = path("in");
        lzrw1.OutputFile = path(out);
        return lzrw1.Compress();
    }

private slots:
    void containerBytes_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<Tlzrw1::TCompressMode>("mode");
        QTest::addColumn<QByteArray>("container");
        QTest::newRow("empty") << QByteArray() << Fast << QByteArray::fromHex("57525A4C00000000010080");
        QTest::newRow("one byte stored") << QByteArray("a") << Fast
                                         << QByteArray::fromHex("57525A4C0100000002008061");
        QTest::newRow("two bytes stored") << QByteArray("ab") << Fast
                                          << QByteArray::fromHex("57525A4C020000000300806162");
        QTest::newRow("sixteen equal bytes: a run")
            << QByteArray(16, 'a') << Fast << QByteArray::fromHex("57525A4C100000000700408000000000" "61");
        QTest::newRow("fifteen equal bytes: a literal and a copy")
            << QByteArray(15, 'a') << Fast << QByteArray::fromHex("57525A4C0F0000000600404000" "61001B");
        QTest::newRow("abc six times: three literals and a copy")
            << QByteArray("abcabcabcabcabcabc") << Fast
            << QByteArray::fromHex("57525A4C120000000800401000616263003C");
        QTest::newRow("empty, good") << QByteArray() << Good << QByteArray::fromHex("21485A4C00000000");
        // 'a' is leaf 97 of the fresh tree: nine bits 111101101, padded.
        QTest::newRow("one byte, good") << QByteArray("a") << Good
                                        << QByteArray::fromHex("21485A4C01000000F680");
    }

    void containerBytes()
    {
        QFETCH(QByteArray, input);
        QFETCH(Tlzrw1::TCompressMode, mode);
        QFETCH(QByteArray, container);
        QCOMPARE(compressFile(mode, input), qint64(container.size()));
        QCOMPARE(readFile(path("out")).toHex(' '), container.toHex(' '));

        Tlzrw1 lzrw1;
        lzrw1.InputFile = path("out");
        lzrw1.OutputFile = path("back");
        QCOMPARE(lzrw1.Decompress(), qint64(input.size()));
        QCOMPARE(readFile(path("back")), input);
    }

    void incompressibleChunkIsStoredThenEndsWithAnEmptyBlock()
    {
        const QByteArray input = SampleData::randomBytes(TLZR::ChunkSize);
        const QByteArray container = StreamCodec::compress(input, Fast);
        const QList<QByteArray> blocks = blocksOf(container);
        QCOMPARE(blocks.size(), 2);
        QCOMPARE(blocks[0].size(), TLZR::ChunkSize + 1);
        QCOMPARE(quint8(blocks[0][0]), quint8(0x80));
        QCOMPARE(blocks[0].mid(1), input);
        QCOMPARE(blocks[1], QByteArray("\x80"));
        QCOMPARE(container.size(), 8 + 2 + 32769 + 3);
    }

    void exactMultipleOfTheChunkGivesThreeRecords()
    {
        const QByteArray input = SampleData::text(2 * TLZR::ChunkSize);
        const QByteArray container = StreamCodec::compress(input, Fast);
        const QList<QByteArray> blocks = blocksOf(container);
        QCOMPARE(blocks.size(), 3);
        QCOMPARE(quint8(blocks[0][0]), quint8(0x40));
        QCOMPARE(blocks[2], QByteArray("\x80"));
        QCOMPARE(StreamCodec::decompress(container), input);
    }

    void blocksAreCodedExactlyAsThePlainSteps()
    {
        QRandomGenerator random(31);
        TLZR lzr;
        std::vector<uint8_t> coded(TLZR::BufferSize);
        std::vector<uint8_t> restored(TLZR::ChunkSize);
        for (int round = 0; round < 300; ++round) {
            // Every size up to 64, where the careful tail does all, then any.
            const int size = round < 65 ? round : random.bounded(TLZR::ChunkSize + 1);
            const quint32 seed = random.generate();
            const QByteArray chunks[] = {SampleData::mixed(size, seed), SampleData::text(size, seed),
                                         SampleData::runs(size, seed)};
            for (const QByteArray &chunk : chunks) {
                const int length = lzr.compress(reinterpret_cast<const uint8_t *>(chunk.constData()),
                                                chunk.size(), coded.data());
                const QByteArray block(reinterpret_cast<const char *>(coded.data()), length);
                QCOMPARE(block.toHex(), plainBlock(chunk).toHex());
                const int n = TLZR::decompress(coded.data(), length, restored.data());
                QCOMPARE(QByteArray(reinterpret_cast<const char *>(restored.data()), n), chunk);
            }
        }
    }

    void roundTrip_data()
    {
        QTest::addColumn<Tlzrw1::TCompressMode>("mode");
        QTest::addColumn<QByteArray>("input");
        for (const auto mode : {Fast, Good}) {
            const char *name = mode == Fast ? "fast" : "good";
            QTest::addRow("%s empty", name) << mode << QByteArray();
            QTest::addRow("%s tiny", name) << mode << QByteArray("x");
            QTest::addRow("%s text", name) << mode << SampleData::text(5000);
            QTest::addRow("%s runs", name) << mode << SampleData::runs(70000);
            QTest::addRow("%s random", name) << mode << SampleData::randomBytes(40000);
            QTest::addRow("%s 200000", name) << mode << SampleData::mixed(200000);
            for (int size = TLZR::ChunkSize; size <= 200000; size += TLZR::ChunkSize) {
                for (int delta : {-1, 0, 1})
                    QTest::addRow("%s %d", name, size + delta) << mode << SampleData::mixed(size + delta, size);
            }
        }
    }

    void roundTrip()
    {
        QFETCH(Tlzrw1::TCompressMode, mode);
        QFETCH(QByteArray, input);
        const QByteArray container = StreamCodec::compress(input, mode);
        QCOMPARE(container.left(4), QByteArray(mode == Fast ? "WRZL" : "!HZL"));
        if (mode == Fast)
            QCOMPARE(blocksOf(container).size(), input.size() / TLZR::ChunkSize + 1);
        QCOMPARE(StreamCodec::decompress(container), input);
    }

    void malformedBlocksAreRefused_data()
    {
        QTest::addColumn<QByteArray>("block");
        QTest::addColumn<QString>("problem");
        const QString before = "a copy reaches before the start of its output";
        const QString tooLong = "it decodes to more than 32768 bytes";
        const QString itemCut = "an item is cut short";
        const QString controlCut = "a control word is cut short";
        QTest::newRow("copy before the start") << QByteArray::fromHex("4080000010") << before;
        QTest::newRow("copy reaching one byte too far") << QByteArray::fromHex("40400061" "0020") << before;
        QTest::newRow("runs beyond 32768 bytes")
            << QByteArray::fromHex("40FF00") + QByteArray::fromHex("000FFF61").repeated(8) << tooLong;
        QTest::newRow("stored beyond 32768 bytes")
            << QByteArray(1, '\x80') + QByteArray(TLZR::ChunkSize + 1, 'x') << tooLong;
        QTest::newRow("copy item cut") << QByteArray::fromHex("40800000") << itemCut;
        QTest::newRow("run item cut") << QByteArray::fromHex("408000000001") << itemCut;
        QTest::newRow("no room for the first control word") << QByteArray::fromHex("4000") << controlCut;
        QTest::newRow("second control word cut")
            << QByteArray::fromHex("400000") + QByteArray(16, 'x') + QByteArray::fromHex("80") << controlCut;
        QTest::newRow("control word without items")
            << QByteArray::fromHex("400000") + QByteArray(16, 'x') + QByteArray::fromHex("8000") << itemCut;
    }

    void malformedBlocksAreRefused()
    {
        QFETCH(QByteArray, block);
        QFETCH(QString, problem);
        // Exactly sized buffers, so that any access outside them is caught.
        const std::vector<uint8_t> in(block.begin(), block.end());
        std::vector<uint8_t> out(TLZR::ChunkSize);
        const QString text = errorOf([&] { TLZR::decompress(in.data(), int(in.size()), out.data()); });
        QCOMPARE(text, "Lzrw1 (decompression LZRW1/KH) : corrupt block, " + problem + " !");
    }

    void decompressionErrors_data()
    {
        QTest::addColumn<QByteArray>("container");
        QTest::addColumn<QString>("error"); // %1 stands for the input file's name
        const QByteArray abc = QByteArray::fromHex("57525A4C120000000800401000616263003C");
        const QByteArray good = StreamCodec::compress(SampleData::text(3000), Good);
        const QString fastMismatch = "Lzrw1 (decompression LZRW1/KH) : Original and compressed sizes do not match !";
        const QString goodMismatch = "Lzrw1 (LZH decompression) : Original and compressed sizes do not match !";
        const QString readError = "Lzrw1 : Error reading from input file : %1";
        QTest::newRow("wrong identifier") << QByteArray("WRZX").append(abc.mid(4))
                                          << "%1 : Lzrw1 decompression : this file has no valid header !";
        QTest::newRow("size above the data") << QByteArray(abc).replace(4, 1, "\x13") << fastMismatch;
        QTest::newRow("size below the data") << QByteArray(abc).replace(4, 1, "\x11") << fastMismatch;
        QTest::newRow("good size above the data")
            << QByteArray(good).replace(4, 2, "\x1C\x0C") << goodMismatch; // 3100 bytes
        QTest::newRow("block cut short") << abc.left(abc.size() - 1) << readError;
        QTest::newRow("last block missing") << abc.left(8) << readError;
        QTest::newRow("identifier cut short") << QByteArray("WRZ") << readError;
        QTest::newRow("corrupt block") << QByteArray(abc).replace(16, 2, QByteArray::fromHex("0040"))
                                       << "Lzrw1 (decompression LZRW1/KH) : corrupt block, a copy reaches "
                                          "before the start of its output !";
        QTest::newRow("block length above 32769")
            << abc.left(8) + QByteArray::fromHex("0280") + QByteArray(32770, '\x80')
            << "Lzrw1 (decompression LZRW1/KH) : corrupt block, longer than 32769 bytes !";
    }

    // Every failure raises its text and leaves no output file.
    void decompressionErrors()
    {
        QFETCH(QByteArray, container);
        QFETCH(QString, error);
        writeFile(path("bad"), container);
        const QStringList filesBefore = QDir(dir.path()).entryList(QDir::Files);
        Tlzrw1 lzrw1;
        lzrw1.InputFile = path("bad");
        lzrw1.OutputFile = path("restored");
        QCOMPARE(errorOf([&] { lzrw1.Decompress(); }), QString(error).replace("%1", path("bad")));
        QVERIFY(!QFile::exists(path("restored")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), filesBefore);
    }

    void failedRunKeepsAnExistingOutputFile()
    {
        writeFile(path("bad"), QByteArray("WRZL\x05\0\0\0\x01\0\x80", 11));
        writeFile(path("kept"), "earlier contents");
        Tlzrw1 lzrw1;
        lzrw1.InputFile = path("bad");
        lzrw1.OutputFile = path("kept");
        QVERIFY(errorOf([&] { lzrw1.Decompress(); }).contains("do not match"));
        QCOMPARE(readFile(path("kept")), QByteArray("earlier contents"));
    }

    void compressionErrors()
    {
        Tlzrw1 lzrw1;
        lzrw1.CompressMode = Fast;
        lzrw1.InputFile = path("missing");
        lzrw1.OutputFile = path("out-missing");
        QCOMPARE(errorOf([&] { lzrw1.Compress(); }),
                 "Lzrw1 compression : Failed to obtain the size of : " + path("missing"));
        QCOMPARE(errorOf([&] { lzrw1.Decompress(); }),
                 "Lzrw1 (de)compression : Failed to open input file : " + path("missing"));
        writeFile(path("in"), "data");
        lzrw1.InputFile = path("in");
        lzrw1.OutputFile = path("no-such-folder/out");
        QCOMPARE(errorOf([&] { lzrw1.Compress(); }),
                 "Lzrw1 (de)compression : Failed to open output file : " + path("no-such-folder/out"));
        QVERIFY(!QFile::exists(path("out-missing")));
    }

    void advise_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<Tlzrw1::TCompressMode>("advice");
        QTest::addColumn<QString>("caption"); // a prefix, or the whole line
        QTest::newRow("small file") << SampleData::text(98303) << 40 << Good
                                    << "Lzrw1 recommends GOOD compression :  small file !!";
        QTest::newRow("large text") << SampleData::text(300000) << 40 << Fast
                                    << "Lzrw1 recommends FAST compression : ";
        QTest::newRow("large text, strict threshold")
            << SampleData::text(300000) << 5 << Good << "Lzrw1 recommends GOOD compression : ";
        // Both samples are stored: 2 × 32769 coded bytes from 65536.
        QTest::newRow("noise") << SampleData::randomBytes(98304) << 40 << Good
                               << "Lzrw1 recommends GOOD compression : 100%.";
    }

    void advise()
    {
        QFETCH(QByteArray, input);
        QFETCH(int, threshold);
        QFETCH(Tlzrw1::TCompressMode, advice);
        QFETCH(QString, caption);
        writeFile(path("in"), input);
        Tlzrw1 lzrw1;
        lzrw1.InputFile = path("in");
        lzrw1.Threshold = threshold;
        lzrw1.CompressMode = Tlzrw1::Auto;
        QCOMPARE(lzrw1.Advise(), advice);
        QVERIFY2(lzrw1.caption().startsWith(caption), qPrintable(lzrw1.caption()));
        QVERIFY(lzrw1.caption().endsWith("%.") || lzrw1.caption().endsWith("!!"));
        // Only the small-file branch sets the mode.
        QCOMPARE(lzrw1.CompressMode, input.size() <= 98303 ? Good : Tlzrw1::Auto);
    }

    void autoModeCodesAsAdvised()
    {
        Tlzrw1 lzrw1;
        lzrw1.UseStream = true;
        lzrw1.CompressMode = Tlzrw1::Auto;
        lzrw1.setInputData(SampleData::text(200000));
        lzrw1.Compress();
        QCOMPARE(lzrw1.outputData().left(4), QByteArray("WRZL"));
        lzrw1.setInputData(SampleData::text(1000));
        lzrw1.CompressMode = Tlzrw1::Auto;
        lzrw1.Compress();
        QCOMPARE(lzrw1.outputData().left(4), QByteArray("!HZL"));
    }

    void statusLineShowsProgressAndOutcome()
    {
        writeFile(path("in"), SampleData::text(100000));
        Tlzrw1 lzrw1;
        QCOMPARE(lzrw1.caption(), QString("LZRW1/KH Compressor / Decompressor"));
        QSignalSpy spy(&lzrw1, &Tlzrw1::captionChanged);
        lzrw1.InputFile = path("in");
        lzrw1.OutputFile = path("in.tld");
        lzrw1.CompressMode = Fast;
        const qint64 written = lzrw1.Compress();
        QVERIFY(std::any_of(spy.begin(), spy.end(), [](const QList<QVariant> &args) {
            return args[0].toString().startsWith("(LZRW1/KH) Bytes in : 32768 Bytes out : ");
        }));
        QCOMPARE(lzrw1.caption(), path("in") + " : Lzrw1 : successfully compressed at "
                                      + QString::number(written * 100 / 100000) + "%");

        compressFile(Good, SampleData::text(1000), "in.lzh");
        spy.clear();
        lzrw1.InputFile = path("in.lzh");
        lzrw1.OutputFile = path("back");
        QCOMPARE(lzrw1.Decompress(), qint64(1000));
        QCOMPARE(spy.first()[0].toString().left(17), QString("(LZH) Bytes in : "));
        QVERIFY(lzrw1.caption().startsWith(path("in.lzh") + " : Lzrw1 : successfully decompressed at "));
    }

    void streamModeLeavesNoOutputAfterAFailure()
    {
        Tlzrw1 lzrw1;
        lzrw1.UseStream = true;
        lzrw1.setInputData(StreamCodec::compress("some data", Fast));
        lzrw1.Decompress();
        QCOMPARE(lzrw1.outputData(), QByteArray("some data"));
        lzrw1.setInputData("NOPE1234");
        QCOMPARE(errorOf([&] { lzrw1.Decompress(); }),
                 QString("input stream : Lzrw1 decompression : this file has no valid header !"));
        QVERIFY(lzrw1.outputData().isEmpty());
    }
};

ZARVEX_TEST_MAIN(TestLzrw1)
#include "tst_lzrw1.moc"
