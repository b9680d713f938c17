#pragma once

#include <QMenu>

// The shout menu, popup_sounds: "<Cancel>" and the fourteen shouts, each
// item named after its sound, its hint the same as its caption, its tag the
// shout number. Choosing an item reports its tag.
class ShoutMenu : public QMenu
{
    Q_OBJECT

public:
    explicit ShoutMenu(QWidget *parent = nullptr);

    // Opens with the menu's top-left corner at the button's bottom-right
    // corner, as the shout button does.
    void popupAt(const QWidget *button);

signals:
    void chosen(int tag);
};
