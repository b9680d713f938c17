#pragma once

#include "social/soundsink.h"

#include <QHash>
#include <QMediaDevices>
#include <QObject>
#include <QString>
#include <functional>

class QSoundEffect;

// The speakers: every sound resource loaded once and played by name
// without waiting. One sound at a time: a new one cuts off the one still
// playing. A name without a resource gives the desktop's beep. Without an
// audio device, or when a file fails to load, playing does nothing and says
// nothing; the game goes on.
class SoundPlayer : public QObject, public SoundSink
{
    Q_OBJECT

public:
    // When to load the sounds: as soon as an audio output exists (at once,
    // or when the first one appears), or at once even without one.
    enum class Loading { WithAnAudioOutput, Always };

    explicit SoundPlayer(QObject *parent = nullptr, Loading loading = Loading::WithAnAudioOutput);
    ~SoundPlayer() override;

    // name: any letter case.
    void play(const QString &name) override;

    // The loaded effect of that name, or null.
    const QSoundEffect *effect(const QString &name) const;
    // The sound started last and not cut off since, or null.
    const QSoundEffect *current() const { return m_current; }
    // What plays for a name without a resource; the desktop's beep at first.
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

private:
    void load();

    QMediaDevices m_devices;
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_current = nullptr;
    std::function<void()> m_beep;
};
