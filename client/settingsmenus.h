#pragma once

#include <QColor>
#include <QObject>
#include <QRect>
#include <functional>
#include <optional>

class ChatPane;
class GameClient;
class GamePanelView;
class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

// The main window's side of the settings: the Options menu items for the
// chat's text colour and size, the window's placement and the sound
// options, the Tiles menu with one item per tile set, and the window's
// placement and minimum size. What the items mean and when the file is
// written is up to the client's settings; this only shows them.
class SettingsMenus : public QObject
{
    Q_OBJECT

public:
    using ColourPicker = std::function<std::optional<QColor>(const QColor &initial)>;

    SettingsMenus(QMainWindow *window, QMenu *options, QMenu *tiles, GameClient &client,
                  ChatPane *chat, GamePanelView *panel);

    // The whole window's placement, frame included, read and set.
    QRect placement() const;
    void setPlacement(const QRect &placement);

    void TextColor1Click();
    void N14Click(int size);
    void ResetScreenLocation1Click();
    void grouptilesmenuClick(const QString &name);
    // The placement part of closing the window.
    void FormClose();

    // Stands in for the colour dialog; tests give their own.
    void setColourPicker(ColourPicker picker) { m_picker = std::move(picker); }

    QAction *textSizeItem(int size) const;

private:
    QAction *addCheckItem(QMenu *menu, const char *name, const QString &text, QActionGroup *group = nullptr);
    void buildOptions(QMenu *options);
    void buildTiles(QMenu *tiles);
    void showTextSize(int points, bool relayout);
    void showSoundOptions();
    void showTilesChecked();
    // Puts the strip's tiles on the board; false when it is no picture.
    bool applyTiles(const QString &path);

    QMainWindow *m_window;
    GameClient &m_client;
    ChatPane *m_chat;
    GamePanelView *m_panel;
    ColourPicker m_picker;

    QAction *PlaySounds1 = nullptr;
    QAction *PlayChatterSounds1 = nullptr;
    QAction *Classic1 = nullptr;
    QAction *New1 = nullptr;
    QMenu *m_tilesMenu = nullptr;
    QMenu *m_textSizeMenu = nullptr;
};
