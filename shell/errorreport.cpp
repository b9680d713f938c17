#include "shell/errorreport.h"

#include <cstdio>
#include <exception>

namespace ErrorReport {

namespace {

Sink &currentSink()
{
    static Sink sink;
    return sink;
}

} // namespace

Sink setSink(Sink sink)
{
    Sink previous = std::move(currentSink());
    currentSink() = std::move(sink);
    return previous;
}

void show(const QString &text)
{
    if (currentSink())
        currentSink()(text);
    else
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

void guarded(const std::function<void()> &fn)
{
    try {
        fn();
    } catch (const std::exception &e) {
        show(QString::fromUtf8(e.what()));
    } catch (...) {
        show(QStringLiteral("Unknown error"));
    }
}

} // namespace ErrorReport
