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
// folder of the user's under the temporary folder when that is not set.
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

private:
    QString m_folder;
    QString m_key;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
