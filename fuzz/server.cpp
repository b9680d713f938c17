// The server's handling of the bytes of one connection: assembly, dispatch
// and every handler, while an honest host holds seat 1.
//
// The first byte of an input sets the scene: bit 0 has the host start a game
// before the connection's bytes arrive, bits 1 to 3 how many seconds of the
// round clock pass with each message handled, bit 4 makes that game one to 10
// points instead of 250. The rest is what the
// connection in seat 2 sends. Afterwards the clock runs the game out.

#include "fuzz/fuzzsupport.h"
#include "protocol/tsock.h"
#include "protocol/tsocklink.h"
#include "protocol/wire.h"
#include "server/random.h"
#include "server/tserver.h"

#include <QElapsedTimer>
#include <sys/ioctl.h>
#include <linux/sockios.h>

namespace {

struct Scene
{
    TServer server{nullptr, Ticker::Manual};
    int secondsPerMessage = 0;

    void tick()
    {
        if (server.timer1Enabled())
            server.timer1Timer();
        if (server.logintimerEnabled())
            server.logintimerTimer();
    }

    // Lets the sockets run and hands out every queued message.
    void pump()
    {
        QCoreApplication::processEvents();
        while (server.queued() > 0) {
            server.socktimerTimer();
            for (int s = 0; s < secondsPerMessage; ++s)
                tick();
        }
    }

    template <typename Done>
    void pumpUntil(Done done)
    {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < 2000)
            pump();
    }

    // Every byte sent on fd has been read and handled, or its seat has gone.
    bool drained(int fd, int seat, SeatLink *link)
    {
        if (server.seat(seat).link != link)
            return server.queued() == 0;
        const TSock *sock = static_cast<TSockLink *>(link)->sock();
        int unsent = 0, unread = 0;
        ioctl(fd, SIOCOUTQ, &unsent);
        ioctl(sock->Handle(), FIONREAD, &unread);
        return unsent == 0 && unread == 0 && sock->InboundCount() == 0 && server.queued() == 0;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    FuzzSupport::application();
    Random::seed(1);
    Scene scene;
    TServer &server = scene.server;
    server.Sock1.setPortName("0");
    server.Sock1.setListen(true);

    const int host = FuzzSupport::connectTo(server.Sock1.LocalPort());
    scene.pumpUntil([&] { return server.seat(1).connected; });
    QByteArray hello = "CMD_logininfo+1+" + Wire::Version + "+Host" + Wire::Terminator;
    if (data[0] & 1)
        hello += Wire::message("CMD_startgame", {"Host", data[0] & 16 ? "10" : "250", "60", "t", "f", ""});
    const int peer = FuzzSupport::connectTo(server.Sock1.LocalPort());
    scene.pumpUntil([&] { return server.seat(2).connected; });
    FuzzSupport::sendAll(host, hello, [&] { scene.pump(); });
    scene.pumpUntil([&] { return server.seat(1).loggedin && server.queued() == 0; });

    scene.secondsPerMessage = (data[0] >> 1) & 7;
    SeatLink *const link = server.seat(2).link;
    FuzzSupport::sendAll(peer, FuzzSupport::bytes(data + 1, size - 1), [&] { scene.pump(); });
    scene.pumpUntil([&] { return scene.drained(peer, 2, link); });

    // Nothing arrives any more: the rounds run on the clock alone.
    for (int s = 0; s < 400 && server.timer1Enabled(); ++s)
        scene.tick();
    scene.pump();
    server.closeAll();
    ::close(host);
    ::close(peer);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return 0;
}
