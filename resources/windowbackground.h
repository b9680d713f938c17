#pragma once

#include <QPoint>
#include <functional>

class QWidget;

namespace WindowBackground {

// Gives a fixed-size window the shared background picture as its Window
// brush, drawn as the window is first shown rather than as it is built, so
// a window that is never opened never draws or keeps its picture.
void paintWhenShown(QWidget *window);

// Paints the shared background straight onto the widget, under whatever it
// paints itself, on every paint and only where it repaints: no picture is
// kept, whatever the widget's size. The picture starts at the widget's
// anchor (in its own coordinates) and is shaded over shadeHeight pixels
// from there. The widget then paints every pixel of itself.
void paintBeneath(QWidget *widget, std::function<QPoint()> anchor, int shadeHeight);

} // namespace WindowBackground
