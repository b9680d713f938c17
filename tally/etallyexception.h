#pragma once

#include <QString>
#include <stdexcept>

// Raised when the tally table cannot be read back from its text form or its
// file. The text names the file when there is one, for example
// "/home/ann/Zarvextally.tld : Tally : the column count is not 9".
class ETallyException : public std::runtime_error
{
public:
    explicit ETallyException(const QString &text) : std::runtime_error(text.toStdString()) {}

    QString text() const { return QString::fromStdString(what()); }
};
