// zarvex-tally-screenshot PATH: the tally window with a few games recorded,
// for checking how it looks. Works in a temporary program folder.
#include "shell/windowset.h"
#include "tally/ttallylist.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QTemporaryDir home;
    qputenv("ZARVEX_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    if (argc != 2)
        return 1;
    WindowOptions options;
    options.timers = Ticker::Manual;
    WindowSet windows(options);
    Ttallylist *w = windows.registry().tallylist();
    TallyStore &store = w->store();
    const QStringList seated = {"Bob", "Cid", "Dan"};
    store.loadchecklist({"Ann", "Bob"});
    store.checklistClickCheck(0);
    store.checklistClickCheck(1);
    for (const char *winner : {"addtomine", "Bob", "addtomine", "Cid", "addtomine", "Bob"})
        store.addgame(winner, seated);
    store.loadchecklist(seated);
    store.checklistClickCheck(1);
    store.listbox_tallyClick(1);
    w->show();
    QApplication::processEvents();
    return w->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
