#pragma once

#include "server/gameoptions.h"

#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>
#include <array>
#include <functional>

// The player's preferences kept in the settings file: the main window's
// placement, the chat's text size and colour, the game start dialog's
// options, the phrases, the sound options and the tile set. The file is read
// once the client is connected and written whole after every change of an
// option; the windows only show these values and hand changes back here.
//
// Nothing is written before the file has been read: a window closed before
// login leaves the stored settings exactly as they were. An option the
// player changes before the load keeps its new state through the load,
// which writes it as soon as the file has been read.
class ClientSettings : public QObject
{
    Q_OBJECT

public:
    static const QString Section;        // "Zarvex"
    static const QString FileName;       // "quorblobby.ini"
    static constexpr int MinTextSize = 6;
    static constexpr int MaxTextSize = 48;
    static constexpr int PhraseCount = 10;
    // The placement of a first run and of "Reset Screen Location".
    static constexpr QRect defaultPlacement() { return QRect(3, 3, 772, 535); }
    // The smallest client area: the board panel and 4 pixels.
    static constexpr int MinClientWidth = 765 + 4;
    static constexpr int MinClientHeight = 525 + 4;
    // A window wider or taller than the work area is stored this much smaller.
    static constexpr int OversizeReduction = 15;

    // The settings file in the program's folder, or the given one.
    explicit ClientSettings(QObject *parent = nullptr);
    explicit ClientSettings(const QString &path, QObject *parent = nullptr);

    QString path() const { return m_path; }
    bool isLoaded() const { return m_loaded; }

    // Where the values come from that a save writes and the load fits: the
    // window's current placement, frame included, the screens' work areas
    // and the smallest the whole window can be. Without them the remembered
    // placement is written and shown as it is.
    void setPlacementSource(std::function<QRect()> source) { m_placementSource = std::move(source); }
    void setScreens(std::function<QList<QRect>()> screens, std::function<QSize()> minimumSize = {})
    {
        m_screens = std::move(screens);
        m_minimumSize = std::move(minimumSize);
    }
    // The game start dialog's options, loaded and saved here whether or
    // not the dialog was ever opened.
    GameOptions &gameOptions() { return m_options; }

    // loadinifile: reads every key and announces the values in order.
    void loadinifile();
    // saveinifile: writes every key but the phrases in one write of the
    // file; a failure goes to the program-wide error report. Answers whether
    // the file now holds the settings (false before the load, too).
    bool saveinifile();

    int textSize() const { return m_textSize; }
    quint32 textColour() const { return m_textColour; }
    QRect remembered() const { return m_remembered; }
    // The phrase of button n (1 to 10) from the file; empty leaves the
    // button's built-in phrase.
    QString phrase(int n) const;
    bool playSounds() const { return m_playSounds; }
    bool chatterSounds() const { return m_chatterSounds; }
    // 0 Classic, 1 New.
    int turnSound() const { return m_turnSound; }
    QString currenttiles() const { return m_currenttiles; }

    // The option handlers: each changes the value and saves.
    void setTextSize(int points);
    void setTextColour(quint32 colour);
    void setPlaySounds(bool on);
    void setChatterSounds(bool on);
    void setTurnSound(int choice);
    void gameOptionsConfirmed() { saveinifile(); }
    // The tile set in use, as it is loaded.
    void setCurrenttiles(const QString &name) { m_currenttiles = name; }
    // The tile set the player chose from the menu: in use, and saved.
    void tilesChosen(const QString &name);

    // The window closes with the given placement on a screen with the given
    // work area: nothing happens when it equals the remembered one; otherwise
    // it is remembered, 15 pixels smaller in each direction it exceeds the
    // work area, and saved. Answers whether it saved.
    bool windowClosing(const QRect &placement, const QRect &workArea);

    // Rules of the load, on their own for tests.
    static int clampTextSize(int points);
    // A stored placement made to fit the screen that shows most of it (or
    // the nearest, when none does): no larger than that screen's work area
    // yet no smaller than the minimum, and moved so that all of it lies on
    // that screen (its top left corner, when even the minimum is larger).
    static QRect ontoScreens(const QRect &placement, const QList<QRect> &screens, const QSize &minimum = QSize());
    // Only the exact small-letter "false" is off.
    static bool flag(const QString &text) { return text != QLatin1String("false"); }

signals:
    // The chat's text size; relayout says whether lines already shown take
    // it at once (the load) or from the next line (the menu).
    void textSizeChanged(int points, bool relayout);
    void placementLoaded(const QRect &placement);
    void textColourChanged(quint32 colour);
    void gameOptionsLoaded();
    void phrasesLoaded();
    void soundOptionsChanged();
    // The stored tile set, possibly empty or "classic".
    void tilesLoaded(const QString &name);
    void loaded();

private:
    // The options a player may change before the load.
    enum EarlyChange {
        EarlyTextSize = 1,
        EarlyTextColour = 2,
        EarlyPlaySounds = 4,
        EarlyChatterSounds = 8,
        EarlyTurnSound = 16,
        EarlyTiles = 32,
    };
    bool save(const QRect &placement);
    // An option changed: noted when the load is still to come, then saved.
    void optionChanged(EarlyChange change);
    bool early(EarlyChange change) const { return (m_early & change) != 0; }

    QString m_path;
    bool m_loaded = false;
    int m_early = 0;    // EarlyChange flags
    std::function<QRect()> m_placementSource;
    std::function<QList<QRect>()> m_screens;
    std::function<QSize()> m_minimumSize;
    GameOptions m_options;

    // What the window shows before the load.
    int m_textSize = 10;
    quint32 m_textColour = 0;
    QRect m_remembered = defaultPlacement();
    std::array<QString, PhraseCount + 1> m_phrases;
    bool m_playSounds = true;
    bool m_chatterSounds = false;
    int m_turnSound = 0;
    QString m_currenttiles;
};
