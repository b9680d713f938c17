#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>

#include <functional>

// Lets the network run and calls dispatchAll, which hands out every queued
// message it can and answers whether it handed out any, until nothing has
// moved for a few rounds (or five seconds have passed).
inline void settleUntilQuiet(const std::function<bool()> &dispatchAll)
{
    int quiet = 0;
    QElapsedTimer clock;
    clock.start();
    while (quiet < 4 && clock.elapsed() < 5000) {
        // Everything pending is handled before a round counts as quiet: on a
        // loaded machine, paints alone can fill a few milliseconds and leave
        // a socket's data for a later round.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        const bool moved = dispatchAll();
        QTest::qWait(3);
        quiet = moved ? 0 : quiet + 1;
    }
}

// Hands out everything queued at a copy of the program: at its own server,
// when it hosts, and at its window. Answers whether anything was handed out.
template <class Copy>
bool dispatchQueued(Copy &copy)
{
    if (!copy.windows)
        return false;
    bool moved = false;
    for (; copy.server() && copy.server()->queued() > 0; moved = true)
        copy.server()->socktimerTimer();
    for (; copy.client().queued() > 0; moved = true)
        copy.client().Timer1Timer();
    return moved;
}

// Settles again and again until the condition holds; false when it still
// does not after ms milliseconds. For what travels between copies: a quiet
// moment on a loaded machine may come before it has arrived.
inline bool settleUntilTrue(const std::function<void()> &settle, const std::function<bool()> &condition,
                            int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > ms)
            return false;
        settle();
        QTest::qWait(10);
    }
    return true;
}
