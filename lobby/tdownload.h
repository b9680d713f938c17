#pragma once

#include "lobby/gamebrowser.h"

#include <QDialog>

class LobbySession;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
struct WindowRegistry;

// The lobby window: where games with friends are arranged. The player's
// name; hosting a game for friends, with the addresses they need and the
// browser page's address with its QR code for phones; the games
// found on the local network and a field for an address typed by hand; and
// going back to playing solo. It shows what the main window's session and a
// game browser hold and hands the player's choices to the session.
class Tdownload : public QDialog
{
    Q_OBJECT

public:
    explicit Tdownload(WindowRegistry &registry);

    GameBrowser &browser() { return m_browser; }

    // The buttons' handlers, also for tests.
    void button_hostClick();
    void button_joinClick();
    void button_soloClick();
    // A game of the list chosen by a double click.
    void joinRow(int row);
    // The page address whose QR code is shown.
    QString shownLink() const { return m_shownLink; }
    // Modules of the QR code are this many pixels wide.
    static constexpr int QrModulePixels = 5;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    LobbySession *session() const;
    void render();
    void showMessage(const QString &text, const QString &detail = QString());
    void renderLinks(LobbySession *s, bool hosting);
    void fitTexts();

    WindowRegistry &m_registry;
    GameBrowser m_browser;
    bool m_attached = false;

    QLineEdit *edit_name = nullptr;
    QPushButton *button_host = nullptr;
    QLabel *label_invite = nullptr;
    QLabel *label_links = nullptr;
    QLabel *label_qr = nullptr;
    QString m_shownLink;
    QListView *list_games = nullptr;
    QLabel *label_discovery = nullptr;
    QLineEdit *edit_address = nullptr;
    QPushButton *button_join = nullptr;
    QPushButton *button_solo = nullptr;
    QLabel *label_message = nullptr;
};
