#pragma once

#include "client/boardview.h"
#include "client/gamepanelview.h"
#include "resources/imagebutton.h"
#include "server/gameoptions.h"
#include "server/tgamestart.h"
#include "support/gametable.h"

// The host opens the game start dialog, sets a game to 100 points with 60
// seconds a turn, of the type given, and starts it.
inline void startShortGame(GameTable &t, Player &host, bool scrambled)
{
    QVERIFY2(t.settleUntil([&host] { return host.client().isconnected(); }), "the host never got its seat");
    host.chat->button_startClick();
    Tgamestart *dialog = host.registry().gamestart();
    QVERIFY(dialog->isVisible());
    dialog->options().setPosition(GameOptions::PlayToScore, 100);
    dialog->options().setPosition(GameOptions::CreationTime, 60);
    dialog->options().checkscram(scrambled ? 1 : 2);
    dialog->showOptions();
    QTest::mouseClick(dialog->findChild<ImageButton *>("button_start"), Qt::LeftButton);
    t.settle();
    QVERIFY(!dialog->isVisible());
}

// The tiles the server laid the word on, as the clicks that select them.
inline QList<QPoint> placedTiles(TServer &server)
{
    const QList<QByteArray> fields = server.board().wordpositions().mid(1).split('+');
    QList<QPoint> tiles;
    for (int i = 0; i + 1 < fields.size(); i += 2)
        tiles << QPoint(fields[i].toInt(), fields[i + 1].toInt());
    return tiles;
}

inline void clickTiles(Player &p, const QList<QPoint> &tiles)
{
    BoardView *board = p.chat->gamePanel()->board();
    for (const QPoint &tile : tiles)
        QTest::mouseClick(board, Qt::LeftButton, {}, QPoint((tile.x() - 1) * 44 + 22, (tile.y() - 1) * 44 + 22));
}

// Plays a short game to its winner: in every round the first player finds
// the word at once and the second five seconds later, so the first wins
// after two rounds.
inline void playShortGame(GameTable &t, TServer &server, Player &first, Player &second)
{
    for (int round = 0; round < 10 && server.gameinprogress(); ++round) {
        const QList<QPoint> tiles = placedTiles(server);
        clickTiles(first, tiles);
        t.settle();
        for (int tick = 0; tick < 5; ++tick)
            server.timer1Timer();
        clickTiles(second, tiles);
        t.settle();
        for (int tick = 0; tick < 7; ++tick)
            server.timer1Timer();
        t.settle();
    }
}
