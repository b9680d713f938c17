// The settings file: the player's settings read from it, then one key
// written into it, which rewrites the file around its other lines.

#include "fuzz/fuzzsupport.h"
#include "settings/clientsettings.h"
#include "settings/inifile.h"

#include <QFile>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::application();
    const QString path = FuzzSupport::scratch(ClientSettings::FileName);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        FuzzSupport::broken("cannot write the scratch settings file");
    file.write(FuzzSupport::bytes(data, size));
    file.close();

    ClientSettings settings(path);
    settings.loadinifile();
    IniFile ini(path);
    if (ini.writeString(ClientSettings::Section, QStringLiteral("TextSize"), QStringLiteral("12"))
        && ini.readString(ClientSettings::Section, QStringLiteral("textsize")) != QLatin1String("12"))
        FuzzSupport::broken("a written key does not read back");
    return 0;
}
