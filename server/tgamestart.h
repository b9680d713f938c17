#pragma once

#include "server/gameoptions.h"

#include <QByteArray>
#include <QDialog>

class WindowRegistry;
class ImageButton;
class QLineEdit;
class UpDown;

// The host's game start dialog: the play-to score and creation time on
// read-only edits moved by up-down arrows, the paired game type boxes, the
// only-letters box and Start. The options themselves and their rules are held
// by GameOptions, those of the main window's settings, which load and save
// them whether or not the dialog was ever opened; the dialog shows them and
// forwards clicks.
class Tgamestart : public QDialog
{
    Q_OBJECT

public:
    explicit Tgamestart(WindowRegistry &registry);

    // The options shown; the settings load and save them. After changing
    // them from outside, call showOptions() to bring the controls up to date.
    GameOptions &options() { return m_options; }
    const GameOptions &options() const { return m_options; }
    void showOptions();

    // The player's name put at the head of the start request.
    void setPlayerName(const QByteArray &playername) { m_playername = playername; }

signals:
    // Start was pressed: the whole CMD_startgame message to send over the
    // main window's connection.
    void startRequested(const QByteArray &message);
    // The options were confirmed and should be saved with the settings.
    void settingsChanged();

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void checkbox_1Click();
    void checkbox_onlylettersClick();
    void button_startClick();
    void step(GameOptions::Value value, bool up);

    WindowRegistry &m_registry;
    GameOptions m_ownOptions;      // without a main window
    GameOptions &m_options;
    QByteArray m_playername;

    QLineEdit *edit_playtoscore;
    UpDown *UpDown1;
    QLineEdit *edit_creationtime;
    UpDown *UpDown2;
    ImageButton *checkbox_1;
    ImageButton *checkbox_2;
    ImageButton *checkbox_onlyletters;
    ImageButton *button_start;
};
