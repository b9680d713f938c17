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

void watch(int fd, int idleSeconds, int intervalSeconds, int count)
{
    if (fd < 0)
        return;
    const int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof intervalSeconds);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    // Without it, data waiting for an acknowledgement is sent again for many
    // minutes and the probes never start.
    const unsigned int silentMs = unsigned(idleSeconds + intervalSeconds * count) * 1000u;
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &silentMs, sizeof silentMs);
}

} // namespace TcpSilence
