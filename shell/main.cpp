#include "client/tchat.h"
#include "resources/appicon.h"
#include "shell/cursorblink.h"
#include "shell/errorreport.h"
#include "shell/messagebox.h"
#include "shell/portchoice.h"
#include "shell/shownmarker.h"
#include "shell/singleinstance.h"
#include "shell/windowset.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {

const char helpText[] =
    "usage: zarvex                       a solo game\n"
    "       zarvex NAME ADDRESS true     host a game for friends as NAME\n"
    "       zarvex NAME ADDRESS join     join the game at ADDRESS as NAME\n"
    "\n"
    "Without arguments Zarvex starts a solo game, which nobody else can join.\n"
    "\"Play With Friends...\" in its File menu hosts a game for friends or joins\n"
    "one: games on the local network are listed there (through the Avahi service,\n"
    "avahi-daemon), and any other game is joined by its address.\n"
    "\n"
    "With three arguments it hosts (the third reads exactly \"true\"; the address\n"
    "is then not used) or joins (anything else). ADDRESS is a machine's name or\n"
    "number, with :PORT where the host does not use port 7772: box, box:7790,\n"
    "192.0.2.7, [2001:db8::7]:7790. A host listens on TCP port 7772 and\n"
    "announces its game on the local network.\n"
    "\n"
    "Only one copy runs for a user; starting another brings the first to the\n"
    "front. ZARVEX_HOME names the folder of the settings and the tally. See\n"
    "zarvex(6).\n";

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
        std::fputs(helpText, stdout);
        return 0;
    }
    SingleInstance instance(QStringLiteral("brouq"));
    if (instance.CheckPreviousInstance(true))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zarvex"));
    // Ties the windows to the installed desktop entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(ZARVEX_APP_ID));
    QApplication::setWindowIcon(AppIcon::icon());
    QApplication::setQuitOnLastWindowClosed(false);
    ErrorReport::setSink(showErrorBox);

    CursorBlink cursorBlink;
    int exitCode = 0;
    {
        WindowOptions options;
        options.gamePort = PortChoice::gamePort();
        options.webPort = PortChoice::webPort();
        options.lobbyPort = PortChoice::lobbyPort();
        WindowSet windows(options);
        instance.serveActivation([&windows] { windows.activateMain(); });
        Tchat *main = windows.registry().chat;
        if (!main)
            return 1;
        QObject::connect(main, &Tchat::closed, &app, &QApplication::quit);
        ShownMarker::installIfAsked();
        main->show();
        exitCode = QApplication::exec();
    }
    ErrorReport::setSink(nullptr);
    return exitCode;
}
