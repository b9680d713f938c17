#include "social/chatline.h"

#include "social/chatstyles.h"
#include "social/colourtext.h"

namespace {

const QString smileyMark = QStringLiteral(":)#");

// One or more ASCII digits; the value, or -1 when the text is anything else.
int readDigits(const QString &text, int limit)
{
    if (text.isEmpty())
        return -1;
    int value = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c.unicode() - '0');
        if (value > limit)
            return -1;
    }
    return value;
}

} // namespace

ChatLine::ChatLine(int code) : m_code(code), m_style(ChatStyles::forLineCode(code)) {}

std::optional<ChatLine> ChatLine::read(const QString &displayLine)
{
    const int plus = displayLine.indexOf(u'+');
    const int code = plus < 0 ? -1 : readDigits(displayLine.left(plus), ChatStyles::HighestLineCode);
    if (code < 0)
        return std::nullopt;

    ChatLine line(code);
    const QString rest = displayLine.mid(plus + 1);
    const int colon = rest.indexOf(u':');
    const QString head = rest.left(colon + 1); // empty without a colon
    QString body = rest.mid(colon + 1);

    line.m_items.append({ChatItem::Paragraph, line.m_style, head + u' '});
    for (int mark = body.indexOf(smileyMark); mark >= 0; mark = body.indexOf(smileyMark)) {
        const QString piece = body.left(mark);
        const QString number = body.mid(mark + smileyMark.size(), 2);
        body.remove(0, mark + smileyMark.size() + number.size());
        line.addWords(piece);
        line.addSmiley(number);
    }
    if (!body.isEmpty())
        line.addWords(body);
    return line;
}

void ChatLine::addWords(QString piece)
{
    piece += u' ';
    while (!piece.isEmpty()) {
        const int blank = piece.indexOf(u' ');
        const QString word = piece.left(blank + 1);
        piece.remove(0, blank + 1);
        if (islink(word))
            m_items.append({ChatItem::Link, ChatStyles::LinkStyle, word});
        else
            m_items.append({ChatItem::Text, m_style, word});
    }
}

void ChatLine::addSmiley(const QString &number)
{
    const int value = readDigits(number, 99);
    const int picture = value - FirstSmiley;
    ChatItem item{ChatItem::Picture, m_style, QString()};
    item.picture = (value < 0 || picture < 0 || picture >= SmileyCount) ? 0 : picture;
    m_items.append(item);
}

ChatLine::Received ChatLine::received(const QString &payload)
{
    const int bar = payload.indexOf(u'|');
    if (bar < 0)
        return {payload, ColourText::clRed};
    const auto colour = ColourText::fromText(payload.mid(bar + 1));
    return {payload.left(bar), colour.value_or(ColourText::clRed)};
}

bool ChatLine::islink(const QString &word)
{
    return word.contains(QLatin1String("http://"), Qt::CaseInsensitive)
        || word.contains(QLatin1String("www."), Qt::CaseInsensitive);
}
