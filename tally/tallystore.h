#pragma once

#include "tally/tallytable.h"

#include <QObject>
#include <QString>
#include <QStringList>

// The tally of one run: the table, whom the player tallies, the players of
// the current game the tally window offers, and the opponent it shows. It
// records every finished game, and writes its file after every change, so
// that a crash or a killed process loses nothing already recorded.
//
// The tallied list is the table's opponent rows in order: item i is row i + 1.
// Tallied names are unique and found without regard to letter case.
class TallyStore : public QObject
{
    Q_OBJECT

public:
    // The marker for a game the local player won.
    static constexpr const char *OwnWin = "addtomine";

    // fileName: the tally file; empty for a tally kept in memory only.
    explicit TallyStore(const QString &fileName = QString(), QObject *parent = nullptr);
    // Writes what is not yet saved.
    ~TallyStore() override;

    // Reads the file (none: an empty tally) and starts this run's counters
    // at 0. A plain file that cannot be read is moved aside (see
    // TallyFile::keepDamaged) and the tally starts empty; anything else in
    // its place (a folder, a device) stays, and nothing is saved this run.
    // The answer is the error's text and what became of the file, empty
    // when all went well.
    QString load();
    const TallyTable &table() const { return m_table; }
    const QString &fileName() const { return m_fileName; }

    QStringList tallied() const;
    int findTallied(const QString &name) const;

    // The current game's check list: the other seated players' names, each
    // checked while it is tallied.
    void loadchecklist(const QStringList &seatedNames);
    const QStringList &checklist() const { return m_checklist; }
    bool checklistChecked(int index) const;
    // A click on the box of a check list name: tallies the name unless it
    // is already (letter case ignored). A name with a line break is never
    // tallied: the file keeps one cell a line.
    void checklistClickCheck(int index);

    // Records a finished game. winner: the winner's name as the server
    // announced it (several names for a shared win), or OwnWin.
    // seatedNames: the other seated players, as for loadchecklist.
    void addgame(const QString &winner, const QStringList &seatedNames);
    // Adds 1 to an own counter (1 games, 2 wins) and answers the new value.
    qint64 addtomineincrease(int column);
    // Starts this run's counters at 0 and shows no opponent.
    void loadtally();

    // The tallied opponent shown in the window; -1 for none.
    void listbox_tallyClick(int index);
    int selected() const { return m_selected; }
    // What the window shows: own values mylabel_1 to mylabel_4, the shown
    // opponent's values label_1 to label_8 and its two headings.
    QString mylabel(int n) const { return m_table.cell(n, 0); }
    QString label(int n) const;
    QString label_hisnametop() const;
    QString label_hisname() const;

    // Stops tallying the opponent at that list position, with its counters.
    void removeOpponent(int index);
    // Empties the tallied list and sets every own counter to 0.
    void reset();

    // Writes the file now; answers whether the tally is saved.
    bool save();
    bool unsaved() const { return m_unsaved; }
    QString lastSaveError() const { return m_lastSaveError; }

signals:
    // Something the window shows has changed.
    void changed();
    // The first save of the run that failed, with the reason.
    void saveFailed(const QString &text);

private:
    void commit();

    QString m_fileName;
    TallyTable m_table;
    QStringList m_checklist;
    int m_selected = -1;
    bool m_unsaved = false;
    bool m_saveBlocked = false;
    bool m_saveFailureReported = false;
    QString m_lastSaveError;
};
