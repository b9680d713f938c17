#include "social/chatstyles.h"

#include "social/colourtext.h"

namespace {

ChatStyle style(quint32 colour, bool bold = false, bool italic = false, bool underline = false)
{
    ChatStyle s;
    s.colour = colour;
    s.bold = bold;
    s.italic = italic;
    s.underline = underline;
    return s;
}

constexpr quint32 navy = 0x800000;
constexpr quint32 maroon = 0x000080;
constexpr quint32 green = 0x008000;
constexpr quint32 silver = 0xC0C0C0;

} // namespace

ChatStyles::ChatStyles()
{
    m_styles = {
        style(ColourText::clBlue),                     // 0: status lines
        style(ColourText::clBlue, true),               // 1
        style(navy, true),                             // 2
        style(maroon, false, true),                    // 3
        style(green, false, false, true),              // 4: links
        style(green, false, false, true),              // 5
        style(silver),                                 // 6: seat 1
        style(silver),                                 // 7: seat 2
    };
    while (m_styles.size() < Count)                    // 8 to 14: seats 3 to 9
        m_styles.append(style(ColourText::clWindowText));
}

bool ChatStyles::takeLineColour(int style, quint32 colour)
{
    ChatStyle &s = m_styles[style];
    if (s.colour == colour && s.bold)
        return false;
    s.colour = colour;
    s.bold = true;
    return true;
}

void ChatStyles::setSize(int points)
{
    for (ChatStyle &s : m_styles)
        s.size = points;
}
