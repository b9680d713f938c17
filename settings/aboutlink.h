#pragma once

#include <QString>
#include <QUrl>

// What the about window's address label shows and opens: the game's home
// page when the build names one, otherwise the README installed with the
// program.
struct AboutLink
{
    QString text;
    QUrl url;

    // homepage: as the build names it, empty for none; an address without a
    // scheme is a web address ("http://" is put in front). The README is
    // looked for at applicationDir + "/" + docDirFromBinDir, then in
    // installedDocDir, whose README is named when neither holds one.
    static AboutLink resolve(const QString &homepage, const QString &applicationDir,
                             const QString &docDirFromBinDir, const QString &installedDocDir);

    // The same for this build and the running program.
    static AboutLink forThisProgram();
};
