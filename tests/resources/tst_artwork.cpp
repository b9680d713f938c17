#include "resources/artwork.h"
#include "support/testmain.h"

#include <QImage>

namespace {

QImage image(int code)
{
    return Artwork::tile(code).toImage().convertToFormat(QImage::Format_ARGB32);
}

// The share of pixels whose colours lie far apart in two pictures of one size.
double shareDifferent(const QImage &a, const QImage &b)
{
    int different = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            const int distance = qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q))
                                 + qAbs(qBlue(p) - qBlue(q));
            if (distance > 90)
                ++different;
        }
    }
    return double(different) / (a.width() * a.height());
}

int countAlpha(const QImage &picture, bool transparent)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += (qAlpha(picture.pixel(x, y)) == 0) == transparent ? 1 : 0;
    return count;
}

} // namespace

class TestArtwork : public QObject
{
    Q_OBJECT

private slots:
    void theTileSetHasEveryCodeAtTileSize()
    {
        const QList<QPixmap> tiles = Artwork::tileSet();
        QCOMPARE(tiles.size(), 54);
        for (int code = 0; code < tiles.size(); ++code) {
            QCOMPARE(tiles.at(code).size(), QSize(44, 44));
            QCOMPARE(image(code), tiles.at(code).toImage().convertToFormat(QImage::Format_ARGB32));
        }
        // A code outside the set draws as a blank tile.
        QCOMPARE(image(54), image(0));
        QCOMPARE(image(-1), image(0));
    }

    void tilesAreOpaqueAndTheMarkerMostlyClear()
    {
        for (int code = 0; code <= 52; ++code)
            QCOMPARE(countAlpha(image(code), true), 0);
        const QImage marker = image(Artwork::MarkerCode);
        const int clear = countAlpha(marker, true);
        QVERIFY2(clear > 44 * 44 / 2, qPrintable(QString::number(clear)));
        QVERIFY(countAlpha(marker, false) > 100);
        // The middle, where the letter is, stays clear.
        QCOMPARE(countAlpha(marker.copy(10, 10, 24, 24), false), 0);
    }

    void highlightedTilesStandOutFromPlainOnes()
    {
        for (int letter = 1; letter <= 26; ++letter) {
            const double share = shareDifferent(image(letter), image(letter + 26));
            QVERIFY2(share > 0.5, qPrintable(QString("letter %1: %2").arg(letter).arg(share)));
        }
    }

    void everyTileOfAKindDiffersFromTheOthers()
    {
        for (int offset : {0, 26}) {
            for (int a = 1; a <= 26; ++a) {
                const int first = offset == 0 && a == 1 ? 0 : 1;   // the blank among the plain ones
                for (int b = first; b < a; ++b)
                    QVERIFY2(image(a + offset) != image(b == 0 ? 0 : b + offset),
                             qPrintable(QString("codes %1 and %2").arg(a + offset).arg(b + offset)));
            }
        }
    }

    void thePicturesHaveTheirSizes_data()
    {
        QTest::addColumn<QPixmap>("picture");
        QTest::addColumn<QSize>("size");
        QTest::newRow("found it") << Artwork::foundIt() << QSize(16, 16);
        QTest::newRow("eyes") << Artwork::eyes() << QSize(14, 14);
        QTest::newRow("empty box") << Artwork::checkBox(false) << QSize(30, 24);
        QTest::newRow("ticked box") << Artwork::checkBox(true) << QSize(30, 24);
        QTest::newRow("Start Game") << Artwork::startGameButton() << QSize(193, 33);
        QTest::newRow("Clear Word") << Artwork::clearWordButton() << QSize(107, 33);
        QTest::newRow("Start") << Artwork::gameStartButton() << QSize(90, 30);
        QTest::newRow("time bar") << Artwork::timeBar() << QSize(184, 25);
        QTest::newRow("background") << Artwork::background(QSize(257, 237)) << QSize(257, 237);
    }
    void thePicturesHaveTheirSizes()
    {
        QFETCH(QPixmap, picture);
        QFETCH(QSize, size);
        QCOMPARE(picture.size(), size);
        QVERIFY(countAlpha(picture.toImage().convertToFormat(QImage::Format_ARGB32), false) > 0);
    }

    void theTickShowsAndPicturesAreKept()
    {
        QVERIFY(Artwork::checkBox(true).toImage() != Artwork::checkBox(false).toImage());
        QCOMPARE(Artwork::background(QSize(300, 200)).cacheKey(),
                 Artwork::background(QSize(300, 200)).cacheKey());
        QCOMPARE(Artwork::tile(7).cacheKey(), Artwork::tileSet().at(7).cacheKey());
        QVERIFY(Artwork::background(QSize(0, 10)).isNull());
    }
};

ZARVEX_TEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
