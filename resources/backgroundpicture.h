#pragma once

#include <QPoint>
#include <QRect>

class QPainter;

// The game's background: sand, lighter at the top, with faint letters
// scattered over it. It is painted straight onto any surface, part by part,
// and needs no picture of its own: the letters lie one in each square of a
// fixed grid, each with a place, size, slant and shade of its own, so that
// any part painted alone matches the same part of a larger painting.
namespace BackgroundPicture {

// The side of the grid's squares: about one letter per 70 x 70 pixels.
constexpr int Spacing = 70;

// Paints the part `area` of a surface (the painter's coordinates) whose
// picture starts at `anchor`: the grid is laid from there, and the shade
// runs from the light top at anchor.y() to the darker sand shadeHeight
// pixels below, which carries on further down. Above and left of the anchor
// the picture carries on as well.
void paint(QPainter &painter, const QRect &area, const QPoint &anchor, int shadeHeight);

} // namespace BackgroundPicture
