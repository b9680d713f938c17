#include "client/boardview.h"

#include "client/gameclient.h"
#include "resources/artwork.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

// What a screen reader hears of the board: its name, and as its value the
// tile under the cursor with its letter.
class BoardAccessible : public QAccessibleWidget
{
public:
    BoardAccessible(QWidget *board, const GameClient &client)
        : QAccessibleWidget(board, QAccessible::Canvas), m_client(client)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return m_client.cursor().description(m_client.board());
        return QAccessibleWidget::text(kind);
    }

private:
    const GameClient &m_client;
};

QAccessibleInterface *boardAccessible(const QString &className, QObject *object)
{
    if (className != QLatin1String("BoardView") || !object || !object->isWidgetType())
        return nullptr;
    auto *board = static_cast<BoardView *>(object);
    return new BoardAccessible(board, board->client());
}

} // namespace

BoardView::BoardView(GameClient &client, QWidget *parent) : QWidget(parent), m_client(client)
{
    static const bool factoryInstalled = (QAccessible::installFactory(boardAccessible), true);
    Q_UNUSED(factoryInstalled);
    setObjectName(QStringLiteral("paintbox_board"));
    setAccessibleName(QStringLiteral("Board"));
    setAccessibleDescription(QStringLiteral("Arrow keys move, Space takes a tile, letters pick the nearest tile, "
                                            "Backspace takes the last one back, Escape clears"));
    // A click gives the board the keyboard; Tab is the window's to move.
    setFocusPolicy(Qt::ClickFocus);
    setFixedSize(BoardSelection::columns * BoardSelection::tileSize, BoardSelection::rows * BoardSelection::tileSize);
}

void BoardView::setTiles(const QList<QPixmap> &tiles)
{
    m_tiles = tiles;
    update();
}

QPixmap BoardView::tilePicture(int code) const
{
    // The built-in tiles are drawn as they are first needed.
    if (m_tiles.isEmpty())
        return Artwork::tile(code);
    // Codes the list does not hold show as the blank tile.
    if (code < 0 || code >= m_tiles.size())
        code = 0;
    return m_tiles.value(code);
}

BoardView::Look BoardView::look() const
{
    Look now;
    const BoardSelection &board = m_client.board();
    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row)
            now.codes[size_t((column - 1) * BoardSelection::rows + row - 1)] = board.code(column, row);
    if (board.selectedcount() > 0)
        now.marker = board.lastSelected();
    if (hasFocus())
        now.frame = m_client.cursor().tile();
    return now;
}

QRect BoardView::tileRect(const QPoint &tile)
{
    const int size = BoardSelection::tileSize;
    return tile.isNull() ? QRect() : QRect((tile.x() - 1) * size, (tile.y() - 1) * size, size, size);
}

void BoardView::render()
{
    const Look now = look();
    for (int column = 1; column <= BoardSelection::columns; ++column) {
        for (int row = 1; row <= BoardSelection::rows; ++row) {
            const size_t at = size_t((column - 1) * BoardSelection::rows + row - 1);
            if (now.codes[at] != m_drawn.codes[at])
                update(tileRect(QPoint(column, row)));
        }
    }
    for (const auto &[before, after] : {std::pair(m_drawn.marker, now.marker), std::pair(m_drawn.frame, now.frame)}) {
        if (before != after) {
            update(tileRect(before));
            update(tileRect(after));
        }
    }
    m_drawn = now;

    const QString spoken = m_client.cursor().description(m_client.board());
    if (spoken != m_spoken && hasFocus()) {
        m_spoken = spoken;
        QAccessibleValueChangeEvent event(this, spoken);
        QAccessible::updateAccessibility(&event);
    }
}

// Only the tiles in the part to be drawn are drawn.
void BoardView::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    const QRegion dirty = event->region();
    const BoardSelection &board = m_client.board();
    const int size = BoardSelection::tileSize;
    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row)
            if (dirty.intersects(tileRect(QPoint(column, row))))
                painter.drawPixmap((column - 1) * size, (row - 1) * size, tilePicture(board.code(column, row)));
    if (board.selectedcount() > 0) {
        const QPoint last = board.lastSelected();
        painter.drawPixmap((last.x() - 1) * size, (last.y() - 1) * size,
                           tilePicture(BoardSelection::markerCode));
    }
    if (hasFocus()) {
        // A rounded frame of black, white and black again: it stands out on
        // light and dark tiles alike and never looks like the square marker.
        const QPoint at = m_client.cursor().tile();
        const QRectF frame = QRectF((at.x() - 1) * size, (at.y() - 1) * size, size, size).adjusted(2, 2, -2, -2);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::black, 4));
        painter.drawRoundedRect(frame, 6, 6);
        painter.setPen(QPen(Qt::white, 2));
        painter.drawRoundedRect(frame, 6, 6);
    }
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    m_client.paintbox_boardMouseUp(at.x(), at.y(), event->button() == Qt::RightButton);
}

void BoardView::keyPressEvent(QKeyEvent *event)
{
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)
        || !m_client.boardKeyPress(event->key(), event->text()))
        QWidget::keyPressEvent(event);
}

void BoardView::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    m_spoken.clear();
    render();
}

void BoardView::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    render();
}
