#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A button that is a picture: the image check boxes and the image buttons of
// the windows. It is as large as its picture, sinks by a pixel while pressed
// and is drawn faded while disabled.
class ImageButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit ImageButton(QWidget *parent = nullptr);

    void setPixmap(const QPixmap &pixmap);
    QPixmap pixmap() const { return m_pixmap; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPixmap m_pixmap;
};
