#include "shell/cursorblink.h"

#include <QEvent>
#include <QGuiApplication>
#include <QStyleHints>

CursorBlink::CursorBlink(int idleMs, QObject *parent)
    : QObject(parent), m_flashTime(QGuiApplication::styleHints()->cursorFlashTime())
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(idleMs);
    connect(&m_idle, &QTimer::timeout, this, [this] { setBlinking(false); });
    m_idle.start();
    QCoreApplication::instance()->installEventFilter(this);
}

CursorBlink::~CursorBlink()
{
    setBlinking(true);
}

bool CursorBlink::eventFilter(QObject *, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::InputMethod:
    case QEvent::Wheel:
        setBlinking(true);
        m_idle.start();
        break;
    default:
        break;
    }
    return false;
}

void CursorBlink::setBlinking(bool on)
{
    if (on == m_blinking)
        return;
    m_blinking = on;
    // A flash time of 0 leaves the cursor shown and still.
    QGuiApplication::styleHints()->setCursorFlashTime(on ? m_flashTime : 0);
}
