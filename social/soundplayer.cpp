#include "social/soundplayer.h"

#include "social/soundcues.h"

#include <QApplication>
#include <QAudioDevice>
#include <QSoundEffect>
#include <QUrl>

SoundPlayer::SoundPlayer(QObject *parent, Loading loading) : QObject(parent), m_beep(&QApplication::beep)
{
    // Without an output there is nothing to play on, and each effect made
    // then would only complain about it.
    if (loading == Loading::Always || !QMediaDevices::audioOutputs().isEmpty())
        load();
    connect(&m_devices, &QMediaDevices::audioOutputsChanged, this, [this] {
        if (m_effects.isEmpty() && !QMediaDevices::audioOutputs().isEmpty())
            load();
    });
}

SoundPlayer::~SoundPlayer() = default;

// setSource starts loading in the background; play() on an effect that is
// still loading plays it once it is ready.
void SoundPlayer::load()
{
    for (const QString &name : SoundCues::resourceNames()) {
        auto *effect = new QSoundEffect(this);
        effect->setObjectName(name);
        effect->setSource(QUrl(QStringLiteral("qrc:/zarvex/sounds/%1.wav").arg(name)));
        m_effects.insert(name, effect);
    }
}

const QSoundEffect *SoundPlayer::effect(const QString &name) const
{
    return m_effects.value(name.toLower());
}

void SoundPlayer::play(const QString &name)
{
    if (m_current) {
        m_current->stop();
        m_current = nullptr;
    }
    const QString resource = name.toLower();
    if (!SoundCues::resourceNames().contains(resource)) {
        if (m_beep)
            m_beep();
        return;
    }
    if (QSoundEffect *next = m_effects.value(resource)) {
        next->play();
        m_current = next;
    }
}
