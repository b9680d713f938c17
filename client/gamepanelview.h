#pragma once

#include <QObject>
#include <array>

class BoardView;
class GameClient;
class ImageButton;
class PanelLabel;
class QFrame;
class QLabel;
class QWidget;

// The controls of the game panel: status line, options, turn clock and time
// bar, the six seat rows, the board with the word's letter slots, the winner
// banner and the two buttons. It shows what the game client holds; the
// controls carry their usual names so that a test can find them. Every text
// is shown as plain text and fits its label (see PanelLabel).
class GamePanelView : public QObject
{
    Q_OBJECT

public:
    GamePanelView(GameClient &client, QWidget *panel);

    void render();

    BoardView *board() const { return paintbox_board; }
    PanelLabel *nameLabel(int seat) const { return label_playername[size_t(seat)]; }
    ImageButton *startButton() const { return button_start; }
    ImageButton *clearWordButton() const { return button_clearword; }

signals:
    void startClicked();
    void playerMenuRequested(int seat, const QPoint &globalPos);

private:
    PanelLabel *label(const QString &name, const QRect &geometry, bool bold = true);
    void buildSeatRows();
    void buildBoard();

    GameClient &m_client;
    QWidget *m_panel;
    PanelLabel *label_status = nullptr;
    PanelLabel *label_round = nullptr;
    PanelLabel *label_gametype = nullptr;
    PanelLabel *label_timeperturn = nullptr;
    PanelLabel *label_playtoscore = nullptr;
    PanelLabel *label_timer = nullptr;
    QLabel *image_timer = nullptr;
    QFrame *panel_winner = nullptr;
    PanelLabel *label_winner1 = nullptr;
    PanelLabel *label_winner2 = nullptr;
    ImageButton *button_start = nullptr;
    ImageButton *button_clearword = nullptr;
    BoardView *paintbox_board = nullptr;
    std::array<QLabel *, 11> letter{};
    std::array<PanelLabel *, 7> label_playername{};
    std::array<PanelLabel *, 7> label_score{};
    std::array<PanelLabel *, 7> label_bonus{};
    std::array<QLabel *, 7> image_foundit{};
    std::array<QLabel *, 7> image_eyes{};
};
