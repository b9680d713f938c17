#pragma once

#include <QString>
#include <QTextDocument>
#include <QTextDocumentFragment>

// What a tooltip shows of its text: markup when the text looks like markup,
// else the text itself.
inline QString shownTip(const QString &tip)
{
    return Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
}
