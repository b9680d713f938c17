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

signals:
    void chosen(int tag);
};
