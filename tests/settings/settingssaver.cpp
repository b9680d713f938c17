// settings_saver PATH: saves the settings file over and over until it is
// killed, each time with every key set to the number of the save, counting
// on from the number the file already holds. Says
// "saving" on standard output once the first save has landed.

#include "settings/inifile.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 2;
    IniFile ini(QString::fromLocal8Bit(argv[1]));
    const qint64 first = ini.readString(QStringLiteral("Zarvex"), QStringLiteral("Key1")).toLongLong() + 1;
    for (qint64 n = first;; ++n) {
        IniFile::Entries entries;
        for (int k = 1; k <= 40; ++k)
            entries.append({QStringLiteral("Key%1").arg(k), QString::number(n)});
        if (!ini.writeStrings(QStringLiteral("Zarvex"), entries)) {
            std::fprintf(stderr, "%s\n", qPrintable(ini.errorString()));
            return 1;
        }
        if (n == first) {
            std::printf("saving\n");
            std::fflush(stdout);
        }
    }
}
