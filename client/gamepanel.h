#pragma once

#include <QString>

// What the game panel of the main window shows around the board.
struct GamePanel
{
    QString status = QStringLiteral("Welcome to Zarvex ");
    QString round = QStringLiteral("ROUND: 0");
    QString gametype;
    int gametypeTag = 0;          // 0 STRAIGHT, 1 SCRAMBLED
    QString timeperturn;
    int timeperturnTag = 0;       // seconds per turn
    QString playtoscore;
    QString timer;
    bool timerRed = false;
    int pixelsPerSecond = 0;
    int barWidth = 0;             // of the 184-pixel time bar
    QString winner;
    bool winnerVisible = false;
    bool clearWordVisible = false;
};
