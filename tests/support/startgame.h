#pragma once

#include "resources/imagebutton.h"
#include "server/gameoptions.h"
#include "server/tgamestart.h"
#include "support/gametable.h"

// The host opens the game start dialog, sets a game to 100 points with 60
// seconds a turn, of the type given, and starts it.
inline void startShortGame(GameTable &t, Player &host, bool scrambled)
{
    host.chat->button_startClick();
    Tgamestart *dialog = host.registry().gamestart;
    QVERIFY(dialog->isVisible());
    dialog->options().setPosition(GameOptions::PlayToScore, 100);
    dialog->options().setPosition(GameOptions::CreationTime, 60);
    dialog->options().checkscram(scrambled ? 1 : 2);
    dialog->showOptions();
    QTest::mouseClick(dialog->findChild<ImageButton *>("button_start"), Qt::LeftButton);
    t.settle();
    QVERIFY(!dialog->isVisible());
}
