#pragma once

#include "client/boardselection.h"

#include <QList>
#include <QPixmap>
#include <QWidget>
#include <array>

class GameClient;

// The 440 x 396 surface the board is drawn on: every tile with its picture,
// the marker over the last selected tile and, while the board has the
// keyboard, the cursor's frame. A released mouse button and the keys go to
// the game client, which decides what they mean.
class BoardView : public QWidget
{
    Q_OBJECT

public:
    BoardView(GameClient &client, QWidget *parent);

    // The 54 (or more) pictures indexed by tile code; none for the built-in
    // tiles, which it starts with.
    void setTiles(const QList<QPixmap> &tiles);
    QPixmap tilePicture(int code) const;
    const GameClient &client() const { return m_client; }

    // Draws again the tiles that look different from when they were last
    // drawn, and tells assistive technology where the cursor is.
    void render();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    // What the board looks like: each tile's code, the marked tile and the
    // framed one; (0, 0) for none.
    struct Look
    {
        std::array<int, BoardSelection::columns * BoardSelection::rows> codes{};
        QPoint marker;
        QPoint frame;
    };
    Look look() const;
    static QRect tileRect(const QPoint &tile);

    GameClient &m_client;
    QList<QPixmap> m_tiles;
    Look m_drawn;       // as last asked to be drawn
    QString m_spoken;   // the cursor's description last announced
};
