#pragma once

#include <QDate>
#include <QString>

// The lines of the help and about windows that say who made the game and on
// what terms; the notice's year range ends with the year of start-up.
namespace Credits {

QString credit();      // the makers
QString notice();      // the notice up to the dash of its year range, "... 2007-"
QString rights();      // the terms, in one line

// The end of the notice's year range: the year of the given day, four digits.
QString yearText(const QDate &today);

} // namespace Credits
