#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

class SoundSink;

// Which sound plays when: game events only while "Play Sounds" is checked,
// shouts only while "Play Chatter Sounds" is (otherwise a chat line names
// them), the turn sound of the player's choice, and the clock's ticks. What
// it decides to hear goes to a SoundSink; with none set, nothing plays.
class SoundCues
{
public:
    // One item of the shout menu: its name, its tag (the shout number) and
    // its caption, which is also its hint.
    struct Shout
    {
        const char *item;
        int tag;
        const char *caption;
    };
    static constexpr int shoutCount = 14;
    // Seats 1 to 6 play; only they may shout.
    static constexpr int playingSeats = 6;
    // "<Cancel>" first, then the fourteen shouts in menu order.
    static const std::array<Shout, shoutCount + 1> &shouts();
    // The caption of the shout menu item of that name, in any letter case.
    static std::optional<QString> shoutCaption(const QString &item);

    // The names of all sound resources: the game events, then wave1 to
    // wave14, the shouts.
    static const QStringList &resourceNames();

    explicit SoundCues(SoundSink *sink = nullptr) : m_sink(sink) {}
    void setSink(SoundSink *sink) { m_sink = sink; }

    // The three options, in their states before the settings are read.
    void setPlaySounds(bool on) { m_playSounds = on; }
    bool playSounds() const { return m_playSounds; }
    void setChatterSounds(bool on) { m_chatterSounds = on; }
    bool chatterSounds() const { return m_chatterSounds; }
    // The turn sound: "New" (true) or "Classic" (false).
    void setTurnSoundNew(bool on) { m_turnSoundNew = on; }
    bool turnSoundNew() const { return m_turnSoundNew; }

    // A game event's sound: plays while "Play Sounds" is checked.
    void playsounds(const QString &name) const;
    // The sound that marks the start of this player's turn.
    QString turnsound() const;
    // Whether the turn clock ticks audibly with this many seconds left.
    static bool tickAt(int secondsleft);

    // The message that sends shout n from this seat, or nothing: for
    // "<Cancel>" (0), a number that is no shout, a seat that does not play
    // (spectators, 0 before the login) or a client that is not connected.
    static QByteArray shoutMessage(int n, int myseat, bool isconnected);

    // The caption of the name label for a seat text, when such a label
    // exists.
    using LabelCaption = std::function<std::optional<QString>(const QByteArray &seat)>;
    // A relayed shout (seat "+" sound name "+"): played while "Play Chatter
    // Sounds" is checked, whatever "Play Sounds" says. Otherwise answers the
    // status line that names it ("0+" name ": <Chatter Sound> " caption),
    // or nothing when the seat has no label or the sound no menu item.
    QByteArray playasound(const QByteArray &payload, const LabelCaption &label) const;

private:
    void play(const QString &name) const;

    SoundSink *m_sink = nullptr;
    bool m_playSounds = true;
    bool m_chatterSounds = false;
    bool m_turnSoundNew = false;
};
