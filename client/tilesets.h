#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class ClientSettings;

// The tile sets a player can choose from the "Tiles" menu: bitmap strips in
// the "zarvextiles" folders, one menu item per set, the set named after its
// file up to the first ".". Which set is in use is remembered in the
// settings as "Tiles"; the built-in set has no item and is called "classic".
// The pictures themselves are the window's business: it hears of a new
// strip through tilesChanged().
class TileSets : public QObject
{
    Q_OBJECT

public:
    static const QString FolderName;     // "zarvextiles"
    // A menu item's name is the set's name with this appended.
    static const QString ItemSuffix;     // "3"

    struct Set
    {
        QString name;
        QString path;
    };

    explicit TileSets(ClientSettings &settings, QObject *parent = nullptr);

    // grouptilesmenu: lists "*.bmp" in the "zarvextiles" folder of each of
    // the folders, in order. A file whose set name is not an identifier, or
    // whose item name would clash with another set or with one of the
    // window's component names, gets no item and a line on standard error;
    // the scan goes on.
    void grouptilesmenu(const QStringList &folders, const QStringList &componentNames = {});
    const QList<Set> &sets() const { return m_sets; }
    // The lines the last scan wrote on standard error.
    const QStringList &problems() const { return m_problems; }

    // Reads a set's file and puts its tiles in use; answers false when the
    // file cannot be read as a picture. The window gives it; without one
    // every file is taken as it is.
    using StripLoader = std::function<bool(const QString &path)>;
    void setStripLoader(StripLoader loader) { m_loader = std::move(loader); }

    // loadgrouptiles: switches to the set when its file exists and can be
    // read, checks its item and makes it the set in use; answers whether it
    // switched. A file that is no picture goes to the error report and
    // changes nothing.
    bool loadgrouptiles(const QString &name);
    // grouptilesmenuClick: the set chosen from the menu; its name is saved
    // even when its file has gone, but not when the file is no picture.
    void grouptilesmenuClick(const QString &name);

    // The set whose item is checked, or empty for the built-in set.
    QString checked() const { return m_checked; }
    // The strip in use, empty for the built-in set.
    QString currentFile() const { return m_currentFile; }

    static QString setName(const QString &fileName);
    static bool isIdentifier(const QString &name);
    // A stored "Tiles" value that leaves the built-in set: empty, or
    // "classic" in any letter case.
    static bool keepsBuiltIn(const QString &stored);

signals:
    // A new strip is in use: the window replaces its tiles from the file and
    // redraws the board and the letter slots.
    void tilesChanged(const QString &path);
    // The checked item changed (possibly to none).
    void checkedChanged(const QString &name);

private:
    enum class Load { Switched, Missing, Unreadable };
    Load load(const QString &name);
    void settingsLoaded(const QString &stored);
    const Set *find(const QString &name) const;

    ClientSettings &m_settings;
    StripLoader m_loader;
    QStringList m_folders;
    QList<Set> m_sets;
    QStringList m_problems;
    QString m_checked;
    QString m_currentFile;
};
