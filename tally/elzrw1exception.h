#pragma once

#include <QString>
#include <stdexcept>

// Raised by the compressor Tlzrw1 and its block coders. Every text starts with
// "Lzrw1" or names the file concerned, for example
// "Lzrw1 : Error writing to output file : tally.tld".
class ELzrw1Exception : public std::runtime_error
{
public:
    explicit ELzrw1Exception(const QString &text) : std::runtime_error(text.toStdString()) {}

    QString text() const { return QString::fromStdString(what()); }
};
