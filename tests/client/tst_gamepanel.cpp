#include "client/gamepanelview.h"
#include "client/panellabel.h"
#include "client/tchat.h"
#include "resources/artwork.h"
#include "shell/windowregistry.h"
#include "social/tspylist.h"
#include "support/fakeserver.h"
#include "support/testmain.h"

#include <QDir>
#include <cmath>
#include <QStyle>

namespace {

// The game panel of one window, drawn offscreen from what its client holds.
struct SizedPanel : QWidget
{
    SizedPanel() { setFixedSize(765, 525); }
};

struct PanelUnderTest
{
    ClientUnderTest t;
    SizedPanel panel;
    GamePanelView view;

    explicit PanelUnderTest(int seat = 2) : t(seat), view(t.client, &panel)
    {
        QObject::connect(&t.client, &GameClient::changed, &view, &GamePanelView::render);
        panel.show();
    }
    void feed(const QByteArray &message)
    {
        t.feed(message);
        view.render();
    }
    QList<PanelLabel *> textLabels() const
    {
        QList<PanelLabel *> out;
        for (PanelLabel *l : panel.findChildren<PanelLabel *>())
            if (l->isVisibleTo(&panel) && !l->text().isEmpty())
                out << l;
        return out;
    }
    // Where a label's text is drawn, in the panel's coordinates.
    QRect textRect(const QLabel *l) const
    {
        const QFontMetrics metrics(l->font());
        const QRect box = QStyle::alignedRect(l->layoutDirection(), l->alignment(),
                                              QSize(metrics.horizontalAdvance(l->text()), metrics.height()),
                                              l->contentsRect());
        return QRect(l->mapTo(&panel, box.topLeft()), box.size());
    }
    // Saves what the panel shows when ZARVEX_SHOTS names a folder.
    void shoot(const QString &name)
    {
        const QByteArray folder = qgetenv("ZARVEX_SHOTS");
        if (!folder.isEmpty())
            panel.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name));
    }
};

double luminance(QRgb c)
{
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

} // namespace

class TestGamePanel : public QObject
{
    Q_OBJECT

private slots:
    // A 120-second game to 1000 points with six long names: every text lies
    // whole inside its label, and no two texts meet.
    void everyTextFitsItsLabel()
    {
        PanelUnderTest p;
        const QList<QByteArray> names = {"Maximiliana Wolkenstein", "Bartholomew Fitzgerald",
                                         "Konstantinos Papadakis", "Guinevere Montgomery",
                                         "Wilhelmina Oosterhuis", "Christopherson Wakefield"};
        for (int n = 1; n <= 6; ++n)
            p.feed("CMD_newplayerinfo+" + QByteArray::number(n) + "+" + names[n - 1]);
        p.feed("CMD_startgame+" + names[0] + "+1000+120+f+f+");
        p.feed(boardMessage(100, {}));
        p.feed(wordMessage("quiz"));
        p.feed("CMD_nextplayer+2+");
        for (int n = 1; n <= 6; ++n)
            p.feed("CMD_hefoundit+" + QByteArray::number(n) + "+120+1000+");
        p.t.client.turntimeTimer();
        p.view.render();
        p.shoot("gamepanel-long-names.png");

        QCOMPARE(p.panel.findChild<QLabel *>("label_timeperturn")->text(), QString("Time Per Turn: 120secs"));
        QCOMPARE(p.panel.findChild<QLabel *>("label_playtoscore")->text(), QString("Play To Score: 1000"));
        const QList<PanelLabel *> labels = p.textLabels();
        QVERIFY(labels.size() >= 6 * 3 + 6);
        for (PanelLabel *l : labels) {
            const QRect text = p.textRect(l);
            const QRect own(l->mapTo(&p.panel, QPoint(0, 0)), l->size());
            QVERIFY2(own.contains(text), qPrintable(l->objectName() + ": " + l->text()));
            QVERIFY2(l->fontMetrics().ascent() + l->fontMetrics().descent() <= l->height(),
                     qPrintable(l->objectName()));
            if (l->objectName().startsWith("label_playername")) {
                // A name longer than its label ends in an ellipsis.
                const QString shown = l->text();
                QVERIFY2(shown.endsWith(QChar(0x2026)), qPrintable(shown));
                QVERIFY(l->fullText().startsWith(shown.chopped(1)));
            } else {
                QCOMPARE(l->text(), l->fullText());
            }
            for (PanelLabel *other : labels)
                if (other != l)
                    QVERIFY2(!text.intersects(p.textRect(other)),
                             qPrintable(l->objectName() + " meets " + other->objectName()));
        }
    }

    // Peers' texts are never read as markup.
    void peersTextsShowAsPlainText()
    {
        PanelUnderTest p;
        p.feed("CMD_newplayerinfo+1+<b>Ann</b>");
        p.feed("CMD_newplayerinfo+3+<img src=\"x.png\">");
        p.feed("CMD_startgame+<i>Ann</i>+<b>250</b>+30+f+f+");
        p.feed("CMD_nextplayer+3+");
        p.feed("CMD_winner+<font color=red>Ann</font>+");
        QCOMPARE(p.panel.findChild<QLabel *>("label_playername1")->text(), QString("<b>Ann</b>"));
        QCOMPARE(p.panel.findChild<PanelLabel *>("label_playtoscore")->fullText(), QString("Play To Score: <b>250</b>"));
        QCOMPARE(p.panel.findChild<PanelLabel *>("label_winner1")->fullText(),
                 QString("<font color=red>Ann</font> has Won the Game!"));
        int checked = 0;
        for (const QLabel *l : p.panel.findChildren<QLabel *>()) {
            if (l->text().isEmpty())
                continue;
            QVERIFY2(l->textFormat() == Qt::PlainText, qPrintable(l->objectName()));
            ++checked;
        }
        QVERIFY(checked >= 8);
    }

    // The clock's letters stand out from the bar beneath them, at its red
    // end as at its green one.
    void theClockStaysReadableOnTheBar_data()
    {
        QTest::addColumn<int>("secondsLeft");
        QTest::newRow("black text, whole bar") << 29;
        QTest::newRow("red text, yellow middle") << 19;
        QTest::newRow("red text, orange part") << 15;
        QTest::newRow("red text, red end") << 10;
    }
    void theClockStaysReadableOnTheBar()
    {
        QFETCH(int, secondsLeft);
        PanelUnderTest p;
        p.feed("CMD_startgame+Ann+250+30+f+f+");
        p.feed("CMD_nextplayer+2+");
        for (int left = 30; left > secondsLeft; --left)
            p.t.client.turntimeTimer();
        p.view.render();
        QLabel *timer = p.panel.findChild<QLabel *>("label_timer");
        // Only where the bar lies under the clock.
        const QLabel *bar = p.panel.findChild<QLabel *>("image_timer");
        const QRect barArea(bar->pos(), QSize(p.t.client.panel().barWidth, bar->height()));
        const QRect area = QRect(timer->mapTo(&p.panel, QPoint(0, 0)), timer->size()) & barArea;
        const QImage with = p.panel.grab(area).toImage();
        timer->hide();
        const QImage without = p.panel.grab(area).toImage();
        timer->show();
        p.shoot(QStringLiteral("clock-%1.png").arg(secondsLeft));

        int changed = 0, standingOut = 0;
        for (int y = 0; y < with.height(); ++y)
            for (int x = 0; x < with.width(); ++x) {
                const QRgb a = with.pixel(x, y), b = without.pixel(x, y);
                if (a == b)
                    continue;
                ++changed;
                if (contrast(a, b) >= 3.0)
                    ++standingOut;
            }
        QVERIFY2(changed > 30, qPrintable(QString::number(changed)));
        QVERIFY2(standingOut * 4 >= changed,
                 qPrintable(QStringLiteral("%1 of %2").arg(standingOut).arg(changed)));
    }

    // Rows appear with their first arrival; nothing carries a tip it was
    // not meant to.
    void rowsAppearWithTheirPlayersAndCarryNoTips()
    {
        PanelUnderTest p(3);
        for (int n = 1; n <= 6; ++n) {
            QVERIFY(p.panel.findChild<QLabel *>(QString("label_playername%1").arg(n))->isHidden());
            QVERIFY(p.panel.findChild<QLabel *>(QString("label_score%1").arg(n))->isHidden());
        }
        p.feed("CMD_newplayerinfo+3+Cid");
        p.feed("CMD_existingplayers+2+Klot");
        QVERIFY(!p.panel.findChild<QLabel *>("label_playername3")->isHidden());
        QVERIFY(!p.panel.findChild<QLabel *>("label_score3")->isHidden());
        QVERIFY(p.panel.findChild<QLabel *>("label_playername4")->isHidden());
        p.feed("CMD_playerdisconnected+2+Klot");
        QCOMPARE(p.panel.findChild<QLabel *>("label_playername2")->text(), QString("<Waiting>"));
        QVERIFY(!p.panel.findChild<QLabel *>("label_playername2")->isHidden());

        p.feed("CMD_startgame+Ann+250+30+f+f+");
        p.feed(boardMessage(1, {{4, 7, 'o'}, {5, 7, 'x'}}));
        p.feed(wordMessage("ox"));
        p.feed("CMD_nextplayer+3+");
        p.t.click(4, 7);
        p.view.render();
        QCOMPARE(p.panel.findChild<QLabel *>("letter_1")->property("Hint").toString(), QString("4+7"));
        QCOMPARE(p.panel.findChild<QLabel *>("label_playername2")->property("Hint").toString(), QString("Klot"));
        // Hints are kept, never shown: the one tip is the status line's,
        // which tells how to play without the mouse.
        for (const QWidget *w : p.panel.findChildren<QWidget *>())
            if (w->objectName() != "label_status")
                QVERIFY2(w->toolTip().isEmpty(), qPrintable(w->objectName() + ": " + w->toolTip()));
        QCOMPARE(p.panel.findChild<QLabel *>("label_status")->toolTip(), QString("Tab: play with the keys"));
    }

    void theSpyListIsWhiteUnderTheMainWindowsPicture()
    {
        WindowRegistry registry;
        registry.options.timers = Ticker::Manual;
        Tchat chat(registry);
        registry.chat = &chat;
        Tspylist spies(registry);
        const QImage shown = spies.grab().toImage();
        const QByteArray folder = qgetenv("ZARVEX_SHOTS");
        if (!folder.isEmpty())
            shown.save(QDir(QString::fromLocal8Bit(folder)).filePath("spylist.png"));
        const QImage picture = Artwork::background(QSize(765, 525)).toImage();
        for (const QPoint at : {QPoint(1, 100), QPoint(160, 60), QPoint(20, 158)})
            QCOMPARE(QColor(shown.pixel(at)), QColor(picture.pixel(at)));

        WindowRegistry alone;
        Tspylist bare(alone);
        QCOMPARE(QColor(bare.grab().toImage().pixel(1, 100)), QColor(Qt::white));
    }
};

ZARVEX_TEST_MAIN(TestGamePanel)
#include "tst_gamepanel.moc"
