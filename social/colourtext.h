#pragma once

#include <QList>
#include <QString>
#include <optional>
#include <utility>

// The one text form in which colours travel in chat messages and live in the
// settings file. A colour value is 0x00BBGGRR for a plain colour (the lowest
// byte is red) or 0x80000000 + n for system colour n.
namespace ColourText {

constexpr quint32 clBlack = 0x000000;
constexpr quint32 clRed = 0x0000FF;
constexpr quint32 clBlue = 0xFF0000;
constexpr quint32 clNone = 0x1FFFFFFF;
constexpr quint32 SystemColour = 0x80000000;
constexpr quint32 clWindowText = SystemColour + 8;

// Every colour with a name, in table order: the sixteen plain colours, the
// 25 system colours and clNone.
const QList<std::pair<QString, quint32>> &namedColours();

// The colour's name when it has one, otherwise "$" and eight upper-case
// hexadecimal digits.
QString toText(quint32 colour);

// A name in any letter case, a decimal integer or "$" and hexadecimal
// digits; anything else gives no colour and the caller picks its own.
std::optional<quint32> fromText(const QString &text);

} // namespace ColourText
