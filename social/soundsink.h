#pragma once

#include <QString>

// Where the sounds that the game decides to play go: the speakers in the
// program, a recording in tests. play() returns at once.
class SoundSink
{
public:
    virtual ~SoundSink() = default;
    // name: a sound resource in small letters ("tick", "wave3").
    virtual void play(const QString &name) = 0;
};
