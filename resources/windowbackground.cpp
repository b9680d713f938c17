#include "resources/windowbackground.h"

#include "resources/artwork.h"
#include "resources/backgroundpicture.h"

#include <QEvent>
#include <QPaintEvent>
#include <QPainter>
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

class Beneath : public QObject
{
public:
    Beneath(QWidget *widget, std::function<QPoint()> anchor, int shadeHeight)
        : QObject(widget), m_widget(widget), m_anchor(std::move(anchor)), m_shadeHeight(shadeHeight)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint) {
            QPainter p(m_widget);
            const QRegion region = static_cast<QPaintEvent *>(event)->region();
            for (const QRect &part : region)
                BackgroundPicture::paint(p, part, m_anchor(), m_shadeHeight);
        }
        return false;
    }

private:
    QWidget *m_widget;
    std::function<QPoint()> m_anchor;
    int m_shadeHeight;
};

} // namespace

void WindowBackground::paintWhenShown(QWidget *window)
{
    window->installEventFilter(new FirstShow(window));
}

void WindowBackground::paintBeneath(QWidget *widget, std::function<QPoint()> anchor, int shadeHeight)
{
    widget->setAttribute(Qt::WA_OpaquePaintEvent);
    widget->setAutoFillBackground(false);
    widget->installEventFilter(new Beneath(widget, std::move(anchor), shadeHeight));
}
