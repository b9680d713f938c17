#include "social/soundcues.h"
#include "support/testmain.h"

#include <QFile>
#include <QSet>
#include <QtEndian>

#include <cmath>

namespace {

// What a RIFF WAVE file holds, as far as the game's sounds need it.
struct Wave
{
    QString error;                // empty when the file is a sound we can play
    int format = 0;
    int channels = 0;
    int rate = 0;
    int bits = 0;
    QByteArray data;              // the samples, little-endian

    int frames() const { return bits == 16 && channels == 1 ? int(data.size() / 2) : 0; }
    int sample(int k) const { return qFromLittleEndian<qint16>(data.constData() + 2 * k); }
    double seconds() const { return rate ? double(frames()) / rate : 0; }
};

quint32 u32(const QByteArray &b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
quint16 u16(const QByteArray &b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }

Wave readWave(const QByteArray &file)
{
    Wave w;
    if (file.size() < 12 || !file.startsWith("RIFF") || file.mid(8, 4) != "WAVE") {
        w.error = "not a RIFF WAVE file";
        return w;
    }
    if (u32(file, 4) != quint32(file.size() - 8)) {
        w.error = "RIFF size does not match the file";
        return w;
    }
    bool haveFormat = false;
    for (int at = 12; at + 8 <= file.size();) {
        const QByteArray id = file.mid(at, 4);
        const quint32 size = u32(file, at + 4);
        if (size > quint32(file.size() - at - 8)) {
            w.error = "chunk " + QString::fromLatin1(id) + " runs past the end";
            return w;
        }
        if (id == "fmt " && size >= 16) {
            w.format = u16(file, at + 8);
            w.channels = u16(file, at + 10);
            w.rate = int(u32(file, at + 12));
            const quint32 byteRate = u32(file, at + 16);
            const int blockAlign = u16(file, at + 20);
            w.bits = u16(file, at + 22);
            if (blockAlign != w.channels * w.bits / 8 || byteRate != quint32(w.rate * blockAlign)) {
                w.error = "inconsistent format chunk";
                return w;
            }
            haveFormat = true;
        } else if (id == "data") {
            w.data = file.mid(at + 8, int(size));
        }
        at += 8 + int(size) + int(size & 1);
    }
    if (!haveFormat || w.data.isEmpty())
        w.error = "no format or no data";
    return w;
}

Wave resource(const QString &name)
{
    QFile f(QStringLiteral(":/zarvex/sounds/%1.wav").arg(name));
    if (!f.open(QIODevice::ReadOnly))
        return Wave{QStringLiteral("no resource"), 0, 0, 0, 0, {}};
    return readWave(f.readAll());
}

int peakOf(const Wave &w, int from, int to)
{
    int peak = 0;
    for (int k = std::max(0, from); k < std::min(to, w.frames()); ++k)
        peak = std::max(peak, std::abs(w.sample(k)));
    return peak;
}

// The RMS level of the whole sound in dB below full scale.
double rmsLevel(const Wave &w)
{
    double sum = 0;
    for (int k = 0; k < w.frames(); ++k)
        sum += double(w.sample(k)) * w.sample(k);
    return w.frames() ? 10.0 * std::log10(sum / w.frames() / (32767.0 * 32767.0)) : -1000;
}

} // namespace

// The 27 sounds compiled into the program.
class TestSounds : public QObject
{
    Q_OBJECT

private slots:
    void theReaderRefusesWhatIsNoSound_data()
    {
        QTest::addColumn<QByteArray>("file");
        QByteArray good = "RIFF" + QByteArray(4, 0) + "WAVEfmt " + QByteArray::fromHex("10000000" "0100" "0100"
                          "22560000" "44ac0000" "0200" "1000") + "data" + QByteArray::fromHex("04000000" "01000200");
        qToLittleEndian<quint32>(quint32(good.size() - 8), good.data() + 4);
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("not RIFF") << QByteArray("RIFX").append(good.mid(4));
        QTest::newRow("cut short") << good.left(good.size() - 2);
        QByteArray badAlign = good;
        badAlign[32] = 4;
        QTest::newRow("wrong block align") << badAlign;
        QByteArray noData = good.left(36);
        qToLittleEndian<quint32>(quint32(noData.size() - 8), noData.data() + 4);
        QTest::newRow("no data") << noData;
        QVERIFY(readWave(good).error.isEmpty());
        QCOMPARE(readWave(good).frames(), 2);
        QCOMPARE(readWave(good).sample(1), 2);
    }
    void theReaderRefusesWhatIsNoSound()
    {
        QFETCH(QByteArray, file);
        QVERIFY(!readWave(file).error.isEmpty());
    }

    void everySoundIsAShortMonoPcmWave_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("longest");
        for (const QString &name : SoundCues::resourceNames()) {
            const bool long_ = name == QLatin1String("wave6") || name == QLatin1String("wave13");
            QTest::newRow(qPrintable(name)) << name << (long_ ? 4.0 : 2.0);
        }
    }
    void everySoundIsAShortMonoPcmWave()
    {
        QFETCH(QString, name);
        QFETCH(double, longest);
        const Wave w = resource(name);
        QVERIFY2(w.error.isEmpty(), qPrintable(w.error));
        QCOMPARE(w.format, 1);      // PCM
        QCOMPARE(w.channels, 1);
        QCOMPARE(w.bits, 16);
        QVERIFY2(w.rate == 22050 || w.rate == 44100, qPrintable(QString::number(w.rate)));
        QVERIFY(w.seconds() > 0.01);
        QVERIFY2(w.seconds() <= longest, qPrintable(QString::number(w.seconds())));
    }

    void everySoundIsTrimmedAndPeaksBelowFullScale_data() { everySoundIsAShortMonoPcmWave_data(); }
    void everySoundIsTrimmedAndPeaksBelowFullScale()
    {
        QFETCH(QString, name);
        const Wave w = resource(name);
        QVERIFY(w.frames() > 0);
        // Room above the peak (-1 dBFS at most), and never all but silent.
        const double peak = peakOf(w, 0, w.frames()) / 32767.0;
        QVERIFY2(peak > 0.1 && peak < 0.9, qPrintable(QString::number(peak)));
        // No silence at either end: sound within the first and last 10 ms.
        const int edge = w.rate / 100;
        const int audible = 32767 / 200;
        QVERIFY2(peakOf(w, 0, edge) >= audible, "silence at the start");
        QVERIFY2(peakOf(w, w.frames() - edge, w.frames()) >= audible, "silence at the end");
    }

    // Loudness by the RMS level: no sound stands out from the others by more
    // than 4 dB; the clock tick may be quieter, never louder.
    void everySoundIsAboutAsLoudAsTheOthers_data() { everySoundIsAShortMonoPcmWave_data(); }
    void everySoundIsAboutAsLoudAsTheOthers()
    {
        QFETCH(QString, name);
        double loudest = -1000;
        for (const QString &other : SoundCues::resourceNames())
            loudest = std::max(loudest, rmsLevel(resource(other)));
        const double level = rmsLevel(resource(name));
        const QString levels = QString("%1 dBFS, the loudest %2 dBFS").arg(level, 0, 'f', 1).arg(loudest, 0, 'f', 1);
        QVERIFY2(level <= loudest, qPrintable(levels));
        if (name != QLatin1String("tick"))
            QVERIFY2(level >= loudest - 4.0, qPrintable(levels));
    }

    void noTwoSoundsAreTheSame()
    {
        QSet<QByteArray> seen;
        for (const QString &name : SoundCues::resourceNames()) {
            const QByteArray data = resource(name).data;
            QVERIFY2(!seen.contains(data), qPrintable(name));
            seen.insert(data);
        }
        QCOMPARE(seen.size(), 27);
    }
};

ZARVEX_TEST_MAIN(TestSounds)
#include "tst_sounds.moc"
