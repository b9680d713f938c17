#pragma once

#include <QByteArray>

// The options of a new game as the host chooses them before starting: the
// play-to score and the creation time, each moved only by its up-down arrows
// within a range and without wrapping around, and three boxes whose state is
// a tag of 1 (ticked) or 0 (empty). Of the two type boxes, box 1 means a
// SCRAMBLED game and box 2 a STRAIGHT one; neither is ticked until one is
// set, and from then on exactly one is.
class GameOptions
{
public:
    // The two values moved by up-down arrows.
    enum Value { PlayToScore, CreationTime };

    struct Range
    {
        int min;
        int max;
        int step;
        int start;
    };

    static constexpr Range range(Value value)
    {
        return value == PlayToScore ? Range{100, 1000, 50, 250} : Range{20, 120, 5, 30};
    }

    int position(Value value) const;
    // Sets a value as the settings loader does; it is kept within its range.
    void setPosition(Value value, int position);
    // One step of the up or down arrow; stops at the ends.
    void up(Value value);
    void down(Value value);

    int playtoscore() const { return position(PlayToScore); }
    int creationtime() const { return position(CreationTime); }

    // Tags of the boxes: checkbox_1 (scrambled), checkbox_2 (straight) and
    // checkbox_onlyletters; 1 ticked, 0 empty.
    int scrambledTag() const { return m_scrambled; }
    int straightTag() const { return m_straight; }
    int onlylettersTag() const { return m_onlyletters; }

    // 1 ticks the scrambled box and clears the straight one, 2 the other way
    // round; any other number leaves the pair as it is.
    void checkscram(int box);
    // Sets the only-letters box; any number other than 0 ticks it.
    void checkonly(int ticked);

    // A click on one of the type boxes, named by its hint "1" or "2": the
    // clicked box becomes the ticked one, and stays ticked when it already was.
    void clickTypeBox(int hint);
    // A click on the only-letters box toggles it.
    void clickOnlyletters();

    // CMD_startgame with the player's name, the two values, the game type
    // ("t" scrambled, "f" straight, which is also the answer while neither
    // box is ticked), the only-letters flag and an empty last field.
    QByteArray startRequest(const QByteArray &playername) const;

private:
    int m_playtoscore = range(PlayToScore).start;
    int m_creationtime = range(CreationTime).start;
    int m_scrambled = 0;
    int m_straight = 0;
    int m_onlyletters = 0;
};
