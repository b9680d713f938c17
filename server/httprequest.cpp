#include "server/httprequest.h"

namespace {

// The characters of a token (a method, a header's name).
bool isTokenChar(char c)
{
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
        return true;
    return QByteArray("!#$%&'*+-.^_`|~").contains(c);
}

bool isToken(const QByteArray &text)
{
    if (text.isEmpty())
        return false;
    for (char c : text)
        if (!isTokenChar(c))
            return false;
    return true;
}

// Control characters other than the tab have no place in a head's line.
bool hasControls(const QByteArray &line)
{
    for (char c : line) {
        const auto u = static_cast<unsigned char>(c);
        if ((u < 0x20 && c != '\t') || u == 0x7F)
            return true;
    }
    return false;
}

} // namespace

HttpRequest HttpRequest::parse(const QByteArray &bytes)
{
    HttpRequest r;
    const int limit = int(qMin<qsizetype>(bytes.size(), MaxHeadBytes));
    int start = 0;
    int lines = 0;
    for (;;) {
        const int end = int(bytes.indexOf('\n', start));
        if (end < 0 || end >= limit) {
            // No more whole lines within the bound.
            r.m_status = bytes.size() >= MaxHeadBytes ? TooLarge : Incomplete;
            return r;
        }
        if (end == start || bytes.at(end - 1) != '\r') {
            r.m_status = Bad;   // a line feed without its carriage return
            return r;
        }
        const QByteArray line = bytes.mid(start, end - 1 - start);
        start = end + 1;
        if (lines == 0) {
            const QList<QByteArray> parts = line.split(' ');
            if (parts.size() != 3 || !isToken(parts[0]) || parts[1].isEmpty() || hasControls(parts[1])
                || parts[1].contains('\t')
                || (parts[2] != "HTTP/1.1" && parts[2] != "HTTP/1.0")) {
                r.m_status = Bad;
                return r;
            }
            r.m_method = parts[0];
            r.m_target = parts[1];
            r.m_version = parts[2];
            ++lines;
            continue;
        }
        if (line.isEmpty()) {
            r.m_status = Complete;
            r.m_headLength = start;
            return r;
        }
        if (r.m_headers.size() >= MaxHeaders) {
            r.m_status = TooLarge;
            return r;
        }
        const int colon = int(line.indexOf(':'));
        const QByteArray name = line.left(colon);
        // A folded line (starting with a blank) is not read; neither is a
        // name with blanks before its colon.
        if (colon <= 0 || !isToken(name) || hasControls(line)) {
            r.m_status = Bad;
            return r;
        }
        r.m_headers.append({name.toLower(), line.mid(colon + 1).trimmed()});
        ++lines;
    }
}

QByteArray HttpRequest::path() const
{
    const int query = int(m_target.indexOf('?'));
    return query < 0 ? m_target : m_target.left(query);
}

QByteArray HttpRequest::header(const QByteArray &name) const
{
    const QByteArray key = name.toLower();
    for (const auto &[n, value] : m_headers)
        if (n == key)
            return value;
    return QByteArray();
}

int HttpRequest::headerCount(const QByteArray &name) const
{
    const QByteArray key = name.toLower();
    int count = 0;
    for (const auto &h : m_headers)
        count += h.first == key;
    return count;
}

bool HttpRequest::headerHasToken(const QByteArray &name, const QByteArray &token) const
{
    const QByteArray key = name.toLower();
    const QByteArray wanted = token.toLower();
    for (const auto &[n, value] : m_headers) {
        if (n != key)
            continue;
        for (const QByteArray &item : value.split(','))
            if (item.trimmed().toLower() == wanted)
                return true;
    }
    return false;
}

bool HttpRequest::keepsAlive() const
{
    return m_version == "HTTP/1.1" && !headerHasToken("Connection", "close");
}

bool HttpRequest::asksUpgrade() const
{
    return m_method == "GET" && headerHasToken("Upgrade", "websocket") && headerHasToken("Connection", "upgrade");
}
