#include "protocol/seatlink.h"

#include "protocol/tcpsilence.h"

int SeatLink::unansweredMs() const
{
    return isOpen() ? TcpSilence::unansweredMs(handle()) : 0;
}
