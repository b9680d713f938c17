#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QSocketNotifier;

// One running copy per user. The first copy binds a local socket under a
// name in the system's abstract socket namespace, made of the key and the
// user's id, so every start of one user finds it whatever its environment
// says; the name goes with the process, however it ends. A later copy finds
// the name taken, checks that the copy holding it runs as the same user,
// asks it over the socket to bring its main window forward, and leaves.
//
// A copy started with a program folder of its own (ZARVEX_HOME) keeps its
// own settings and tally, so the name holds that folder too: such copies
// run beside the player's usual one, and tests keep their copies apart.
//
// When another user holds the name, to lock every start out, the copies
// meet by a lock file in the user's own cache folder instead, and a second
// copy leaves without bringing the first forward.
class SingleInstance : public QObject
{
    Q_OBJECT

public:
    explicit SingleInstance(const QString &key);
    ~SingleInstance() override;

    // Answers true when another copy already runs; with activate set it also
    // asks that copy to restore or raise its main window. Needs no
    // application object, so it can run before anything else starts.
    bool CheckPreviousInstance(bool activate);

    // Once the application runs: calls activate whenever a later copy of
    // the same user asks.
    void serveActivation(std::function<void()> activate);

    // The socket's name in the abstract namespace, without its leading 0.
    QByteArray meetingName() const { return m_name; }
    // The lock file used when another user holds that name.
    QString lockPath() const;
    // Whether a later copy can ask this one to come forward.
    bool activates() const { return m_listener >= 0; }

private:
    bool checkByLockFile();

    QByteArray m_name;
    int m_listener = -1;
    std::unique_ptr<QLockFile> m_lock;
    QSocketNotifier *m_notifier = nullptr;
};
