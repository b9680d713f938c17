#pragma once

// How long the far end of a TCP connection has kept us waiting: the
// milliseconds since it last acknowledged anything, while data or a probe of
// ours waits for its answer; 0 when nothing waits or the handle is not a
// connected TCP socket. A peer that has gone away without a word shows here
// long before the connection is given up.
namespace TcpSilence {

int unansweredMs(int fd);

} // namespace TcpSilence
