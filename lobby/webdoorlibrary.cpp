#include "lobby/webdoorlibrary.h"

#include "server/webdoorentry.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

LazyPageDoor::Maker WebDoorLibrary::maker(TServer &server, Ticker::Mode timers, QStringList folders)
{
    return [&server, timers, folders](int listeningSocket, QString &error, QObject *parent) -> PageDoor * {
        for (const QString &folder : folders) {
            const QString path = QDir(folder).filePath(QLatin1String(WebDoorEntry::LibraryName));
            if (!QFileInfo::exists(path))
                continue;
            QLibrary library(path);   // stays loaded: the door lives in it
            const auto make = reinterpret_cast<WebDoorEntry::Function>(library.resolve(WebDoorEntry::Name));
            if (!make) {
                error = QStringLiteral("the browser page's library %1 cannot be loaded (%2)")
                            .arg(path, library.errorString());
                return nullptr;
            }
            return make(&server, int(timers), listeningSocket, &error, parent);
        }
        error = QStringLiteral("the browser page's library %1 is not installed")
                    .arg(QLatin1String(WebDoorEntry::LibraryName));
        return nullptr;
    };
}
