#pragma once

// Watching a TCP connection for a far end that has gone away without a word.
//
// unansweredMs: how long the far end of a TCP connection has kept us waiting: the
// milliseconds since it last acknowledged anything, while data or a probe of
// ours waits for its answer; 0 when nothing waits or the handle is not a
// connected TCP socket. A peer that has gone away without a word shows here
// long before the connection is given up.
namespace TcpSilence {

int unansweredMs(int fd);

// Has the system probe an idle connection: after idleSeconds without
// traffic, then every intervalSeconds; once the peer has been silent for
// idleSeconds + intervalSeconds × count, whether the connection was idle or
// had data waiting, the system gives it up (ETIMEDOUT).
void watch(int fd, int idleSeconds, int intervalSeconds, int count);

} // namespace TcpSilence
