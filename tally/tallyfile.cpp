#include "tally/tallyfile.h"

#include "shell/boundedfile.h"
#include "shell/programfolder.h"
#include "tally/etallyexception.h"
#include "tally/tallytable.h"
#include "tally/tlzrw1.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

namespace TallyFile {

namespace {

[[noreturn]] void refuse(const QString &fileName, const QString &reason)
{
    throw ETallyException(fileName + QStringLiteral(" : Tally : ") + reason);
}

} // namespace

QString path()
{
    return ProgramFolder::file(QStringLiteral("Zarvex") + QStringLiteral("tally.tld"));
}

TallyTable read(const QString &fileName)
{
    const BoundedFile file = BoundedFile::read(fileName, MaxFileSize);
    if (file.status() == BoundedFile::TooLarge)
        refuse(fileName, QStringLiteral("the file is too large for a tally"));
    if (!file.isRead())
        refuse(fileName, QStringLiteral("the file cannot be read: ") + file.reason());
    const QByteArray &container = file.bytes();
    // The size a container announces bounds what decoding it may produce;
    // anything else is left to the compressor to refuse.
    const bool identified = container.startsWith("WRZL") || container.startsWith("!HZL");
    if (identified && container.size() >= 8 && qFromLittleEndian<quint32>(container.constData() + 4) > MaxTextSize)
        refuse(fileName, QStringLiteral("the file announces more data than a tally holds"));

    Tlzrw1 lzrw1;
    lzrw1.UseStream = true;
    lzrw1.setInputData(container, fileName);
    lzrw1.Decompress();
    try {
        return TallyTable::LoadGridText(lzrw1.outputData());
    } catch (const ETallyException &e) {
        throw ETallyException(fileName + QStringLiteral(" : ") + e.text());
    }
}

void write(const QString &fileName, const TallyTable &table)
{
    Tlzrw1 lzrw1;
    lzrw1.UseStream = true;
    lzrw1.CompressMode = Tlzrw1::Fast;
    lzrw1.setInputData(table.SaveGridText());
    lzrw1.Compress();
    const QByteArray container = lzrw1.outputData();

    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(container) != container.size() || !file.commit())
        refuse(fileName, QStringLiteral("the file cannot be written: ") + file.errorString());
}

QString keepDamaged(const QString &fileName)
{
    // A rename never replaces a file that is already there, so an earlier
    // kept copy survives even when another copy of the program does the same.
    for (int n = 1; n <= MaxKeptDamaged; ++n) {
        const QString aside = fileName + QStringLiteral(".damaged")
                              + (n == 1 ? QString() : QLatin1Char('-') + QString::number(n));
        if (QFile::rename(fileName, aside))
            return aside;
        if (!QFileInfo::exists(aside) && !QFileInfo(aside).isSymLink())
            return QString();
    }
    return QString();
}

} // namespace TallyFile
