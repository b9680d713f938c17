#pragma once

#include <QObject>
#include <QTimer>
#include <functional>

// A timer that can also be driven by hand. In Running mode it is a QTimer
// calling its handler every interval while enabled; in Manual mode it only
// keeps its enabled state and tag, and whoever owns it calls the handler
// (tests play a 34-second round in milliseconds this way).
class Ticker : public QObject
{
    Q_OBJECT

public:
    enum Mode { Running, Manual };

    Ticker(int intervalMs, Mode mode, std::function<void()> onTick, QObject *parent = nullptr)
        : QObject(parent), m_mode(mode), m_onTick(std::move(onTick))
    {
        m_timer.setInterval(intervalMs);
        connect(&m_timer, &QTimer::timeout, this, [this] { m_onTick(); });
    }

    bool enabled() const { return m_enabled; }
    void setEnabled(bool on)
    {
        m_enabled = on;
        if (m_mode == Manual)
            return;
        if (on)
            m_timer.start();   // restarts the interval, as re-enabling a timer does
        else
            m_timer.stop();
    }
    // Starts a stopped timer, so that its first tick comes one interval from
    // now; a running one keeps its pace. A dispatch timer runs only while
    // its queue holds work and is woken like this when work arrives.
    void wake()
    {
        if (!m_enabled)
            setEnabled(true);
    }

    // A small number the owner keeps on the timer (the round timer's phase).
    int Tag = 0;

private:
    Mode m_mode;
    std::function<void()> m_onTick;
    QTimer m_timer;
    bool m_enabled = false;
};
