// zarvex-bot: a computer player without a window. It joins the game on HOST,
// plays until its connection closes and then ends with 0; a connection that
// cannot be made, or a game that is full, ends it with 1.

#include "client/computerplayer.h"
#include "client/computerseats.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: zarvex-bot [--level easy|normal|hard] [--name NAME] [--port N] HOST\n");
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ComputerLevel::Level level = ComputerLevel::Normal;
    QByteArray name;
    QByteArray port = "7772";
    QByteArray host;
    const QStringList args = app.arguments().mid(1);
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        bool ok = false;
        if (arg == QLatin1String("--level") && hasValue && ComputerLevel::fromText(args[i + 1], level))
            ++i;
        else if (arg == QLatin1String("--name") && hasValue && !args[i + 1].isEmpty())
            name = args[++i].toUtf8();
        else if (arg == QLatin1String("--port") && hasValue && args[i + 1].toUShort(&ok) > 0 && ok)
            port = args[++i].toLatin1();
        else if (!arg.startsWith(QLatin1Char('-')) && host.isEmpty())
            host = arg.toLatin1();
        else
            return usage();
    }
    if (host.isEmpty())
        return usage();
    if (name.isEmpty())
        name = ComputerSeats::friendlyName({});

    ComputerPlayer player(name, level, Ticker::Running);
    QObject::connect(&player, &ComputerPlayer::loggedIn, [&](int seat) {
        std::fprintf(stdout, "%s (%s) joined %s in seat %d\n", name.constData(),
                     qPrintable(ComputerLevel::text(level)), host.constData(), seat);
        std::fflush(stdout);
    });
    QObject::connect(&player, &ComputerPlayer::finished, &app, [&](ComputerPlayer::End how) {
        if (how == ComputerPlayer::End::Closed) {
            app.exit(0);
            return;
        }
        if (how == ComputerPlayer::End::Full)
            std::fprintf(stderr, "zarvex-bot: %s port %s: Game is full\n", host.constData(), port.constData());
        else
            std::fprintf(stderr, "zarvex-bot: cannot connect to %s port %s: %s\n", host.constData(),
                         port.constData(), qPrintable(player.endText()));
        app.exit(1);
    }, Qt::QueuedConnection);
    player.connectTo(host, port);
    return QCoreApplication::exec();
}
