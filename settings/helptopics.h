#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One page of the help window: the button that shows it, the tag that names
// its page ("memo" + tag), and its text as lines; an empty line separates
// paragraphs and the first line is the page's title.
struct HelpTopic
{
    QString button;
    int tag = 0;
    QStringList lines;

    QString title() const { return lines.value(0); }
    QString pageName() const { return QStringLiteral("memo") + QString::number(tag); }
    QString text() const { return lines.join(QLatin1Char('\n')); }
};

// The help window's topics, in the order of their buttons.
namespace HelpTopics {

const QList<HelpTopic> &all();

// The topic with this tag, or nullptr.
const HelpTopic *byTag(int tag);

// The topic shown first and after start-up.
constexpr int firstTag = 1;

} // namespace HelpTopics
