#include "client/boardview.h"
#include "client/gamepanelview.h"
#include "support/startgame.h"
#include "support/testmain.h"

#include <QDir>
#include <QFile>
#include <QPaintEvent>

namespace {

// Everything a window paints, in the window's coordinates, and the widgets
// that painted it.
class PaintLog : public QObject
{
public:
    explicit PaintLog(QWidget *window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintLog() override { qApp->removeEventFilter(this); }

    // Lets every pending paint happen, then forgets what was painted.
    void flushAndClear()
    {
        flush();
        region = QRegion();
        widgets.clear();
    }
    void flush()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    QRegion region;
    QStringList widgets;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto *widget = static_cast<QWidget *>(watched);
            if (widget->window() == m_window) {
                region += static_cast<QPaintEvent *>(event)->region().translated(widget->mapTo(m_window, QPoint()));
                widgets << widget->objectName();
            }
        }
        return false;
    }

private:
    QWidget *m_window;
};

QRect inWindow(const QWidget *widget)
{
    return QRect(widget->mapTo(widget->window(), QPoint()), widget->size());
}

// How often the threads of Qt's pool were woken to do work: the waits they
// gave up the processor for, over all of them.
qint64 pooledWork()
{
    qint64 switches = 0;
    for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile name(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (!name.open(QIODevice::ReadOnly) || !name.readAll().startsWith("Thread (pooled)"))
            continue;
        QFile status(QStringLiteral("/proc/self/task/%1/status").arg(task));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("voluntary_ctxt_switches:"))
                switches += line.mid(line.indexOf(':') + 1).trimmed().toLongLong();
    }
    return switches;
}

// A host and a player in a game with the host's window on the screen.
struct Round
{
    GameTable t;
    Player &ann = t.host("Ann");
    Player &bob = t.join("Bob");

    Round()
    {
        ann.chat->show();
        QVERIFY(QTest::qWaitForWindowExposed(ann.chat));
        startShortGame(t, ann, false);
    }
    QWidget *control(const char *name) { return ann.chat->findChild<QWidget *>(name); }
};

} // namespace

// What the main window draws again during a round: only what changed.
class TestRepaint : public QObject
{
    Q_OBJECT

private slots:
    // Every second of a whole turn, through the clock turning red, the
    // ticks and the last seconds at zero, draws the clock's text and its
    // bar and nothing else: not the board, not the letter slots, not the
    // window around them.
    void eachSecondDrawsTheClockAlone()
    {
        Round r;
        PaintLog log(r.ann.chat);
        const QRegion clock = QRegion(inWindow(r.control("label_timer"))) + inWindow(r.control("image_timer"));
        log.flushAndClear();
        for (int second = 59; second >= -2; --second) {
            r.ann.client().turntimeTimer();
            log.flush();
            QCOMPARE(r.ann.client().secondsleft(), qMax(0, second));
            QVERIFY2(!log.region.isEmpty() || second < 0, qPrintable(QString::number(second)));
            QVERIFY2((log.region - clock).isEmpty(),
                     qPrintable(QStringLiteral("second %1: %2").arg(second).arg(log.widgets.join(' '))));
            QVERIFY(!log.widgets.contains("paintbox_board"));
            log.flushAndClear();
        }
        QCOMPARE(r.ann.client().panel().timer, QString("Time: 0:00"));
    }

    // Taking a tile draws that tile and the word's slot it fills; taking
    // the next moves the marker: the two tiles and the next slot.
    void aTakenTileDrawsItselfAndItsSlot()
    {
        Round r;
        PaintLog log(r.ann.chat);
        BoardView *board = r.ann.chat->gamePanel()->board();
        const QList<QPoint> tiles = placedTiles(*r.ann.server());
        QVERIFY(tiles.size() >= 3);
        auto tileRect = [board](const QPoint &tile) {
            return QRect(board->mapTo(board->window(), QPoint((tile.x() - 1) * 44, (tile.y() - 1) * 44)), QSize(44, 44));
        };
        log.flushAndClear();
        clickTiles(r.ann, {tiles[0]});
        log.flush();
        QRegion expected = QRegion(tileRect(tiles[0])) + inWindow(r.control("letter_1"));
        QCOMPARE(log.region, expected);

        log.flushAndClear();
        clickTiles(r.ann, {tiles[1]});
        log.flush();
        expected = QRegion(tileRect(tiles[0])) + tileRect(tiles[1]) + inWindow(r.control("letter_2"));
        QCOMPARE(log.region, expected);
    }

    // A message that changes nothing the panel shows draws nothing.
    void nothingChangedDrawsNothing()
    {
        Round r;
        PaintLog log(r.ann.chat);
        log.flushAndClear();
        emit r.ann.client().changed();
        log.flush();
        QCOMPARE(log.region, QRegion());
    }

    // The seconds of a round, red ones too, the tiles drawn as they first
    // show, the word found, the next board and the winner are drawn by the
    // window's own thread: none of it is handed to Qt's helper threads.
    void noHelperThreadsDrawTheRound()
    {
        Round r;
        PaintLog log(r.ann.chat);
        log.flush();
        const qint64 before = pooledWork();
        for (int second = 0; second < 62; ++second) {
            r.ann.client().turntimeTimer();
            log.flush();
        }
        QCOMPARE(pooledWork(), before);
        // The round ends, the word shows on the board, the next board comes.
        playShortGame(r.t, *r.ann.server(), r.ann, r.bob);
        log.flush();
        QCOMPARE(pooledWork(), before);
    }
};

ZARVEX_TEST_MAIN(TestRepaint)
#include "tst_repaint.moc"
