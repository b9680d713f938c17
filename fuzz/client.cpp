// The window's handling of the bytes from its server: the game client's
// assembly, dispatch and every handler, and the chat lines it hands to the
// chat cut into their items as the chat view does.
//
// The input is everything the server sends, then the server closes the
// connection. With each message handled, one second of the turn clock passes.

#include "client/gameclient.h"
#include "fuzz/fuzzsupport.h"
#include "social/chatline.h"

#include <QElapsedTimer>

namespace {

// One plain listening socket for the whole run, on an ephemeral port.
int listener()
{
    static const int fd = [] {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(s, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0 || ::listen(s, 4) != 0)
            FuzzSupport::broken("no loopback listener");
        return s;
    }();
    return fd;
}

quint16 portOf(int fd)
{
    sockaddr_in addr{};
    socklen_t len = sizeof addr;
    getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len);
    return ntohs(addr.sin_port);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzSupport::application();
    GameClient client(nullptr, Ticker::Manual);
    bool ended = false;
    QObject::connect(&client, &GameClient::closeRequested, [&] { ended = true; });
    QObject::connect(&client, &GameClient::chatLine,
                     [](const QByteArray &line) { ChatLine::read(QString::fromUtf8(line)); });
    QObject::connect(&client, &GameClient::chatReceived, [](const QByteArray &payload) {
        ChatLine::read(ChatLine::received(QString::fromUtf8(payload)).line);
    });
    client.setGamePort(QByteArray::number(portOf(listener())));
    client.processparams({QStringLiteral("Bob"), QStringLiteral("127.0.0.1")});
    client.joinpress();
    const int server = ::accept(listener(), nullptr, nullptr);
    if (server < 0)
        FuzzSupport::broken("the client did not connect");

    auto pump = [&] {
        QCoreApplication::processEvents();
        while (client.queued() > 0) {
            client.Timer1Timer();
            if (client.turntimeEnabled())
                client.turntimeTimer();
        }
    };
    FuzzSupport::sendAll(server, FuzzSupport::bytes(data, size), pump);
    ::shutdown(server, SHUT_WR);
    QElapsedTimer clock;
    clock.start();
    while (!ended && clock.elapsed() < 2000)
        pump();
    ::close(server);
    return 0;
}
