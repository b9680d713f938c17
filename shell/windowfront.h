#pragma once

class QWidget;

// The program's small windows come up centred on the main window, and one
// asked for again while it is open comes to the front.
namespace WindowFront {

// Moves the window so that its frame is centred on the other's frame.
void centreOn(QWidget *window, const QWidget *over);

// Shows the window, or brings it to the front when it is open already, and
// gives it the keyboard.
void bring(QWidget *window);

} // namespace WindowFront
