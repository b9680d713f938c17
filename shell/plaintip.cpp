#include "shell/plaintip.h"

#include <QTextDocument>

namespace PlainTip {

QString of(const QString &text)
{
    return Qt::mightBeRichText(text) ? Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal) : text;
}

} // namespace PlainTip
