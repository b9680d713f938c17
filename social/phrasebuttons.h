#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

class ChatSender;

// The ten phrase buttons above the chat, without the widgets: each button's
// phrase (its tooltip), and the cooldown that lets buttons 1 to 9 send one
// phrase at a time. Button 10 opens the shout menu; its phrase is only its
// tooltip.
class PhraseButtons
{
public:
    static constexpr int Count = 10;
    // Dispatch ticks after a phrase before the next one may go: more than
    // 100, at 10 ms a tick.
    static constexpr int CooldownTicks = 100;

    PhraseButtons();

    static QString builtIn(int button);

    // The phrase of button 1 to 10; empty for any other number.
    QString phrase(int button) const;
    QStringList phrases() const;
    // The player's edit: any text, empty included.
    void setPhrase(int button, const QString &text);
    // The dialog's ten texts, for buttons 1 to 10 in order.
    void setPhrases(const QStringList &texts);
    // Writes the ten phrases under "Phrase1" to "Phrase10" of the section
    // "Zarvex" of the settings file at path, in one write that leaves every
    // other key as it was. Answers the error text, empty when written.
    QString save(const QString &path) const;
    // A phrase from the settings: an empty one leaves the phrase as it is.
    void setLoadedPhrase(int button, const QString &text);

    // Button 1 to 9 pressed: while ready, its phrase goes as an action,
    // "says: " and the phrase, or the phrase without a leading "/me ".
    // Answers whether it went.
    bool b_phrase1Click(int button, ChatSender &sender);
    // What button n sends.
    static QString actionText(const QString &phrase);

    bool phraseready() const { return m_phraseready; }
    int phraseticks() const { return m_phraseticks; }
    // One tick of the dispatch timer.
    void tick();
    // Called as a phrase goes and the cooldown starts: the owner keeps its
    // dispatch timer running until the cooldown has been counted.
    void setOnCooling(std::function<void()> onCooling) { m_onCooling = std::move(onCooling); }

private:
    std::array<QString, Count + 1> m_phrases;
    bool m_phraseready = true;
    int m_phraseticks = 0;
    std::function<void()> m_onCooling;
};
