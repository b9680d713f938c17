#pragma once

#include <QString>
#include <QStringList>

// Where the program keeps its files (the settings, the tally and the tile
// folder), decided in one place for the whole program:
//  1. the folder that ZARVEX_HOME names, when it is set;
//  2. else the executable's folder, when it can be written (a copy unpacked
//     somewhere of the player's own keeps its files beside itself);
//  3. else the per-user data folder, so that a copy installed in a read-only
//     folder still keeps its settings.
// The folder is created when it does not exist yet.
namespace ProgramFolder {

QString path();

// The folder that ZARVEX_HOME names, absolute and with links resolved
// (once it exists); empty when the variable is not set.
QString home();

// path() + "/" + name
QString file(const QString &name);

// The rule above on given inputs, for path() and for tests: the home folder
// (empty when unset), the executable's folder and the per-user data folder.
QString resolve(const QString &home, const QString &executableFolder, const QString &userData);

// The folder that an installed copy's shared data lies in (share/zarvex next
// to the bin folder of the executable), or an empty text when there is none.
QString installedDataFolder();

// Every folder that may hold a subfolder of shipped or player's data, the
// program's folder first, each one once: the program's folder and the
// installed data folder.
QStringList dataFolders();

} // namespace ProgramFolder
