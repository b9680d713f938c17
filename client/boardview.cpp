#include "client/boardview.h"

#include "client/gameclient.h"

#include <QMouseEvent>
#include <QPainter>

BoardView::BoardView(GameClient &client, QWidget *parent) : QWidget(parent), m_client(client)
{
    setObjectName(QStringLiteral("paintbox_board"));
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
}

void BoardView::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    m_client.paintbox_boardMouseUp(at.x(), at.y(), event->button() == Qt::RightButton);
}
