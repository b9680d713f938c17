#include "client/gamepanelview.h"

#include "client/boardview.h"
#include "client/gameclient.h"
#include "client/panellabel.h"
#include "resources/artwork.h"
#include "resources/imagebutton.h"
#include "resources/windowbackground.h"

#include <QFrame>
#include <QLabel>

namespace {

constexpr int nameTops[] = {0, 103, 129, 156, 182, 207, 234};
constexpr int founditTops[] = {0, 101, 127, 153, 179, 205, 231};
constexpr int eyesTops[] = {0, 102, 128, 154, 180, 207, 233};
const QColor accent(220, 89, 33);
// Around the clock's red letters, so that they stand out from every part of
// the bar: its red end as much as its yellow middle and the sand beside it.
const QColor clockHalo(40, 16, 0);
// The longest options the game start dialog offers.
const QString longestTimePerTurn = QStringLiteral("Time Per Turn: 120secs");
const QString longestPlayTo = QStringLiteral("Play To Score: 1000");

// What assistive technology reads of a control, set only when it changes,
// since every change is announced.
void setSpoken(QWidget *widget, const QString &name, const QString &description)
{
    if (widget->accessibleName() != name)
        widget->setAccessibleName(name);
    if (widget->accessibleDescription() != description)
        widget->setAccessibleDescription(description);
}

QString letterOf(int code)
{
    return code >= 1 && code <= 26 ? QString(QChar(u'A' + code - 1)) : QString();
}

} // namespace

GamePanelView::GamePanelView(GameClient &client, QWidget *panel)
    : QObject(panel), m_client(client), m_panel(panel)
{
    WindowBackground::paintBeneath(m_panel, [] { return QPoint(0, 0); }, m_panel->height());

    label_status = label(QStringLiteral("label_status"), QRect(6, 57, 480, 16));
    label_status->setAlignment(Qt::AlignCenter);
    label_status->setToolTip(QStringLiteral("Tab: play with the keys"));
    label_round = label(QStringLiteral("label_round"), QRect(21, 76, 127, 30));
    label_gametype = label(QStringLiteral("label_gametype"), QRect(494, 37, 259, 22));
    label_gametype->setAlignment(Qt::AlignCenter);
    label_timeperturn = label(QStringLiteral("label_timeperturn"), QRect(493, 61, 140, 14));
    label_playtoscore = label(QStringLiteral("label_playtoscore"), QRect(632, 61, 122, 14));
    label_playtoscore->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // The two option labels meet at the same pixel: each keeps a few pixels
    // free on that side, so their texts never touch.
    label_timeperturn->setContentsMargins(0, 0, 3, 0);
    label_playtoscore->setContentsMargins(3, 0, 0, 0);
    for (PanelLabel *l : {label_timeperturn, label_playtoscore}) {
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, accent);
        l->setPalette(p);
        QFont f = l->font();
        f.setPixelSize(11);
        l->setFont(f);
    }
    label_timeperturn->fitFontTo({longestTimePerTurn});
    label_playtoscore->fitFontTo({longestPlayTo});
    image_timer = label(QStringLiteral("image_timer"), QRect(152, 78, 184, 25));
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    label_timer = label(QStringLiteral("label_timer"), QRect(155, 80, 103, 19));
    label_timer->setAlignment(Qt::AlignCenter);

    button_start = new ImageButton(m_panel);
    button_start->setObjectName(QStringLiteral("button_start"));
    button_start->setPixmap(Artwork::startGameButton());
    button_start->move(147, 74);
    connect(button_start, &ImageButton::clicked, this, &GamePanelView::startClicked);
    button_clearword = new ImageButton(m_panel);
    button_clearword->setObjectName(QStringLiteral("button_clearword"));
    button_clearword->setPixmap(Artwork::clearWordButton());
    button_clearword->move(359, 75);
    connect(button_clearword, &ImageButton::clicked, this, [this] { m_client.button_clearwordClick(); });

    buildSeatRows();
    buildBoard();
    render();
}

PanelLabel *GamePanelView::label(const QString &name, const QRect &geometry, bool bold)
{
    auto *l = new PanelLabel(m_panel);
    l->setObjectName(name);
    l->setGeometry(geometry);
    QFont f = l->font();
    f.setBold(bold);
    f.setPixelSize(12);
    l->setFont(f);
    return l;
}

void GamePanelView::buildSeatRows()
{
    for (int seat = 1; seat <= GameClient::seatcount; ++seat) {
        const QString n = QString::number(seat);
        PanelLabel *name = label(QStringLiteral("label_playername") + n, QRect(529, nameTops[seat], 113, 16));
        name->setProperty("Tag", seat);
        // The built-in name is the label's hint, kept, not shown as a tip.
        name->setProperty("Hint", m_client.row(seat).hint);
        name->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(name, &QWidget::customContextMenuRequested, this, [this, seat, name](const QPoint &pos) {
            emit playerMenuRequested(seat, name->mapToGlobal(pos));
        });
        label_playername[size_t(seat)] = name;
        label_score[size_t(seat)] = label(QStringLiteral("label_score") + n, QRect(653, nameTops[seat], 52, 16));
        label_bonus[size_t(seat)] = label(QStringLiteral("label_bonus") + n, QRect(709, nameTops[seat], 50, 16));
        image_foundit[size_t(seat)] = label(QStringLiteral("image_foundit") + n, QRect(494, founditTops[seat], 16, 16));
        image_foundit[size_t(seat)]->setPixmap(Artwork::foundIt());
        image_eyes[size_t(seat)] = label(QStringLiteral("image_eyes") + n, QRect(501, eyesTops[seat], 14, 14));
        image_eyes[size_t(seat)]->setPixmap(Artwork::eyes());
    }
}

void GamePanelView::buildBoard()
{
    for (int k = 1; k <= BoardSelection::slotCount; ++k)
        letter[size_t(k)] = label(QStringLiteral("letter_%1").arg(k), QRect(8 + 48 * (k - 1), 8, 44, 44));

    auto *frame = new QFrame(m_panel);
    frame->setObjectName(QStringLiteral("FlatPanel1"));
    frame->setGeometry(19, 109, 448, 404);
    frame->setFrameShape(QFrame::Box);
    paintbox_board = new BoardView(m_client, frame);
    paintbox_board->move(4, 4);

    panel_winner = new QFrame(m_panel);
    panel_winner->setObjectName(QStringLiteral("panel_winner"));
    panel_winner->setGeometry(27, 232, 433, 41);
    panel_winner->setFrameShape(QFrame::Panel);
    panel_winner->setAutoFillBackground(true);
    label_winner2 = new PanelLabel(panel_winner);
    label_winner2->setObjectName(QStringLiteral("label_winner2"));
    label_winner2->setGeometry(2, 11, 427, 19);
    label_winner1 = new PanelLabel(panel_winner);
    label_winner1->setObjectName(QStringLiteral("label_winner1"));
    label_winner1->setGeometry(1, 12, 427, 19);
    for (PanelLabel *l : {label_winner1, label_winner2}) {
        QFont f = l->font();
        f.setBold(true);
        f.setPixelSize(16);
        l->setFont(f);
        l->setAlignment(Qt::AlignCenter);
        QPalette p = l->palette();
        p.setColor(QPalette::WindowText, l == label_winner1 ? Qt::black : Qt::gray);
        l->setPalette(p);
    }
}

void GamePanelView::render()
{
    const GamePanel &p = m_client.panel();
    label_status->setFullText(p.status);
    label_round->setFullText(p.round);
    label_gametype->setFullText(p.gametype);
    label_timeperturn->setFullText(p.timeperturn);
    label_playtoscore->setFullText(p.playtoscore);
    label_timer->setFullText(p.timer);
    QPalette timerPalette = label_timer->palette();
    timerPalette.setColor(QPalette::WindowText, p.timerRed ? Qt::red : Qt::black);
    label_timer->setPalette(timerPalette);
    label_timer->setHalo(p.timerRed ? clockHalo : QColor());
    // Every second of a turn the bar and the clock's text change, and only
    // they are drawn again.
    const int barWidth = qBound(0, p.barWidth, 184);
    if (image_timer->pixmap().width() != barWidth)
        image_timer->setPixmap(barWidth > 0 ? Artwork::timeBar().copy(0, 0, barWidth, 25) : QPixmap());
    image_timer->setVisible(barWidth > 0);
    label_winner1->setFullText(p.winner);
    label_winner2->setFullText(p.winner);
    panel_winner->setVisible(p.winnerVisible);
    button_start->setVisible(m_client.startButtonVisible());
    button_clearword->setVisible(p.clearWordVisible);

    for (int seat = 1; seat <= GameClient::seatcount; ++seat) {
        const SeatRow &row = m_client.row(seat);
        // Name and score appear with the first arrival in their row.
        label_playername[size_t(seat)]->setFullText(row.name);
        label_playername[size_t(seat)]->setVisible(row.shown);
        label_score[size_t(seat)]->setFullText(row.score);
        label_score[size_t(seat)]->setVisible(row.shown);
        label_bonus[size_t(seat)]->setFullText(row.bonus);
        image_foundit[size_t(seat)]->setVisible(row.foundit);
        image_eyes[size_t(seat)]->setVisible(row.eyes);
        const QString n = QString::number(seat);
        QString standing = QStringLiteral("Score ") + row.score;
        if (row.eyes)
            standing += QStringLiteral(", just watching");
        else if (row.foundit)
            standing += QStringLiteral(", found the word");
        setSpoken(label_playername[size_t(seat)], QStringLiteral("Seat ") + n + QStringLiteral(": ") + row.name, standing);
        setSpoken(label_score[size_t(seat)], QStringLiteral("Score of seat ") + n, row.score);
    }

    const BoardSelection &board = m_client.board();
    for (int k = 1; k <= BoardSelection::slotCount; ++k) {
        const BoardSelection::Slot &s = board.slot(k);
        QPixmap picture;
        if (s.picture == BoardSelection::Picture::Plain)
            picture = paintbox_board->tilePicture(s.code);
        else if (s.picture == BoardSelection::Picture::Highlighted)
            picture = paintbox_board->tilePicture(s.code + BoardSelection::highlight);
        QLabel *slot = letter[size_t(k)];
        if (slot->pixmap().cacheKey() != picture.cacheKey())
            slot->setPixmap(picture);
        if (slot->property("Tag").toInt() != s.code)
            slot->setProperty("Tag", s.code);
        // The chosen tile is the slot's hint, kept, not shown as a tip.
        const QString hint = QString::fromLatin1(s.position);
        if (slot->property("Hint").toString() != hint)
            slot->setProperty("Hint", hint);
        QString spoken = s.code != 0 ? letterOf(s.code) : QStringLiteral("empty");
        if (s.picture == BoardSelection::Picture::Highlighted)
            spoken += QStringLiteral(", taken");
        setSpoken(letter[size_t(k)], QStringLiteral("Letter %1").arg(k), spoken);
    }
    paintbox_board->render();
}
