#include "resources/appicon.h"
#include "support/testmain.h"

#include <QFile>
#include <QXmlStreamReader>

#include <algorithm>

// The game's icon, and the committed icon files that are installed.
class TestAppIcon : public QObject
{
    Q_OBJECT

private:
    static QString committed(const QString &relative)
    {
        return QStringLiteral(ZARVEX_ICON_DIR "/hicolor/") + relative;
    }

private slots:
    void theCommittedPicturesAreWhatTheIconDraws_data()
    {
        QTest::addColumn<int>("size");
        for (int size : AppIcon::sizes())
            QTest::newRow(qPrintable(QString::number(size))) << size;
    }
    void theCommittedPicturesAreWhatTheIconDraws()
    {
        QFETCH(int, size);
        const QString path = committed(QStringLiteral("%1x%1/apps/" ZARVEX_APP_ID ".png").arg(size));
        QImage onDisk(path);
        QVERIFY2(!onDisk.isNull(), qPrintable(path + " is missing; run zarvex-icons resources/icons"));
        onDisk = onDisk.convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = AppIcon::image(size);
        QCOMPARE(onDisk.size(), QSize(size, size));
        int worst = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const QRgb a = onDisk.pixel(x, y), b = drawn.pixel(x, y);
                worst = std::max({worst, qAbs(qRed(a) - qRed(b)), qAbs(qGreen(a) - qGreen(b)),
                              qAbs(qBlue(a) - qBlue(b)), qAbs(qAlpha(a) - qAlpha(b))});
            }
        QVERIFY2(worst <= 2, qPrintable(path + " differs from the drawn icon; run zarvex-icons resources/icons"));
    }

    void everySizeHasATransparentCornerAndASolidMiddle_data() { theCommittedPicturesAreWhatTheIconDraws_data(); }
    void everySizeHasATransparentCornerAndASolidMiddle()
    {
        QFETCH(int, size);
        const QImage icon = AppIcon::image(size);
        QCOMPARE(icon.size(), QSize(size, size));
        QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(icon.pixel(size - 1, size - 1)), 0);
        QCOMPARE(qAlpha(icon.pixel(size / 2, size / 2)), 255);
        // The top row of tiles is the Z's bar, in orange.
        const QRgb bar = icon.pixel(size / 2 - size / 9, size / 8 + size / 20);
        QVERIFY2(qRed(bar) > 150 && qGreen(bar) < 130, qPrintable(QColor(bar).name()));
    }

    void theCommittedSvgIsWhatTheIconWrites()
    {
        QFile file(committed(QStringLiteral("scalable/apps/" ZARVEX_APP_ID ".svg")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), AppIcon::svg());
    }

    void theSvgHoldsEveryShapeInsideItsViewBox()
    {
        QXmlStreamReader xml(AppIcon::svg());
        int rects = 0;
        QString viewBox;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            const QXmlStreamAttributes a = xml.attributes();
            if (xml.name() == QLatin1String("svg")) {
                viewBox = a.value("viewBox").toString();
                QCOMPARE(xml.namespaceUri().toString(), QString("http://www.w3.org/2000/svg"));
            } else if (xml.name() == QLatin1String("rect")) {
                ++rects;
                const QRectF r(a.value("x").toDouble(), a.value("y").toDouble(), a.value("width").toDouble(),
                               a.value("height").toDouble());
                QVERIFY(QRectF(0, 0, 256, 256).contains(r));
                QVERIFY(QColor::isValidColorName(a.value("fill")));
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QCOMPARE(viewBox, QString("0 0 256 256"));
        QCOMPARE(rects, AppIcon::shapes().size());
        QCOMPARE(rects, 1 + 16);
    }

    // The window offers every installed size up to 128 pixels; a larger one
    // asked for is the 128-pixel picture scaled, drawn the same.
    void theWindowIconOffersTheInstalledSizesUpTo128()
    {
        const QIcon icon = AppIcon::icon();
        QList<int> offered;
        for (const QSize &s : icon.availableSizes())
            offered << s.width();
        std::sort(offered.begin(), offered.end());
        QCOMPARE(offered, QList<int>({16, 22, 24, 32, 48, 64, 128}));
        QCOMPARE(icon.actualSize(QSize(256, 256)), QSize(128, 128));
        QCOMPARE(icon.pixmap(QSize(48, 48)).toImage().pixelColor(24, 24), AppIcon::image(48).pixelColor(24, 24));
        const QImage big = icon.pixmap(QSize(256, 256)).toImage();
        QCOMPARE(big.size(), QSize(256, 256));
        QCOMPARE(big.pixelColor(128, 128).alpha(), 255);
        QCOMPARE(big.pixelColor(1, 1).alpha(), 0);
    }
};

ZARVEX_TEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
