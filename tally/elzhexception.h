#pragma once

#include "tally/elzrw1exception.h"

// Raised by the LZHUF engine TLZH when its dictionary tables cannot be had.
// It is a compressor error like any other, so a caller that catches
// ELzrw1Exception catches this one too.
class ElzhException : public ELzrw1Exception
{
public:
    using ELzrw1Exception::ELzrw1Exception;
};
