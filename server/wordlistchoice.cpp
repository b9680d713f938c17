#include "server/wordlistchoice.h"

#include "server/dictionary.h"
#include "server/tserver.h"
#include "server/wordlist.h"
#include "settings/inifile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

WordListChoice::WordListChoice(QString settingsFile) : m_settingsFile(std::move(settingsFile)) {}

WordListChoice::~WordListChoice() = default;

QString WordListChoice::load()
{
    const QString stored = IniFile(m_settingsFile).readString(Section, Key);
    if (stored.isEmpty()) {
        use(nullptr);
        return QString();
    }
    // A path typed into the file by hand may be relative to it.
    const QString path = QFileInfo(m_settingsFile).dir().absoluteFilePath(stored);
    auto list = std::make_shared<const WordList>(WordList::readFile(path));
    const QString refusal = list->refusal();
    if (!refusal.isEmpty()) {
        use(nullptr);
        return refusal + QStringLiteral(" Words come from the built-in list.");
    }
    use(std::move(list));
    return QString();
}

QString WordListChoice::choose(const QString &path)
{
    const QString full = QFileInfo(path).absoluteFilePath();
    if (full.contains(u'\n') || full.contains(u'\r') || full.size() > IniFile::maxValueLength)
        return QStringLiteral("The path of the word list %1 cannot be kept in the settings.").arg(full);
    auto list = std::make_shared<const WordList>(WordList::readFile(full));
    const QString refusal = list->refusal();
    if (!refusal.isEmpty())
        return refusal;
    use(std::move(list));
    return store(full);
}

QString WordListChoice::useBuiltIn()
{
    use(nullptr);
    return store(QString());
}

// The reader drops surrounding blanks and one pair of enclosing quotes, so a
// path that has either is kept in quotes.
QString WordListChoice::store(const QString &path)
{
    const bool quoted = !path.isEmpty()
        && (path.front().isSpace() || path.back().isSpace() || (path.front() == u'"' && path.back() == u'"'));
    IniFile settings(m_settingsFile);
    if (!settings.writeString(Section, Key, quoted ? u'"' + path + u'"' : path))
        return settings.errorString();
    return QString();
}

void WordListChoice::use(std::shared_ptr<const WordList> list)
{
    m_list = std::move(list);
    if (m_server)
        m_server->setWordList(m_list);
}

void WordListChoice::setServer(TServer *server)
{
    m_server = server;
    if (m_server)
        m_server->setWordList(m_list);
}

QString WordListChoice::description() const
{
    if (m_list)
        return m_list->summary();
    return QStringLiteral("Built-in list: %1 words.").arg(QLocale::c().toString(Dictionary::count()));
}
