#include "server/updown.h"

#include <QToolButton>

namespace {

QToolButton *arrow(QWidget *parent, const char *name, Qt::ArrowType type)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setArrowType(type);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

UpDown::UpDown(QWidget *parent)
    : QWidget(parent),
      m_up(arrow(this, "up", Qt::UpArrow)),
      m_down(arrow(this, "down", Qt::DownArrow))
{
    connect(m_up, &QToolButton::clicked, this, &UpDown::up);
    connect(m_down, &QToolButton::clicked, this, &UpDown::down);
}

void UpDown::resizeEvent(QResizeEvent *)
{
    // The up arrow takes the upper half, the down arrow the rest.
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}
