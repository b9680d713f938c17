#include "settings/aboutlink.h"

#include "settings/installpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

const QString readmeName = QStringLiteral("README.md");

AboutLink webLink(QString address)
{
    address = address.trimmed();
    if (!address.contains(QLatin1String("://")))
        address.prepend(QLatin1String("http://"));
    const QUrl url(address, QUrl::StrictMode);
    QString text = url.toString(QUrl::RemoveScheme | QUrl::StripTrailingSlash);
    if (text.startsWith(QLatin1String("//")))
        text.remove(0, 2);
    while (text.endsWith(QLatin1Char('/')))
        text.chop(1);
    return {text, url};
}

AboutLink fileLink(const QString &path)
{
    return {QDir::toNativeSeparators(path), QUrl::fromLocalFile(path)};
}

} // namespace

AboutLink AboutLink::resolve(const QString &homepage, const QString &applicationDir,
                             const QString &docDirFromBinDir, const QString &installedDocDir)
{
    if (!homepage.trimmed().isEmpty())
        return webLink(homepage);
    // Beside the running program first: a copy installed under another
    // prefix, or unpacked from a package, still finds its own README.
    if (!applicationDir.isEmpty()) {
        const QString beside =
            QDir::cleanPath(applicationDir + QLatin1Char('/') + docDirFromBinDir + QLatin1Char('/') + readmeName);
        if (QFileInfo(beside).isFile())
            return fileLink(beside);
    }
    return fileLink(QDir::cleanPath(installedDocDir + QLatin1Char('/') + readmeName));
}

AboutLink AboutLink::forThisProgram()
{
    const QString applicationDir =
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    return resolve(QStringLiteral(ZARVEX_HOMEPAGE), applicationDir,
                   QStringLiteral(ZARVEX_DOCDIR_FROM_BINDIR), QStringLiteral(ZARVEX_FULL_DOCDIR));
}
