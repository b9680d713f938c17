#pragma once

#include <QtGlobal>

// The one random generator of the process. Every draw of the game (words,
// board tiles, placements) comes from here, so that a test that seeds it gets
// the same boards every time. The main window seeds it from the clock.
namespace Random {

void seed(quint32 value);
void seedFromClock();

// Uniform in [0, n): an integer from 0 to n - 1, and 0 when n is 0 or less.
int uniform(int n);

} // namespace Random
