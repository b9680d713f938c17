#include "protocol/tcpsilence.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace TcpSilence {

int unansweredMs(int fd)
{
    tcp_info info{};
    socklen_t len = sizeof info;
    if (fd < 0 || getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &len) != 0)
        return 0;
    if (info.tcpi_state != TCP_ESTABLISHED || (info.tcpi_unacked == 0 && info.tcpi_probes == 0))
        return 0;
    return int(info.tcpi_last_ack_recv);
}

} // namespace TcpSilence
