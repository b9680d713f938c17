#pragma once

#include <QDialog>

class QListWidget;
class QMenu;
class QAction;
class WindowRegistry;

// The spectators of the game, "seat: name" each. On the host's copy the
// hosting player can remove one from the game through the list's menu.
class Tspylist : public QDialog
{
    Q_OBJECT

public:
    explicit Tspylist(WindowRegistry &registry);

    QListWidget *list() const { return listbox_spys; }
    QAction *removeAction() const { return popup_kickhim; }
    int hovered() const;

    // Sets the hovered entry as the pointer at that point of the list would.
    void listbox_spysMouseMove(const QPoint &pos);
    void popup_kickhimClick();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refresh();
    void showBackground();

    WindowRegistry &m_registry;
    QListWidget *listbox_spys = nullptr;
    QMenu *popup_kick = nullptr;
    QAction *popup_kickhim = nullptr;
};
