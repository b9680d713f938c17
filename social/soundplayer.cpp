#include "social/soundplayer.h"

#include <QApplication>
#include <QAudioDevice>
#include <QDir>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

SoundPlayer::SoundPlayer(QObject *parent, Loading loading)
    : QObject(parent), m_loading(loading), m_beep(&QApplication::beep)
{
}

SoundPlayer::~SoundPlayer() = default;

// The sounds are the files of the resource folder, named in small letters.
const QStringList &SoundPlayer::names()
{
    static const QStringList list = [] {
        QStringList found;
        for (const QString &file : QDir(QStringLiteral(":/zarvex/sounds")).entryList({}, QDir::Files, QDir::Name))
            if (file.endsWith(QLatin1String(".wav")))
                found << file.chopped(4);
        return found;
    }();
    return list;
}

// The first sound brings up the sound service and the watch on the outputs.
// Without an output there is nothing to play on, and each effect made then
// would only complain about it.
bool SoundPlayer::canPlay()
{
    if (m_loading == Loading::Always)
        return true;
    if (!m_devices) {
        m_devices = new QMediaDevices(this);
        m_hasOutput = !QMediaDevices::audioOutputs().isEmpty();
        connect(m_devices, &QMediaDevices::audioOutputsChanged, this,
                [this] { m_hasOutput = !QMediaDevices::audioOutputs().isEmpty(); });
    }
    return m_hasOutput;
}

// setSource starts loading in the background; play() on an effect that is
// still loading plays it once it is ready.
QSoundEffect *SoundPlayer::load(const QString &resource)
{
    QSoundEffect *&effect = m_effects[resource];
    if (!effect) {
        effect = new QSoundEffect(this);
        effect->setObjectName(resource);
        effect->setSource(QUrl(QStringLiteral("qrc:/zarvex/sounds/%1.wav").arg(resource)));
    }
    return effect;
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
    if (!names().contains(resource)) {
        if (m_beep)
            m_beep();
        return;
    }
    if (!canPlay())
        return;
    QSoundEffect *next = load(resource);
    next->play();
    m_current = next;
}
