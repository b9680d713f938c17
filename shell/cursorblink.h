#pragma once

#include <QObject>
#include <QTimer>

// Stops the text cursor's blinking after a while without keyboard or mouse
// input, as desktops commonly do, so that a game left alone with the chat
// field focused wakes for nothing; the next key or click makes it blink
// again. Installed on the application, it watches every input event.
class CursorBlink : public QObject
{
public:
    static constexpr int defaultIdleMs = 10000;

    explicit CursorBlink(int idleMs = defaultIdleMs, QObject *parent = nullptr);
    ~CursorBlink() override;

    bool blinking() const { return m_blinking; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setBlinking(bool on);

    QTimer m_idle;
    int m_flashTime;
    bool m_blinking = true;
};
