// The entry point of the zarvex-speakers library, which the program loads
// with its first sound (see Speakers).

#include "social/soundplayer.h"

extern "C" Q_DECL_EXPORT SoundSink *zarvexSpeakers(QObject *parent)
{
    return new SoundPlayer(parent);
}
