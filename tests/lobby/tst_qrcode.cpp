// The QR code of the page's address as the lobby window draws it: the
// modules libqrencode chose, drawn square with a quiet zone, and read back
// by a decoder as a phone would.

#include "lobby/qrcode.h"
#include "lobby/qrimage.h"
#include "support/testmain.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <qrencode.h>

namespace {

// The three finder patterns: a dark ring of 7 × 7, a light ring inside it
// and a dark 3 × 3 core, at the top left, top right and bottom left.
bool hasFinderAt(const QrCode &code, int left, int top)
{
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 7; ++x) {
            const bool ring = x == 0 || y == 0 || x == 6 || y == 6;
            const bool core = x >= 2 && x <= 4 && y >= 2 && y <= 4;
            if (code.dark(left + x, top + y) != (ring || core))
                return false;
        }
    return true;
}

} // namespace

class TestQrCode : public QObject
{
    Q_OBJECT

private slots:
    void theModulesAreLibqrencodesOwn_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("size");
        QTest::newRow("IPv4 page") << QByteArray("http://192.168.1.20:7773/") << 25;
        QTest::newRow("IPv6 page") << QByteArray("http://[2001:db8:85a3::8a2e:370:7334]:7773/") << 33;
        QTest::newRow("short") << QByteArray("http://a/") << 21;
    }
    void theModulesAreLibqrencodesOwn()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, size);
        const QrCode code = QrCode::encode(text);
        QVERIFY(!code.isNull());
        QCOMPARE(code.size(), size);
        QCOMPARE(code.size(), 17 + 4 * code.version());
        QRcode *reference = QRcode_encodeString(text.constData(), 0, QR_ECLEVEL_M, QR_MODE_8, 1);
        QVERIFY(reference);
        QCOMPARE(reference->width, code.size());
        for (int y = 0; y < code.size(); ++y)
            for (int x = 0; x < code.size(); ++x)
                QVERIFY2(code.dark(x, y) == bool(reference->data[y * reference->width + x] & 1),
                         qPrintable(QStringLiteral("module %1,%2").arg(x).arg(y)));
        QRcode_free(reference);
        // Read the right way round: finders at three corners, none at the
        // fourth, and the timing line between the top two.
        QVERIFY(hasFinderAt(code, 0, 0));
        QVERIFY(hasFinderAt(code, code.size() - 7, 0));
        QVERIFY(hasFinderAt(code, 0, code.size() - 7));
        QVERIFY(!hasFinderAt(code, code.size() - 7, code.size() - 7));
        for (int x = 8; x < code.size() - 8; ++x)
            QCOMPARE(code.dark(x, 6), x % 2 == 0);
        QVERIFY(!code.dark(-1, 0) && !code.dark(0, code.size()));
    }

    void nothingOrTooMuchMakesNoCode()
    {
        QVERIFY(QrCode::encode(QByteArray()).isNull());
        QVERIFY(QrCode::encode(QByteArray("a\0b", 3)).isNull());
        QVERIFY(QrCode::encode(QByteArray(8000, 'x')).isNull());
        QVERIFY(QrImage::draw(QrCode(), 5).isNull());
    }

    // Square modules of the asked size, in the code's places, inside a white
    // quiet zone of four modules.
    void theImageHasSquareModulesAndAQuietZone()
    {
        const QrCode code = QrCode::encode("http://192.168.1.20:7773/");
        const int px = 5;
        const QImage image = QrImage::draw(code, px);
        const int side = (code.size() + 2 * QrCode::QuietZone) * px;
        QCOMPARE(image.size(), QSize(side, side));
        const QRgb white = qRgb(255, 255, 255);
        const QRgb black = qRgb(0, 0, 0);
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x) {
                const int mx = x / px - QrCode::QuietZone;
                const int my = y / px - QrCode::QuietZone;
                const bool inside = mx >= 0 && my >= 0 && mx < code.size() && my < code.size();
                const QRgb expected = inside && code.dark(mx, my) ? black : white;
                if (image.pixel(x, y) != expected)
                    QFAIL(qPrintable(QStringLiteral("pixel %1,%2 (module %3,%4)").arg(x).arg(y).arg(mx).arg(my)));
            }
    }

    // What a phone does: read the picture back into the address.
    void aDecoderReadsTheAddressBack_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("IPv4") << QByteArray("http://192.168.1.20:7773/");
        QTest::newRow("IPv6") << QByteArray("http://[fd00::2]:7773/");
    }
    void aDecoderReadsTheAddressBack()
    {
        QFETCH(QByteArray, text);
        const QString zbarimg = QStandardPaths::findExecutable(QStringLiteral("zbarimg"));
        if (zbarimg.isEmpty())
            QSKIP("zbarimg (Debian's zbar-tools) is not installed: no decoder to read the code back");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("qr.png"));
        QVERIFY(QrImage::draw(QrCode::encode(text), 4).save(path));
        QProcess decoder;
        decoder.start(zbarimg, {QStringLiteral("--quiet"), QStringLiteral("--raw"), path});
        QVERIFY(decoder.waitForFinished(20000));
        QCOMPARE(decoder.exitCode(), 0);
        QCOMPARE(decoder.readAllStandardOutput().trimmed(), text);
    }
};

ZARVEX_TEST_MAIN(TestQrCode)
#include "tst_qrcode.moc"
