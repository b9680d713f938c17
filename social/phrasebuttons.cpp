#include "social/phrasebuttons.h"

#include "settings/clientsettings.h"
#include "settings/inifile.h"
#include "social/chatsender.h"

namespace {

bool inRange(int button)
{
    return button >= 1 && button <= PhraseButtons::Count;
}

} // namespace

PhraseButtons::PhraseButtons()
{
    for (int n = 1; n <= Count; ++n)
        m_phrases[size_t(n)] = builtIn(n);
}

QString PhraseButtons::builtIn(int button)
{
    static const char *const defaults[Count + 1] = {
        "",
        "Way To Go!",
        "Good One!",
        "Nice Try!",
        "Excellent!",
        "Brilliant!",
        "Wow, WTG!",
        "Thanks!",
        "Way To Go Teamie!",
        "Good Game Everyone!",
        "/me waves \"Good-Bye\"",
    };
    return inRange(button) ? QString::fromLatin1(defaults[button]) : QString();
}

QString PhraseButtons::phrase(int button) const
{
    return inRange(button) ? m_phrases[size_t(button)] : QString();
}

QStringList PhraseButtons::phrases() const
{
    QStringList all;
    for (int n = 1; n <= Count; ++n)
        all << m_phrases[size_t(n)];
    return all;
}

void PhraseButtons::setPhrase(int button, const QString &text)
{
    if (inRange(button))
        m_phrases[size_t(button)] = text;
}

void PhraseButtons::setPhrases(const QStringList &texts)
{
    for (int n = 1; n <= Count && n <= texts.size(); ++n)
        setPhrase(n, texts.at(n - 1));
}

QString PhraseButtons::save(const QString &path) const
{
    IniFile::Entries entries;
    for (int n = 1; n <= Count; ++n)
        entries.append({QStringLiteral("Phrase%1").arg(n), m_phrases[size_t(n)]});
    IniFile file(path);
    if (file.writeStrings(ClientSettings::Section, entries))
        return QString();
    return file.errorString();
}

void PhraseButtons::setLoadedPhrase(int button, const QString &text)
{
    if (!text.isEmpty())
        setPhrase(button, text);
}

QString PhraseButtons::actionText(const QString &phrase)
{
    if (phrase.startsWith(QLatin1String("/me ")))
        return phrase.mid(4);
    return QStringLiteral("says: ") + phrase;
}

bool PhraseButtons::b_phrase1Click(int button, ChatSender &sender)
{
    if (button < 1 || button >= Count || !m_phraseready)
        return false;
    sender.action(actionText(m_phrases[size_t(button)]));
    m_phraseready = false;
    if (m_onCooling)
        m_onCooling();
    return true;
}

void PhraseButtons::tick()
{
    if (!m_phraseready && ++m_phraseticks > CooldownTicks) {
        m_phraseready = true;
        m_phraseticks = 0;
    }
}
