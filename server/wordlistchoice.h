#pragma once

#include <QString>
#include <memory>

class TServer;
class WordList;

// The host's choice of word list in the player's window. The choice lives
// under the key "Wordlist" in the program's section of the settings file (a
// file's path, empty for the built-in list) and goes to the server that the
// window hosts with, which plays it from the next game start on.
//
// A list that cannot be read or serves no game type is refused, and the list
// in use stays.
class WordListChoice
{
public:
    static inline const QString Section = QStringLiteral("Zarvex");
    static inline const QString Key = QStringLiteral("Wordlist");

    explicit WordListChoice(QString settingsFile);
    ~WordListChoice();

    // Reads the stored choice and the list it names. When that list can no
    // longer be used, the built-in list serves and the answer is a status
    // line saying why; otherwise the answer is empty. The stored choice is
    // left as it is, so a list on a drive that comes back serves again.
    QString load();

    // Reads the file and, when it is usable, makes it the list in use and
    // stores its full path. Answers why the list was refused, or why the
    // choice could not be stored (the list is used all the same), or empty.
    QString choose(const QString &path);
    // Back to the built-in list; answers why the choice could not be
    // stored, or empty.
    QString useBuiltIn();

    // The list in use; none for the built-in list.
    std::shared_ptr<const WordList> list() const { return m_list; }
    // What the list in use is, as the host is shown it.
    QString description() const;

    // The server given the list now and at every change; none to stop.
    void setServer(TServer *server);

private:
    QString store(const QString &path);
    void use(std::shared_ptr<const WordList> list);

    QString m_settingsFile;
    std::shared_ptr<const WordList> m_list;
    TServer *m_server = nullptr;
};
