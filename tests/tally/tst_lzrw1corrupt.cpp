#include "sampledata.h"
#include "streamcodec.h"
#include "support/testmain.h"
#include "tally/elzrw1exception.h"
#include "tally/tlzr.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <vector>

// Damaged containers must be decoded or refused with ELzrw1Exception, never
// crash or touch memory outside the buffers (the suite runs under
// AddressSanitizer). A decoded container always restores exactly the size
// its header announces.

namespace {

// One random kind of damage: flipped bits, overwritten bytes, a cut, bytes
// inserted or removed, or damage to the header and first block length,
// which steer the decoder most.
QByteArray damage(QByteArray data, QRandomGenerator &random)
{
    const auto anywhere = [&] { return int(random.bounded(data.size())); };
    switch (random.bounded(6)) {
    case 0:
        for (int i = random.bounded(1, 9); i > 0; --i) {
            const int at = anywhere();
            data[at] = char(data[at] ^ (1 << random.bounded(8)));
        }
        break;
    case 1:
        for (int i = random.bounded(1, 5); i > 0; --i)
            data[anywhere()] = char(random.bounded(256));
        break;
    case 2:
        data.truncate(anywhere());
        break;
    case 3:
        data.insert(anywhere(), SampleData::randomBytes(random.bounded(1, 20), random.generate()));
        break;
    case 4:
        data.remove(anywhere(), random.bounded(1, 20));
        break;
    default:
        data[int(random.bounded(4, 12))] = char(random.bounded(256));
        break;
    }
    return data;
}

struct Outcome
{
    int decoded = 0;
    int refused = 0;
};

} // namespace

class TestLzrw1Corrupt : public QObject
{
    Q_OBJECT

    // Damages the container many times and decodes each copy in memory.
    static void decodeDamaged(const QByteArray &container, int rounds, quint32 seed, Outcome &outcome)
    {
        QRandomGenerator random(seed);
        for (int round = 0; round < rounds; ++round) {
            const QByteArray damaged = damage(container, random);
            try {
                const QByteArray restored = StreamCodec::decompress(damaged);
                const quint32 announced = qFromLittleEndian<quint32>(damaged.constData() + 4);
                QCOMPARE(quint32(restored.size()), announced);
                ++outcome.decoded;
            } catch (const ELzrw1Exception &) {
                ++outcome.refused;
            }
        }
    }

private slots:
    void damagedContainers_data()
    {
        QTest::addColumn<Tlzrw1::TCompressMode>("mode");
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<int>("rounds");
        // Two blocks for the fast coding; the slower LZHUF decoder gets a
        // shorter input.
        QTest::newRow("fast") << Tlzrw1::Fast << SampleData::mixed(TLZR::ChunkSize + 3000) << 10000;
        QTest::newRow("good") << Tlzrw1::Good << SampleData::mixed(1200) << 10000;
    }

    void damagedContainers()
    {
        QFETCH(Tlzrw1::TCompressMode, mode);
        QFETCH(QByteArray, input);
        QFETCH(int, rounds);
        const QByteArray container = StreamCodec::compress(input, mode);
        Outcome outcome;
        decodeDamaged(container, rounds, 12345, outcome);
        if (QTest::currentTestFailed())
            return;
        // The damage is varied enough that both outcomes occur often.
        QVERIFY2(outcome.decoded > rounds / 50 && outcome.refused > rounds / 2,
                 qPrintable(QString("%1 decoded, %2 refused").arg(outcome.decoded).arg(outcome.refused)));
    }

    // The block decoder on its own, with buffers of exactly the block's and
    // the chunk's size, so that a read or write one byte outside is caught.
    void damagedBlocks()
    {
        TLZR lzr;
        const QByteArray chunk = SampleData::mixed(TLZR::ChunkSize, 99);
        std::vector<uint8_t> coded(TLZR::BufferSize);
        const int length = lzr.compress(reinterpret_cast<const uint8_t *>(chunk.constData()),
                                        chunk.size(), coded.data());
        QVERIFY(length < chunk.size());
        const QByteArray block(reinterpret_cast<const char *>(coded.data()), length);

        QRandomGenerator random(777);
        std::vector<uint8_t> out(TLZR::ChunkSize);
        int refused = 0;
        for (int round = 0; round < 10000; ++round) {
            const QByteArray damaged = damage(block, random);
            const std::vector<uint8_t> in(damaged.begin(), damaged.end());
            try {
                QVERIFY(TLZR::decompress(in.data(), int(in.size()), out.data()) <= TLZR::ChunkSize);
            } catch (const ELzrw1Exception &) {
                ++refused;
            }
        }
        QVERIFY(refused > 0);
    }

    // In file mode a refused container leaves no file behind.
    void damagedFilesLeaveNoOutput()
    {
        QTemporaryDir dir;
        const QByteArray container = StreamCodec::compress(SampleData::mixed(5000), Tlzrw1::Fast);
        QRandomGenerator random(4242);
        Tlzrw1 lzrw1;
        lzrw1.InputFile = dir.filePath("damaged");
        lzrw1.OutputFile = dir.filePath("restored");
        int refused = 0;
        for (int round = 0; round < 100; ++round) {
            QFile file(lzrw1.InputFile);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(damage(container, random));
            file.close();
            QFile::remove(lzrw1.OutputFile);
            try {
                lzrw1.Decompress();
                QVERIFY(QFile::exists(lzrw1.OutputFile));
            } catch (const ELzrw1Exception &) {
                ++refused;
                QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"damaged"});
            }
        }
        QVERIFY(refused > 0);
    }
};

ZARVEX_TEST_MAIN(TestLzrw1Corrupt)
#include "tst_lzrw1corrupt.moc"
