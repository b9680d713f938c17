#include "resources/windowbackground.h"

#include "resources/artwork.h"

#include <QEvent>
#include <QWidget>

namespace {

class FirstShow : public QObject
{
public:
    explicit FirstShow(QWidget *window) : QObject(window), m_window(window) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Show) {
            QPalette background = m_window->palette();
            background.setBrush(QPalette::Window, Artwork::background(m_window->size()));
            m_window->setPalette(background);
            m_window->removeEventFilter(this);
            deleteLater();
        }
        return false;
    }

private:
    QWidget *m_window;
};

} // namespace

void WindowBackground::paintWhenShown(QWidget *window)
{
    window->installEventFilter(new FirstShow(window));
}
