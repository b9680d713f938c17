#pragma once

#include "settings/installpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStringList>

// Where the program looks for its own libraries, loaded when first needed
// (the speakers, the web door): its own folder, which is where a build puts
// them, then the folder they are installed in.
namespace PrivateLibraries {

inline QStringList folders()
{
    const QString programs = QCoreApplication::applicationDirPath();
    return {programs, QDir::cleanPath(programs + QLatin1Char('/') + QStringLiteral(ZARVEX_LIBDIR_FROM_BINDIR))};
}

} // namespace PrivateLibraries
