#include "social/shoutmenu.h"

#include "social/soundcues.h"

ShoutMenu::ShoutMenu(QWidget *parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("popup_sounds"));
    setToolTipsVisible(true);
    for (const SoundCues::Shout &shout : SoundCues::shouts()) {
        const QString caption = QString::fromLatin1(shout.caption);
        QAction *item = addAction(caption);
        item->setObjectName(QString::fromLatin1(shout.item));
        item->setToolTip(caption);
        item->setStatusTip(caption);
        item->setData(shout.tag);
        const int n = shout.tag;
        connect(item, &QAction::triggered, this, [this, n] { emit chosen(n); });
    }
}
