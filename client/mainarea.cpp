#include "client/mainarea.h"

#include "social/chatinputview.h"
#include "social/chatpane.h"

#include <QPaintEvent>
#include <QPainter>

namespace {

int wrap(int value, int period)
{
    return period > 0 ? ((value % period) + period) % period : 0;
}

} // namespace

MainArea::MainArea(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("main_area"));
}

void MainArea::arrange(QWidget *panel, ChatPane *chat, ChatInputView *controls, const QPoint &chatPlace)
{
    m_panel = panel;
    m_chat = chat;
    m_controls = controls;
    m_chatPlace = chatPlace;
    m_pattern = QPixmap();
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

void MainArea::paintEvent(QPaintEvent *event)
{
    if (!m_panel)
        return;
    if (m_pattern.isNull()) {
        const QPixmap picture = m_panel->palette().brush(QPalette::Window).texture();
        if (picture.isNull())
            return;
        QPixmap pattern(picture.width(), 2 * picture.height());
        QPainter p(&pattern);
        p.drawPixmap(0, 0, picture);
        p.drawImage(QPoint(0, picture.height()), picture.toImage().mirrored(false, true));
        p.end();
        m_pattern = pattern;
    }
    const QRect area = event->rect();
    const QPoint origin = m_panel->pos();
    QPainter p(this);
    p.drawTiledPixmap(area, m_pattern,
                      QPoint(wrap(area.x() - origin.x(), m_pattern.width()),
                             wrap(area.y() - origin.y(), m_pattern.height())));
}
