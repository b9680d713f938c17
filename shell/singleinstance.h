#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;

// One running copy per user. The first copy holds a lock file named after
// the key and listens on a local socket beside it; a later copy finds the
// lock taken, asks the first copy over that socket to bring its main window
// forward, and leaves. Both files live in $XDG_RUNTIME_DIR, or in a private
// folder of the user's under the temporary folder when that is not set. When
// that folder is not private (another user made it, or opened it), the lock
// file alone guards the user's copies, from the user's cache folder.
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

    // Once the application runs: calls activate whenever a later copy asks.
    void serveActivation(std::function<void()> activate);

    QString lockPath() const;
    QString socketPath() const;
    // Whether a later copy can ask this one to come forward.
    bool activates() const { return m_place.activation; }

    struct Place
    {
        QString folder;
        bool activation;   // the activation socket lives there too
    };

private:
    Place m_place;
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
