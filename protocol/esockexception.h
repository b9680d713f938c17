#pragma once

#include <stdexcept>
#include <string>

// Raised by TSock. The text always reads "Operation - Problem", for example
// "Listen - Error Binding Socket".
class ESockException : public std::runtime_error
{
public:
    explicit ESockException(const std::string &text) : std::runtime_error(text) {}
};
