#include "tally/tallystore.h"

#include "tally/elzrw1exception.h"
#include "tally/etallyexception.h"
#include "tally/tallyfile.h"

#include <QFileInfo>
#include <QSet>

TallyStore::TallyStore(const QString &fileName, QObject *parent) : QObject(parent), m_fileName(fileName)
{
}

TallyStore::~TallyStore()
{
    if (m_unsaved)
        save();
}

QString TallyStore::load()
{
    m_table.reset();
    m_saveBlocked = false;
    QString error;
    if (!m_fileName.isEmpty() && QFileInfo::exists(m_fileName)) {
        try {
            m_table = TallyFile::read(m_fileName);
        } catch (const ELzrw1Exception &e) {
            error = e.text();
        } catch (const ETallyException &e) {
            error = e.text();
        }
    }
    if (!error.isEmpty()) {
        // Only a plain file is moved: a folder or a device in its place is
        // the player's to sort out, and stays as it is.
        const bool plain = QFileInfo(m_fileName).isFile();
        const QString kept = plain ? TallyFile::keepDamaged(m_fileName) : QString();
        if (!kept.isEmpty()) {
            error += QStringLiteral("\nThe damaged tally was kept as ") + kept + QStringLiteral(", and a new tally begins.");
        } else {
            // Writing now would destroy the only copy of the player's history.
            m_saveBlocked = true;
            error += plain ? QStringLiteral("\nIt could not be moved aside, so the tally is not saved during this run.")
                           : QStringLiteral("\nIt is left as it is, so the tally is not saved during this run.");
        }
    }
    loadtally();
    return error;
}

void TallyStore::loadtally()
{
    m_table.zeroSession();
    m_selected = -1;
    emit changed();
}

QStringList TallyStore::tallied() const
{
    QStringList names;
    for (int row = 1; row < m_table.rowCount(); ++row)
        names << m_table.name(row);
    return names;
}

int TallyStore::findTallied(const QString &name) const
{
    for (int row = 1; row < m_table.rowCount(); ++row)
        if (m_table.name(row).compare(name, Qt::CaseInsensitive) == 0)
            return row - 1;
    return -1;
}

void TallyStore::loadchecklist(const QStringList &seatedNames)
{
    m_checklist = seatedNames;
    emit changed();
}

bool TallyStore::checklistChecked(int index) const
{
    return index >= 0 && index < m_checklist.size() && findTallied(m_checklist[index]) >= 0;
}

void TallyStore::checklistClickCheck(int index)
{
    if (index < 0 || index >= m_checklist.size())
        return;
    const QString &name = m_checklist[index];
    if (findTallied(name) >= 0 || name.contains(QLatin1Char('\n')) || name.contains(QLatin1Char('\r'))) {
        emit changed();
        return;
    }
    if (m_table.rowCount() >= TallyTable::MaxRows) {
        emit changed();
        return;
    }
    m_table.appendRow(name);
    commit();
}

qint64 TallyStore::addtomineincrease(int column)
{
    return m_table.addit(column, 0);
}

void TallyStore::addgame(const QString &winner, const QStringList &seatedNames)
{
    loadchecklist(seatedNames);
    addtomineincrease(1);
    const bool ownWin = winner == QLatin1String(OwnWin);
    if (ownWin)
        addtomineincrease(2);
    // Two seats whose names differ only in letter case share one row; it
    // still counts one game.
    QSet<int> counted;
    for (const QString &name : std::as_const(m_checklist)) {
        const int index = findTallied(name);
        if (index < 0 || counted.contains(index))
            continue;
        counted.insert(index);
        const int row = index + 1;
        m_table.addit(1, row);
        m_table.addit(5, row);
        // Letter case counts here: only the exact name is the winner.
        const int column = m_table.name(row) == winner ? 2 : ownWin ? 3 : 4;
        m_table.addit(column, row);
        m_table.addit(column + 4, row);
    }
    commit();
}

void TallyStore::listbox_tallyClick(int index)
{
    m_selected = index >= 0 && index < m_table.rowCount() - 1 ? index : -1;
    emit changed();
}

QString TallyStore::label(int n) const
{
    return m_selected >= 0 ? m_table.cell(n, m_selected + 1) : QStringLiteral("0");
}

QString TallyStore::label_hisnametop() const
{
    return (m_selected >= 0 ? m_table.name(m_selected + 1) : QStringLiteral("XX")) + QStringLiteral("'s Tally");
}

QString TallyStore::label_hisname() const
{
    return (m_selected >= 0 ? m_table.name(m_selected + 1) : QStringLiteral("XX")) + QStringLiteral(" Wins:");
}

void TallyStore::removeOpponent(int index)
{
    if (index < 0 || index >= m_table.rowCount() - 1)
        return;
    m_table.moverow(index + 1);
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    commit();
}

void TallyStore::reset()
{
    m_table.reset();
    m_selected = -1;
    commit();
}

bool TallyStore::save()
{
    if (m_fileName.isEmpty()) {
        m_unsaved = false;
        return true;
    }
    if (m_saveBlocked)
        return false;
    try {
        TallyFile::write(m_fileName, m_table);
        m_unsaved = false;
        m_lastSaveError.clear();
        return true;
    } catch (const ETallyException &e) {
        m_lastSaveError = e.text();
    } catch (const ELzrw1Exception &e) {
        m_lastSaveError = e.text();
    }
    if (!m_saveFailureReported) {
        m_saveFailureReported = true;
        emit saveFailed(m_lastSaveError);
    }
    return false;
}

void TallyStore::commit()
{
    m_unsaved = true;
    save();
    emit changed();
}
