#pragma once

#include <QString>

// A tooltip shows markup whenever its text looks like markup. Texts from
// outside (a player's name, a phrase from the settings file) pass through
// here on their way to a tooltip, so that they show exactly as written.
namespace PlainTip {

// The tooltip text that shows text as it is: text itself when a tooltip
// would not take it for markup, else text escaped.
QString of(const QString &text);

} // namespace PlainTip
