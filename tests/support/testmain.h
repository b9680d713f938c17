#pragma once

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#define ZARVEX_TEST_NO_BUS "unix:path=/nonexistent/zarvex-tests-use-no-system-bus"

// Like QTEST_MAIN, but every test program runs with a fresh, empty program
// folder and its own runtime folder, so tests never see the files or the
// single-instance key (which holds the program folder) of a running game or
// of each other. Nor does a test reach the machine's D-Bus system bus, and
// with it a multicast DNS daemon that would announce its games on a real
// network: the bus address leads nowhere unless a test starts a daemon of its
// own (support/mdnsdaemon.h). Programs that tests start inherit all three.
#define ZARVEX_TEST_MAIN(TestClass) ZARVEX_TEST_MAIN_AFTER(TestClass, (void)0)

// The same, with a statement run first, before anything else of the process
// (and so before any thread) has started.
#define ZARVEX_TEST_MAIN_AFTER(TestClass, first)                             \
    int main(int argc, char *argv[])                                         \
    {                                                                        \
        first;                                                               \
        QTemporaryDir home;                                                  \
        QTemporaryDir runtime;                                               \
        qputenv("ZARVEX_HOME", home.path().toLocal8Bit());                   \
        qputenv("XDG_RUNTIME_DIR", runtime.path().toLocal8Bit());            \
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", ZARVEX_TEST_NO_BUS);              \
        QApplication app(argc, argv);                                        \
        app.setAttribute(Qt::AA_Use96Dpi, true);                             \
        TestClass tc;                                                        \
        QTEST_SET_MAIN_SOURCE_PATH                                           \
        return QTest::qExec(&tc, argc, argv);                                \
    }
