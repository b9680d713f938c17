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

int main(int argc, char *argv[])
{
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
