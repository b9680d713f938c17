#include "lobby/avahiqtpoll.h"
#include "support/testmain.h"

#include <avahi-common/timeval.h>
#include <avahi-common/watch.h>

#include <fcntl.h>
#include <unistd.h>

// Avahi's main-loop interface on the Qt event loop, driven here as the
// Avahi client drives it, with a pipe standing in for its D-Bus socket.
class TestAvahiPoll : public QObject
{
    Q_OBJECT

    struct Calls
    {
        QList<int> events;
        int timeouts = 0;
        std::function<void()> inside;   // what the callback does besides counting
    };

    static void onWatch(AvahiWatch *, int, AvahiWatchEvent event, void *userdata)
    {
        auto *calls = static_cast<Calls *>(userdata);
        calls->events << int(event);
        if (calls->inside)
            calls->inside();
    }
    static void onTimeout(AvahiTimeout *, void *userdata)
    {
        auto *calls = static_cast<Calls *>(userdata);
        ++calls->timeouts;
        if (calls->inside)
            calls->inside();
    }

    static timeval in(int ms)
    {
        timeval tv{};
        avahi_elapse_time(&tv, unsigned(ms), 0);
        return tv;
    }

private slots:
    void aWatchReportsWhatItWaitsFor()
    {
        AvahiQtPoll poll;
        const AvahiPoll *api = poll.poll();
        int fds[2];
        QCOMPARE(pipe2(fds, O_NONBLOCK), 0);
        Calls calls;
        char byte = 0;
        calls.inside = [&] { (void)::read(fds[0], &byte, 1); };
        AvahiWatch *w = api->watch_new(api, fds[0], AVAHI_WATCH_IN, onWatch, &calls);
        QCOMPARE(poll.liveWatches(), 1);
        QCOMPARE(int(api->watch_get_events(w)), 0);
        QCOMPARE(::write(fds[1], "x", 1), 1);
        QTRY_COMPARE(calls.events, QList<int>({AVAHI_WATCH_IN}));

        // Not waiting for anything: nothing is reported.
        api->watch_update(w, AvahiWatchEvent(0));
        QCOMPARE(::write(fds[1], "y", 1), 1);
        QTest::qWait(50);
        QCOMPARE(calls.events.size(), 1);
        api->watch_update(w, AVAHI_WATCH_IN);
        QTRY_COMPARE(calls.events.size(), 2);

        // A pipe's writing end is writable at once.
        Calls writes;
        AvahiWatch *out = api->watch_new(api, fds[1], AVAHI_WATCH_OUT, onWatch, &writes);
        writes.inside = [&] { api->watch_update(out, AvahiWatchEvent(0)); };
        QTRY_COMPARE(writes.events, QList<int>({AVAHI_WATCH_OUT}));
        api->watch_free(out);
        api->watch_free(w);
        QCOMPARE(poll.liveWatches(), 0);
        ::close(fds[0]);
        ::close(fds[1]);
    }

    // Avahi frees a watch from inside its own callback: it is not called
    // again, and nothing is used after it is gone.
    void aWatchFreedInItsCallbackStops()
    {
        AvahiQtPoll poll;
        const AvahiPoll *api = poll.poll();
        int fds[2];
        QCOMPARE(pipe2(fds, O_NONBLOCK), 0);
        Calls calls;
        AvahiWatch *w = api->watch_new(api, fds[0], AVAHI_WATCH_IN, onWatch, &calls);
        calls.inside = [&] { api->watch_free(w); };
        QCOMPARE(::write(fds[1], "x", 1), 1);   // never read: the pipe stays readable
        QTRY_COMPARE(calls.events.size(), 1);
        QTest::qWait(50);
        QCOMPARE(calls.events.size(), 1);
        QCOMPARE(poll.liveWatches(), 0);
        ::close(fds[0]);
        ::close(fds[1]);
    }

    void timeoutsFireAtTheirTimeOnce()
    {
        AvahiQtPoll poll;
        const AvahiPoll *api = poll.poll();
        Calls calls;
        QElapsedTimer clock;
        clock.start();
        const timeval soon = in(40);
        AvahiTimeout *t = api->timeout_new(api, &soon, onTimeout, &calls);
        QTRY_COMPARE(calls.timeouts, 1);
        QVERIFY(clock.elapsed() >= 35);
        QTest::qWait(60);
        QCOMPARE(calls.timeouts, 1);

        // A time already past fires at once; none disarms.
        const timeval past = in(0);
        api->timeout_update(t, &past);
        QTRY_COMPARE(calls.timeouts, 2);
        const timeval later = in(30);
        api->timeout_update(t, &later);
        api->timeout_update(t, nullptr);
        QTest::qWait(80);
        QCOMPARE(calls.timeouts, 2);
        QCOMPARE(poll.liveTimeouts(), 1);
        api->timeout_free(t);
        QCOMPARE(poll.liveTimeouts(), 0);
    }

    void aTimeoutRearmedOrFreedInItsCallback()
    {
        AvahiQtPoll poll;
        const AvahiPoll *api = poll.poll();
        Calls calls;
        const timeval now = in(0);
        AvahiTimeout *t = api->timeout_new(api, &now, onTimeout, &calls);
        calls.inside = [&] {
            if (calls.timeouts < 3) {
                const timeval again = in(5);
                api->timeout_update(t, &again);
            } else {
                api->timeout_free(t);
            }
        };
        QTRY_COMPARE(calls.timeouts, 3);
        QTest::qWait(50);
        QCOMPARE(calls.timeouts, 3);
        QCOMPARE(poll.liveTimeouts(), 0);
    }

    // A disarmed timeout created without a time never fires.
    void aTimeoutWithoutATimeWaits()
    {
        AvahiQtPoll poll;
        const AvahiPoll *api = poll.poll();
        Calls calls;
        AvahiTimeout *t = api->timeout_new(api, nullptr, onTimeout, &calls);
        QTest::qWait(50);
        QCOMPARE(calls.timeouts, 0);
        api->timeout_free(t);
    }
};

ZARVEX_TEST_MAIN(TestAvahiPoll)
#include "tst_avahipoll.moc"
