#include "social/tspylist.h"

#include "client/tchat.h"
#include "resources/backgroundpicture.h"
#include "shell/errorreport.h"
#include "shell/windowregistry.h"

#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

Tspylist::Tspylist(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tspylist"));
    setWindowTitle(QStringLiteral("Zarvex - Spys"));
    setFixedSize(162, 168);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    move(579, 88);
    showBackground();

    auto *caption = new QLabel(QStringLiteral("Spy List"), this);
    caption->setGeometry(4, 2, 154, 16);
    QFont bold = caption->font();
    bold.setBold(true);
    caption->setFont(bold);

    listbox_spys = new QListWidget(this);
    listbox_spys->setObjectName(QStringLiteral("listbox_spys"));
    listbox_spys->setGeometry(4, 18, 154, 130);
    listbox_spys->setStyleSheet(QStringLiteral("QListWidget { background: rgb(237, 207, 137); }"));
    listbox_spys->setProperty("Tag", -1);
    listbox_spys->setMouseTracking(true);
    listbox_spys->viewport()->installEventFilter(this);
    listbox_spys->setContextMenuPolicy(Qt::CustomContextMenu);

    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    popup_kickhim = popup_kick->addAction(QStringLiteral("Remove From Game"));
    popup_kickhim->setObjectName(QStringLiteral("popup_kickhim"));
    popup_kickhim->setEnabled(false);
    connect(popup_kickhim, &QAction::triggered, this, &Tspylist::popup_kickhimClick);
    connect(listbox_spys, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        listbox_spysMouseMove(pos);
        popup_kick->popup(listbox_spys->viewport()->mapToGlobal(pos));
    });

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("button_done"));
    done->setGeometry(50, 150, 62, 16);
    connect(done, &QPushButton::clicked, this, &QDialog::hide);

    if (m_registry.chat)
        connect(&m_registry.chat->client(), &GameClient::changed, this, &Tspylist::refresh);
    refresh();
}

// A white window that takes the main window's background picture as it
// comes up; white shows wherever the picture leaves room.
void Tspylist::showBackground()
{
    QPixmap ground(size());
    ground.fill(Qt::white);
    if (m_registry.chat) {
        // The main window's picture as it starts at the top left of its panel.
        if (const QWidget *panel = m_registry.chat->findChild<QWidget *>(QStringLiteral("panel_board"))) {
            QPainter p(&ground);
            BackgroundPicture::paint(p, ground.rect().intersected(QRect(QPoint(0, 0), panel->size())),
                                     QPoint(0, 0), panel->height());
        }
    }
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, Qt::white);
    palette.setBrush(QPalette::Window, QBrush(ground));
    setPalette(palette);
    setAutoFillBackground(true);
}

int Tspylist::hovered() const
{
    return listbox_spys->property("Tag").toInt();
}

bool Tspylist::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == listbox_spys->viewport() && event->type() == QEvent::MouseMove)
        listbox_spysMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
    return QDialog::eventFilter(watched, event);
}

void Tspylist::listbox_spysMouseMove(const QPoint &pos)
{
    const QListWidgetItem *item = listbox_spys->itemAt(pos);
    listbox_spys->setProperty("Tag", item ? listbox_spys->row(item) : -1);
}

void Tspylist::popup_kickhimClick()
{
    const int index = hovered();
    if (index == -1)
        return;
    if (index < 0 || index >= listbox_spys->count()) {
        ErrorReport::show(QStringLiteral("List index out of bounds (%1)").arg(index));
        return;
    }
    if (m_registry.chat)
        m_registry.chat->client().kickSpy(listbox_spys->item(index)->text());
}

void Tspylist::refresh()
{
    if (!m_registry.chat)
        return;
    const GameClient &client = m_registry.chat->client();
    const QStringList &spies = client.spies();
    QStringList shown;
    for (int i = 0; i < listbox_spys->count(); ++i)
        shown << listbox_spys->item(i)->text();
    if (shown != spies) {
        listbox_spys->clear();
        listbox_spys->addItems(spies);
    }
    popup_kickhim->setEnabled(client.spyRemoveEnabled());
}
