#pragma once

#include <QColor>
#include <QPalette>

// Turns a colour value of colour text into a colour to paint with: a plain
// colour 0x00BBGGRR directly, a system colour (0x80000000 + n) through the
// matching role of the application's palette.
namespace SystemColours {

QColor toColor(quint32 value, const QPalette &palette);

} // namespace SystemColours
