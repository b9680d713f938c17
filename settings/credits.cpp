#include "settings/credits.h"

namespace Credits {

QString credit()
{
    return QStringLiteral("By the Zarvex developers");
}

QString notice()
{
    return QStringLiteral("Copyright \u00A9 2007-");
}

QString rights()
{
    return QStringLiteral("Free software under the MIT License.");
}

QString yearText(const QDate &today)
{
    // An invalid date (a clock that cannot be read) leaves the design text.
    if (!today.isValid())
        return QStringLiteral("2007");
    return QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0'));
}

} // namespace Credits
