#pragma once

#include <QRandomGenerator>
#include <QString>

// How well a computer player plays: how long it looks for a word before it
// sends it, and how often it does not find it at all.
//
// The wait is two seconds (the least a person needs to read the word and
// click its letters) plus a log-normal time whose median grows with the
// word's length and is longer for scrambled words, which are harder to see.
// Easy and Normal also give up on some words and send nothing that round.
class ComputerLevel
{
public:
    enum Level { Easy, Normal, Hard };

    struct Attempt
    {
        bool finds = false;   // false: the player does not find it this round
        int waitMs = 0;       // from the round's start until the word is sent
    };

    struct Profile
    {
        double baseSeconds;        // median look time of a word of no letters
        double perLetterSeconds;   // added per letter
        double scrambledFactor;    // scrambled words take this many times longer
        double spread;             // sigma of the log-normal look time
        double missChance;         // chance to give up on a 3-letter straight word
        double missPerLetter;      // added per letter beyond three
        double scrambledMiss;      // added for a scrambled word
    };

    static constexpr int shortestWaitMs = 2000;

    static const Profile &profile(Level level);

    // One round's attempt at a word of that length.
    static Attempt draw(Level level, int length, bool scrambled, QRandomGenerator &random);

    static int medianWaitMs(Level level, int length, bool scrambled);
    static double missChance(Level level, int length, bool scrambled);

    // "Easy", "Normal", "Hard"; read back in any letter case.
    static QString text(Level level);
    static bool fromText(const QString &text, Level &level);
};
