#include "resources/imagebutton.h"

#include <QPainter>

ImageButton::ImageButton(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
}

void ImageButton::setPixmap(const QPixmap &pixmap)
{
    m_pixmap = pixmap;
    resize(sizeHint());
    updateGeometry();
    update();
}

QSize ImageButton::sizeHint() const
{
    return m_pixmap.isNull() ? QSize(16, 16) : m_pixmap.deviceIndependentSize().toSize();
}

void ImageButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    if (!isEnabled())
        p.setOpacity(0.45);
    const QPoint at = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    p.drawPixmap(at, m_pixmap);
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
