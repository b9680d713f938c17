#pragma once

#include <QString>
#include <functional>

// The program-wide error report: an error that no handler catches ends up
// here and the program carries on. The windows show it in a message box, the
// headless server prints it; until one of them installs a sink, it goes to
// standard error.
namespace ErrorReport {

using Sink = std::function<void(const QString &text)>;

// Installs the sink and answers the previous one, so that a test can put it back.
Sink setSink(Sink sink);

void show(const QString &text);

// Runs the function and reports whatever exception escapes from it.
void guarded(const std::function<void()> &fn);

} // namespace ErrorReport
