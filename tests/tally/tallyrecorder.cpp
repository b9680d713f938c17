// Records games into a tally file until it is killed. It tallies Bob and
// Cid unless they are already, then plays game after game against them:
// game n (counted from 0 over all runs) is won by the player when n % 3 is
// 0, by Bob when it is 1 and by Dan, who is not tallied, when it is 2.
// It prints "ready" and the games the file holds once loaded, then the
// games the file holds after every game it recorded and saved.
#include "tally/tallystore.h"

#include <QCoreApplication>
#include <unistd.h>

namespace {

void say(const QByteArray &line)
{
    const QByteArray text = line + '\n';
    if (::write(STDOUT_FILENO, text.constData(), size_t(text.size())) != text.size())
        ::_exit(4);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2)
        return 1;
    TallyStore store(QString::fromLocal8Bit(argv[1]));
    const QString error = store.load();
    if (!error.isEmpty()) {
        say("error " + error.toUtf8());
        return 2;
    }
    const QStringList seated = {"Bob", "Cid"};
    store.loadchecklist(seated);
    store.checklistClickCheck(0);
    store.checklistClickCheck(1);
    say("ready " + QByteArray::number(store.table().counter(1, 0)));
    for (;;) {
        const qint64 n = store.table().counter(1, 0);
        store.addgame(n % 3 == 0 ? "addtomine" : n % 3 == 1 ? "Bob" : "Dan", seated);
        if (store.unsaved()) {
            say("error " + store.lastSaveError().toUtf8());
            return 3;
        }
        say(QByteArray::number(n + 1));
    }
}
