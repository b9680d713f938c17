#include "client/tilesets.h"

#include "settings/clientsettings.h"
#include "shell/errorreport.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

const QString TileSets::FolderName = QStringLiteral("zarvextiles");
const QString TileSets::ItemSuffix = QStringLiteral("3");

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

} // namespace

TileSets::TileSets(ClientSettings &settings, QObject *parent)
    : QObject(parent), m_settings(settings)
{
    connect(&m_settings, &ClientSettings::tilesLoaded, this, &TileSets::settingsLoaded);
}

QString TileSets::setName(const QString &fileName)
{
    const QString base = QFileInfo(fileName).fileName();
    const int dot = base.indexOf(QLatin1Char('.'));
    return dot < 0 ? base : base.left(dot);
}

bool TileSets::isIdentifier(const QString &name)
{
    if (name.isEmpty() || name.front().isDigit())
        return false;
    for (const QChar c : name)
        if (!isAsciiLetter(c) && !(c >= QLatin1Char('0') && c <= QLatin1Char('9')) && c != QLatin1Char('_'))
            return false;
    return true;
}

bool TileSets::keepsBuiltIn(const QString &stored)
{
    return stored.isEmpty() || stored.compare(QLatin1String("classic"), Qt::CaseInsensitive) == 0;
}

void TileSets::grouptilesmenu(const QStringList &folders, const QStringList &componentNames)
{
    m_folders.clear();
    m_sets.clear();
    m_problems.clear();
    QStringList seenFolders;
    for (const QString &folder : folders) {
        const QString tiles = QDir(folder).filePath(FolderName);
        const QString canonical = QFileInfo(tiles).canonicalFilePath();
        if (canonical.isEmpty() || seenFolders.contains(canonical))
            continue;
        seenFolders << canonical;
        m_folders << tiles;
        // The ending is compared here rather than by a name filter, which
        // would bring up a regular expression engine for it.
        const QFileInfoList files = QDir(tiles).entryInfoList(QDir::Files | QDir::Hidden | QDir::System,
                                                              QDir::Name | QDir::IgnoreCase);
        for (const QFileInfo &file : files) {
            if (!file.fileName().endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive))
                continue;
            const QString name = setName(file.fileName());
            QString problem;
            if (!isIdentifier(name))
                problem = QStringLiteral("its name \"%1\" is not made of letters, digits and underscores").arg(name);
            else if (find(name))
                problem = QStringLiteral("another tile set is already called \"%1\"").arg(name);
            else if (componentNames.contains(name + ItemSuffix, Qt::CaseInsensitive))
                problem = QStringLiteral("the name \"%1\" is taken by the window").arg(name);
            if (problem.isEmpty()) {
                m_sets.append({name, file.absoluteFilePath()});
            } else {
                const QString line = QStringLiteral("Tile set %1 left out: %2").arg(file.absoluteFilePath(), problem);
                m_problems << line;
                std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
            }
        }
    }
}

const TileSets::Set *TileSets::find(const QString &name) const
{
    for (const Set &set : m_sets)
        if (set.name.compare(name, Qt::CaseInsensitive) == 0)
            return &set;
    return nullptr;
}

bool TileSets::loadgrouptiles(const QString &name)
{
    return load(name) == Load::Switched;
}

TileSets::Load TileSets::load(const QString &name)
{
    QString path;
    QString setname = name;
    if (const Set *set = find(name)) {
        path = set->path;
        setname = set->name;
    } else if (isIdentifier(name)) {
        // A file put there after the menu was built still loads, but has no
        // item to check. Only plain names are looked up: a stored value never
        // leads out of the tile folders.
        for (const QString &folder : m_folders) {
            const QString candidate = QDir(folder).filePath(name + QStringLiteral(".bmp"));
            if (QFileInfo(candidate).isFile()) {
                path = candidate;
                break;
            }
        }
    }
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return Load::Missing;
    if (m_loader && !m_loader(path)) {
        ErrorReport::show(QStringLiteral("The tile set \"%1\" could not be read as a picture: %2").arg(setname, path));
        return Load::Unreadable;
    }
    const QString checked = find(name) ? setname : QString();
    if (checked != m_checked) {
        m_checked = checked;
        emit checkedChanged(m_checked);
    }
    m_settings.setCurrenttiles(setname);
    m_currentFile = path;
    emit tilesChanged(path);
    return Load::Switched;
}

void TileSets::grouptilesmenuClick(const QString &name)
{
    if (load(name) != Load::Unreadable)
        m_settings.tilesChosen(name);
}

void TileSets::settingsLoaded(const QString &stored)
{
    if (!keepsBuiltIn(stored))
        loadgrouptiles(stored);
}
