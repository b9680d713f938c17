#include "social/speakers.h"

#include "shell/privatelibraries.h"
#include "social/soundcues.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>

#include <sys/stat.h>

Speakers::Speakers(QObject *parent, QStringList folders, std::function<bool()> serverReachable)
    : QObject(parent), m_folders(std::move(folders)),
      m_serverReachable(serverReachable ? std::move(serverReachable) : &Speakers::soundServerReachable),
      m_beep(&QApplication::beep)
{
}

bool Speakers::soundServerIn(const QString &pulseServer, const QString &runtimeFolder, const QString &systemFolder)
{
    if (!pulseServer.trimmed().isEmpty())
        return true;
    const auto socketAt = [](const QString &folder) {
        struct stat info {};
        return !folder.isEmpty() && ::stat(QFile::encodeName(folder + QStringLiteral("/native")).constData(), &info) == 0
               && S_ISSOCK(info.st_mode);
    };
    return socketAt(runtimeFolder.isEmpty() ? QString() : runtimeFolder + QStringLiteral("/pulse"))
           || socketAt(systemFolder);
}

bool Speakers::soundServerReachable()
{
    return soundServerIn(qEnvironmentVariable("PULSE_SERVER"), qEnvironmentVariable("XDG_RUNTIME_DIR"));
}

QStringList Speakers::defaultFolders()
{
    return PrivateLibraries::folders();
}

void Speakers::load()
{
    m_tried = true;
    for (const QString &folder : m_folders) {
        const QString path = QDir(folder).filePath(QLatin1String(LibraryName));
        if (!QFileInfo::exists(path))
            continue;
        // Kept loaded for the rest of the run: the sink lives in it.
        QLibrary library(path);
        if (auto make = reinterpret_cast<Maker>(library.resolve(EntryPoint))) {
            m_sink = make(this);
            return;
        }
    }
}

void Speakers::play(const QString &name)
{
    if (!m_tried && m_serverReachable())
        load();
    if (m_sink)
        m_sink->play(name);
    else if (!SoundCues::resourceNames().contains(name.toLower()) && m_beep)
        m_beep();
}
