#include "social/soundplayer.h"

#include "social/soundcues.h"

#include <QApplication>
#include <QSoundEffect>
#include <QUrl>

SoundPlayer::SoundPlayer(QObject *parent) : QObject(parent), m_beep(&QApplication::beep)
{
    // setSource starts loading in the background; play() on an effect that
    // is still loading plays it once it is ready.
    for (const QString &name : SoundCues::resourceNames()) {
        auto *effect = new QSoundEffect(this);
        effect->setObjectName(name);
        effect->setSource(QUrl(QStringLiteral("qrc:/zarvex/sounds/%1.wav").arg(name)));
        m_effects.insert(name, effect);
    }
}

SoundPlayer::~SoundPlayer() = default;

const QSoundEffect *SoundPlayer::effect(const QString &name) const
{
    return m_effects.value(name.toLower());
}

void SoundPlayer::play(const QString &name)
{
    QSoundEffect *next = m_effects.value(name.toLower());
    if (m_current) {
        m_current->stop();
        m_current = nullptr;
    }
    if (!next) {
        if (m_beep)
            m_beep();
        return;
    }
    next->play();
    m_current = next;
}
