#pragma once

#include <QWidget>

class QToolButton;

// A pair of up and down arrows beside an edit, stepping a value held
// elsewhere. The arrows repeat while held down.
class UpDown : public QWidget
{
    Q_OBJECT

public:
    explicit UpDown(QWidget *parent = nullptr);

    QToolButton *upArrow() const { return m_up; }
    QToolButton *downArrow() const { return m_down; }

signals:
    void up();
    void down();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QToolButton *m_up;
    QToolButton *m_down;
};
