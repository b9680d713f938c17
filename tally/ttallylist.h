#pragma once

#include "tally/tallystore.h"

#include <QDialog>
#include <array>
#include <memory>

class PanelLabel;
class QLabel;
class QListWidget;
class QPushButton;
class TallyKeeper;
class WindowRegistry;

// The tally window: the player's own totals, the chosen opponent's tally,
// the players of the current game (checking one tallies them) and the
// tallied opponents (unchecking one, once confirmed, stops tallying them).
// It shows the run's tally, which is kept from start-up on whether or not
// the window is ever built (see TallyKeeper); without one in the registry
// the window keeps a tally of its own.
class Ttallylist : public QDialog
{
    Q_OBJECT

public:
    explicit Ttallylist(WindowRegistry &registry);
    ~Ttallylist() override;

    TallyStore &store() { return m_store; }

    // View -> "View Tally": the current game's players, then the window,
    // without blocking the main window.
    void ViewTally1Click();
    // Rebuilds the current game's check list from the main window's seats.
    void loadchecklist();
    // A finished game, as the client reports it.
    void addgame(const QByteArray &winner);

    void checklistClickCheck(int index);
    void listbox_tallyClick(int index);
    void listbox_tallyClickCheck(int index);
    void button_resetClick();
    void button_doneClick();

private:
    void buildPanels();
    void buildLists();
    PanelLabel *label(QWidget *parent, const QString &name, const QString &text, const QRect &geometry,
                      Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
    void render();

    WindowRegistry &m_registry;
    std::unique_ptr<TallyKeeper> m_ownTally;
    TallyKeeper &m_tally;
    TallyStore &m_store;

    std::array<PanelLabel *, 5> mylabel_{};   // 1 to 4
    std::array<PanelLabel *, 9> label_{};     // 1 to 8
    PanelLabel *label_hisnametop = nullptr;
    PanelLabel *label_hisname = nullptr;
    QListWidget *checklist = nullptr;
    QListWidget *listbox_tally = nullptr;
    QPushButton *button_reset = nullptr;
    QPushButton *button_done = nullptr;
};
