#pragma once

#include "social/soundsink.h"

#include <QStringList>

// A sound sink that keeps the names it was asked to play, in order.
struct RecordingSink : SoundSink
{
    QStringList played;
    void play(const QString &name) override { played << name; }
};
