#include "social/soundcues.h"

#include "protocol/wire.h"
#include "social/soundsink.h"

const std::array<SoundCues::Shout, SoundCues::shoutCount + 1> &SoundCues::shouts()
{
    static const std::array<Shout, shoutCount + 1> table{{
        {"Cancel1", 0, "<Cancel>"},
        {"wave1", 1, "Doh"},
        {"wave2", 2, "Cough"},
        {"wave3", 3, "Hello"},
        {"wave4", 4, "Thank You"},
        {"wave5", 5, "Where have you been?"},
        {"wave6", 6, "Snoring"},
        {"wave7", 7, "Sneezing"},
        {"wave8", 8, "Sorry"},
        {"wave9", 9, "Welcome"},
        {"wave10", 10, "Yeehaa"},
        {"wave11", 11, "Yippee"},
        {"wave12", 12, "Oh No"},
        {"wave13", 13, "Applause"},
        {"wave14", 14, "Honk"},
    }};
    return table;
}

const QStringList &SoundCues::resourceNames()
{
    static const QStringList names = [] {
        QStringList list{"clear", "entered", "gameover", "goodword", "goodwordthem", "invalid", "roundover",
                         "sendword", "tick", "timeup", "turn", "turnnew", "valid"};
        for (int n = 1; n <= shoutCount; ++n)
            list << QStringLiteral("wave%1").arg(n);
        return list;
    }();
    return names;
}

std::optional<QString> SoundCues::shoutCaption(const QString &item)
{
    for (const Shout &s : shouts())
        if (item.compare(QLatin1String(s.item), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(s.caption);
    return std::nullopt;
}

void SoundCues::play(const QString &name) const
{
    if (m_sink)
        m_sink->play(name);
}

void SoundCues::playsounds(const QString &name) const
{
    if (m_playSounds)
        play(name);
}

QString SoundCues::turnsound() const
{
    return m_turnSoundNew ? QStringLiteral("turnnew") : QStringLiteral("turn");
}

bool SoundCues::tickAt(int secondsleft)
{
    return secondsleft == 20 || secondsleft == 15 || (secondsleft >= 1 && secondsleft <= 10);
}

QByteArray SoundCues::shoutMessage(int n, int myseat, bool isconnected)
{
    if (n < 1 || n > shoutCount || myseat < 1 || myseat > playingSeats || !isconnected)
        return {};
    return Wire::message("CMD_playasound", {Wire::num(myseat), "wave" + Wire::num(n), ""});
}

QByteArray SoundCues::playasound(const QByteArray &payload, const LabelCaption &label) const
{
    const int cut = payload.indexOf(Wire::Separator);
    const QByteArray seat = cut < 0 ? payload : payload.left(cut);
    QByteArray name = cut < 0 ? QByteArray() : payload.mid(cut + 1);
    const int end = name.indexOf(Wire::Separator);
    if (end >= 0)
        name.truncate(end);
    const QString sound = QString::fromUtf8(name);
    if (m_chatterSounds) {
        play(sound);
        return {};
    }
    const std::optional<QString> who = label ? label(seat) : std::nullopt;
    const std::optional<QString> caption = shoutCaption(sound);
    if (!who || !caption)
        return {};
    return "0+" + who->toUtf8() + ": <Chatter Sound> " + caption->toUtf8();
}
