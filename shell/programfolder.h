#pragma once

#include <QString>

// The folder that holds the settings, the tally and the tile sets: the
// program's own folder, or the one that ZARVEX_HOME names.
namespace ProgramFolder {

QString path();

// path() + "/" + name
QString file(const QString &name);

} // namespace ProgramFolder
