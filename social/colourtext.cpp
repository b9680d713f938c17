#include "social/colourtext.h"

#include <limits>

namespace ColourText {

namespace {

QList<std::pair<QString, quint32>> buildTable()
{
    QList<std::pair<QString, quint32>> table = {
        {"clBlack", 0x000000},  {"clMaroon", 0x000080}, {"clGreen", 0x008000},
        {"clOlive", 0x008080},  {"clNavy", 0x800000},   {"clPurple", 0x800080},
        {"clTeal", 0x808000},   {"clGray", 0x808080},   {"clSilver", 0xC0C0C0},
        {"clRed", 0x0000FF},    {"clLime", 0x00FF00},   {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
        {"clWhite", 0xFFFFFF},
    };
    // The system colours take their value from their place in this list.
    const char *const system[] = {
        "clScrollBar",   "clBackground",      "clActiveCaption", "clInactiveCaption",
        "clMenu",        "clWindow",          "clWindowFrame",   "clMenuText",
        "clWindowText",  "clCaptionText",     "clActiveBorder",  "clInactiveBorder",
        "clAppWorkSpace", "clHighlight",      "clHighlightText", "clBtnFace",
        "clBtnShadow",   "clGrayText",        "clBtnText",       "clInactiveCaptionText",
        "clBtnHighlight", "cl3DDkShadow",     "cl3DLight",       "clInfoText",
        "clInfoBk",
    };
    quint32 position = 0;
    for (const char *name : system)
        table.append({QString::fromLatin1(name), SystemColour + position++});
    table.append({QStringLiteral("clNone"), clNone});
    return table;
}

// An optional sign and decimal digits, within the range of a signed 32-bit
// integer; a negative value keeps its two's-complement bits.
std::optional<quint32> readDecimal(const QString &text)
{
    int i = 0;
    const bool negative = text.startsWith(u'-');
    if (negative || text.startsWith(u'+'))
        i = 1;
    if (i >= text.size())
        return std::nullopt;
    qint64 magnitude = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c < u'0' || c > u'9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - '0');
        if (magnitude > qint64(std::numeric_limits<qint32>::max()) + 1)
            return std::nullopt;
    }
    const qint64 value = negative ? -magnitude : magnitude;
    if (value > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return quint32(qint32(value));
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// "$" and one to eight hexadecimal digits in either letter case.
std::optional<quint32> readHexadecimal(const QString &text)
{
    const QString digits = text.mid(1);
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const QChar c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + quint32(digit);
    }
    return value;
}

} // namespace

const QList<std::pair<QString, quint32>> &namedColours()
{
    static const QList<std::pair<QString, quint32>> table = buildTable();
    return table;
}

QString toText(quint32 colour)
{
    for (const auto &[name, value] : namedColours())
        if (value == colour)
            return name;
    return QStringLiteral("$%1").arg(colour, 8, 16, QLatin1Char('0')).toUpper();
}

std::optional<quint32> fromText(const QString &text)
{
    for (const auto &[name, value] : namedColours())
        if (name.compare(text, Qt::CaseInsensitive) == 0)
            return value;
    if (text.startsWith(u'$'))
        return readHexadecimal(text);
    return readDecimal(text);
}

} // namespace ColourText
