#include "server/gameoptions.h"

#include "protocol/wire.h"

#include <algorithm>

int GameOptions::position(Value value) const
{
    return value == PlayToScore ? m_playtoscore : m_creationtime;
}

void GameOptions::setPosition(Value value, int position)
{
    const Range r = range(value);
    (value == PlayToScore ? m_playtoscore : m_creationtime) = std::clamp(position, r.min, r.max);
}

void GameOptions::up(Value value)
{
    // The sum cannot overflow: the position is held within a small range.
    setPosition(value, position(value) + range(value).step);
}

void GameOptions::down(Value value)
{
    setPosition(value, position(value) - range(value).step);
}

void GameOptions::checkscram(int box)
{
    if (box != 1 && box != 2)
        return;
    m_scrambled = box == 1 ? 1 : 0;
    m_straight = box == 2 ? 1 : 0;
}

void GameOptions::checkonly(int ticked)
{
    m_onlyletters = ticked != 0 ? 1 : 0;
}

void GameOptions::clickTypeBox(int hint)
{
    checkscram(hint == 2 ? 2 : 1);
}

void GameOptions::clickOnlyletters()
{
    checkonly(m_onlyletters == 1 ? 0 : 1);
}

QByteArray GameOptions::startRequest(const QByteArray &playername) const
{
    const auto flag = [](int tag) { return tag != 0 ? QByteArray("t") : QByteArray("f"); };
    return Wire::message("CMD_startgame", {playername, Wire::num(m_playtoscore),
                                           Wire::num(m_creationtime), flag(m_scrambled),
                                           flag(m_onlyletters), QByteArray()});
}
