#pragma once

#include <QList>
#include <QPixmap>
#include <QWidget>

class GameClient;

// The 440 x 396 surface the board is drawn on: every tile with its picture
// and the marker over the last selected tile. A released mouse button goes
// to the game client, which decides what it means.
class BoardView : public QWidget
{
    Q_OBJECT

public:
    BoardView(GameClient &client, QWidget *parent);

    // The 54 (or more) pictures indexed by tile code.
    void setTiles(const QList<QPixmap> &tiles);
    QPixmap tilePicture(int code) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    GameClient &m_client;
    QList<QPixmap> m_tiles;
};
