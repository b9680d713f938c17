#pragma once

#include "social/soundsink.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QMediaDevices;
class QSoundEffect;

// The speakers: each sound resource loaded the first time it is played and
// kept, and played by name without waiting. One sound at a time: a new one
// cuts off the one still playing. A name without a resource gives the
// desktop's beep. Without an audio device, or when a file fails to load,
// playing does nothing and says nothing; the game goes on.
//
// Nothing of the system's sound service is touched before the first sound
// is played: a game with its sounds off never starts it.
class SoundPlayer : public QObject, public SoundSink
{
    Q_OBJECT

public:
    // When sounds are loaded: while an audio output exists (a sound played
    // without one is dropped, until one appears), or even without one.
    enum class Loading { WithAnAudioOutput, Always };

    explicit SoundPlayer(QObject *parent = nullptr, Loading loading = Loading::WithAnAudioOutput);
    ~SoundPlayer() override;

    // name: any letter case.
    void play(const QString &name) override;

    // The loaded effect of that name, or null.
    const QSoundEffect *effect(const QString &name) const;
    // The names of the sounds it holds.
    static const QStringList &names();
    // The sound started last and not cut off since, or null.
    const QSoundEffect *current() const { return m_current; }
    // What plays for a name without a resource; the desktop's beep at first.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

private:
    bool canPlay();
    QSoundEffect *load(const QString &resource);

    Loading m_loading;
    QMediaDevices *m_devices = nullptr;   // watches the outputs from the first sound on
    bool m_hasOutput = false;
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_current = nullptr;
    std::function<void()> m_beep;
};
