#include "client/boardview.h"

#include "client/gameclient.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
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
    // Codes the list does not hold show as the blank tile.
    if (code < 0 || code >= m_tiles.size())
        code = 0;
    return m_tiles.value(code);
}

void BoardView::render()
{
    update();
    const QString spoken = m_client.cursor().description(m_client.board());
    if (spoken != m_spoken && hasFocus()) {
        m_spoken = spoken;
        QAccessibleValueChangeEvent event(this, spoken);
        QAccessible::updateAccessibility(&event);
    }
}

void BoardView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const BoardSelection &board = m_client.board();
    const int size = BoardSelection::tileSize;
    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row)
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
    update();
}
