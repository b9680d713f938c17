// zarvex-screenshot PATH [TILESET]: plays the start of a game between three
// copies of the windows inside one process and saves a picture of the host's
// main window in the middle of a round; with TILESET, that set is chosen from
// the Tiles menu first and the open menu is drawn over the picture. Run it offscreen
// (QT_QPA_PLATFORM=offscreen) to refresh the README's picture.

#include "client/gameclient.h"
#include "client/boardview.h"
#include "client/gamepanelview.h"
#include "client/tchat.h"
#include "protocol/wire.h"
#include "server/random.h"
#include "server/tserver.h"
#include "shell/windowset.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QThread>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

struct Table
{
    std::vector<std::unique_ptr<WindowSet>> copies;
    QByteArray port;

    Tchat &start(const QStringList &arguments)
    {
        WindowOptions options;
        options.timers = Ticker::Manual;
        options.gamePort = port;
        options.lobbyPort = 1;   // nobody listens: the lobby is not part of the picture
        options.arguments = arguments;
        options.messageBox = [](QWidget *, const QString &text) {
            std::fprintf(stderr, "%s\n", qPrintable(text));
        };
        copies.push_back(std::make_unique<WindowSet>(options));
        Tchat &chat = *copies.back()->registry().chat;
        chat.processparams();
        settle();
        return chat;
    }

    // Runs the network and every copy's dispatch until all is quiet.
    void settle()
    {
        for (int quiet = 0; quiet < 5;) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
            bool moved = false;
            for (auto &copy : copies) {
                for (TServer *s = copy->registry().server; s && s->queued() > 0; moved = true)
                    s->socktimerTimer();
                for (GameClient &c = copy->registry().chat->client(); c.queued() > 0; moved = true)
                    c.Timer1Timer();
            }
            QThread::msleep(3);
            quiet = moved ? 0 : quiet + 1;
        }
    }
};

QByteArray freePort()
{
    TSock probe;
    probe.setPortName("0");
    probe.setListen(true);
    return QByteArray::number(probe.LocalPort());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: zarvex-screenshot PATH [TILESET]\n");
        return 2;
    }
    Table table;
    table.port = freePort();
    Tchat &ann = table.start({"Ann", "127.0.0.1", "true"});
    Tchat &bob = table.start({"Bob", "127.0.0.1", "join"});
    Tchat &cid = table.start({"Cid", "127.0.0.1", "join"});
    Random::seed(20261207);
    TServer &server = *table.copies.front()->registry().server;

    bob.client().send(Wire::message("CMD_chat", {"2", "good luck everybody :)#10|clGreen"}));
    table.settle();
    ann.client().send(Wire::message("CMD_startgame", {"Ann", "250", "60", "f", "f", ""}));
    table.settle();
    cid.client().send(Wire::message("CMD_action", {"3", "cracks knuckles|clPurple"}));
    table.settle();

    // Bob finds the word after a few seconds; Ann has the first letters.
    for (int tick = 0; tick < 9; ++tick) {
        server.timer1Timer();
        for (auto &copy : table.copies)
            copy->registry().chat->client().turntimeTimer();
    }
    QByteArray positions = server.board().wordpositions();
    bob.client().send("CMD_myword+2" + positions + Wire::Terminator);
    table.settle();
    bob.client().send(Wire::message("CMD_chat", {"2", "see www.example.org for the rules|clGreen"}));
    table.settle();

    // Ann plays with the keys: the board has the keyboard, she has walked
    // to the word and typed its first two letters, and her cursor has
    // moved on, so the picture shows both the last-tile marker and the cursor.
    ann.show();
    QApplication::setActiveWindow(&ann);
    ann.gamePanel()->board()->setFocus(Qt::TabFocusReason);
    const QList<QByteArray> fields = positions.mid(1).split('+');
    GameClient &keys = ann.client();
    keys.boardKeyPress(Qt::Key_Home, QString());
    for (int c = 1; c < fields[0].toInt(); ++c)
        keys.boardKeyPress(Qt::Key_Right, QString());
    for (int r = 1; r < fields[1].toInt(); ++r)
        keys.boardKeyPress(Qt::Key_Down, QString());
    const QByteArray word = server.board().word();
    for (int k = 0; k < 2; ++k)
        keys.boardKeyPress(Qt::Key_A + (word[k] - 'a'), QString(QLatin1Char(word[k])));
    if (!keys.boardKeyPress(keys.cursor().tile().y() < 9 ? Qt::Key_Down : Qt::Key_Up, QString()))
        return 1;
    table.settle();
    QPixmap picture = ann.grab();
    if (argc == 3) {
        const QString set = QString::fromLocal8Bit(argv[2]);
        QAction *item = ann.findChild<QAction *>(set + QStringLiteral("3"));
        QMenu *tiles = ann.findChild<QMenu *>(QStringLiteral("menu_tiles"));
        if (!item || !tiles) {
            std::fprintf(stderr, "no tile set %s\n", argv[2]);
            return 1;
        }
        item->trigger();
        table.settle();
        picture = ann.grab();
        const QRect title = ann.menuBar()->actionGeometry(tiles->menuAction());
        tiles->popup(ann.mapToGlobal(title.bottomLeft()));
        table.settle();
        QPainter painter(&picture);
        painter.drawPixmap(ann.menuBar()->mapTo(&ann, title.bottomLeft()), tiles->grab());
    }
    if (!picture.save(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
