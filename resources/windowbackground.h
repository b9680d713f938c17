#pragma once

class QWidget;

// Gives a fixed-size window the shared background picture as its Window
// brush, drawn as the window is first shown rather than as it is built, so
// a window that is never opened never draws or keeps its picture.
namespace WindowBackground {

void paintWhenShown(QWidget *window);

} // namespace WindowBackground
