#include "client/mainarea.h"

#include "resources/backgroundpicture.h"
#include "social/chatinputview.h"
#include "social/chatpane.h"

#include <QPaintEvent>
#include <QPainter>

MainArea::MainArea(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("main_area"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void MainArea::arrange(QWidget *panel, ChatPane *chat, ChatInputView *controls, const QPoint &chatPlace)
{
    m_panel = panel;
    m_chat = chat;
    m_controls = controls;
    m_chatPlace = chatPlace;
    place();
    update();
}

void MainArea::place()
{
    if (!m_chat || !m_controls)
        return;
    const QSize room(qMax(0, width() - minimumWidth()), qMax(0, height() - minimumHeight()));
    const QRect pane(m_chatPlace, m_chat->minimumSize() + room);
    m_chat->setGeometry(pane);
    m_controls->placeAround(pane);
}

void MainArea::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

// Only the parts that need it are painted, straight from the picture's
// drawing: nothing is kept for any size the window takes.
void MainArea::paintEvent(QPaintEvent *event)
{
    if (!m_panel)
        return;
    QPainter p(this);
    for (const QRect &part : event->region())
        BackgroundPicture::paint(p, part, m_panel->pos(), m_panel->height());
}
