// zarvex-windowprobe: the game's own windows, as the program makes them, with
// a line on standard output for what they show and a line on standard input
// for what their player types. The browser test plays beside it.
//
//   zarvex-windowprobe NAME ADDRESS join
//
// It writes one JSON object a line whenever what it shows changes:
// {"seats": [{"name", "score", "bonus"} for seats 1 to 6], "chat": the chat
// view's text}. It reads lines "say TEXT" (typed into the chat input and
// sent with Enter). It ends when standard input ends.

#include "client/tchat.h"
#include "shell/windowset.h"
#include "social/chatfield.h"
#include "social/chatinputview.h"
#include "social/chatpane.h"
#include "social/richtextview.h"

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSocketNotifier>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

QString textOf(const Tchat *main, const QString &name)
{
    const QLabel *label = main->findChild<QLabel *>(name);
    return label ? label->text() : QString();
}

QByteArray snapshot(const Tchat *main)
{
    QJsonArray seats;
    for (int seat = 1; seat <= 6; ++seat) {
        const QString n = QString::number(seat);
        seats.append(QJsonObject{{"name", textOf(main, "label_playername" + n)},
                                 {"score", textOf(main, "label_score" + n)},
                                 {"bonus", textOf(main, "label_bonus" + n)}});
    }
    const QJsonObject state{{"seats", seats}, {"chat", main->chatPane()->mainchat()->plainText()}};
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    WindowOptions options;
    options.arguments = app.arguments().mid(1);
    options.messageBox = [](QWidget *, const QString &text) {
        std::printf("%s\n", QJsonDocument(QJsonObject{{"box", text}}).toJson(QJsonDocument::Compact).constData());
        std::fflush(stdout);
    };
    options.confirmBox = [](QWidget *, const QString &) { return false; };
    WindowSet windows(options);
    Tchat *main = windows.registry().chat;
    if (!main)
        return 1;
    main->show();

    QByteArray shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QByteArray now = snapshot(main);
        if (now != shown) {
            shown = now;
            std::printf("%s\n", now.constData());
            std::fflush(stdout);
        }
    });
    watch.start(50);

    QByteArray typed;
    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, [&] {
        char buffer[4096];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0) {
            app.quit();
            return;
        }
        typed.append(buffer, int(n));
        for (int end; (end = int(typed.indexOf('\n'))) >= 0;) {
            const QString line = QString::fromUtf8(typed.left(end));
            typed.remove(0, end + 1);
            if (line.startsWith(QLatin1String("say "))) {
                ChatField *field = main->chatInput()->mychat();
                QTest::keyClicks(field, line.mid(4));
                QTest::keyClick(field, Qt::Key_Return);
            }
        }
    });
    return QApplication::exec();
}
