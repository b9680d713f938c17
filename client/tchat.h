#pragma once

#include "client/gameclient.h"

#include <QMainWindow>
#include <array>

class QAction;
class QFrame;
class QLabel;
class QMenu;
struct WindowRegistry;

// The player's main window: the game panel with the seats, the board and
// the chat, and the menus. It shows what its GameClient holds and hands the
// player's clicks to it.
class Tchat : public QMainWindow
{
    Q_OBJECT

public:
    explicit Tchat(WindowRegistry &registry);
    ~Tchat() override;

    GameClient &client() { return m_client; }

    // Reads the command line and starts a solo game, hosts or joins; runs
    // once, when the window is first shown.
    void processparams();

    // The player-name menu as it would open on a seat's label.
    QMenu *popupKick() const { return popup_kick; }
    void openPlayerMenu(int seat, const QPoint &globalPos);

signals:
    // The window has closed; the program ends with it.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildSeatRows();
    void render();
    void Exit1Click();

    WindowRegistry &m_registry;
    GameClient m_client;
    bool m_paramsRead = false;

    QFrame *panel_board = nullptr;
    std::array<QLabel *, 7> label_playername{};
    std::array<QLabel *, 7> label_score{};
    std::array<QLabel *, 7> label_bonus{};
    std::array<QLabel *, 7> image_foundit{};
    std::array<QLabel *, 7> image_eyes{};

    QMenu *menu_file = nullptr;
    QMenu *menu_options = nullptr;
    QMenu *menu_view = nullptr;
    QMenu *menu_tiles = nullptr;
    QMenu *menu_help = nullptr;
    QAction *StartGame1 = nullptr;
    QAction *JustWatch1 = nullptr;
    QMenu *popup_kick = nullptr;
    QAction *RemoveFromGame1 = nullptr;
    QAction *SettoJustWatch1 = nullptr;
    QAction *UnsetJustWatch1 = nullptr;
    int m_kickTarget = 0;
};
