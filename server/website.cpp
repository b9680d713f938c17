#include "server/website.h"

#include "server/webfiles.h"

#include <QSysInfo>

#include <arpa/inet.h>

const QByteArray WebSite::SocketPath = QByteArrayLiteral("/ws");
const QByteArray WebSite::ContentSecurityPolicy = QByteArrayLiteral(
    "default-src 'self'; script-src 'self'; style-src 'self'; img-src 'self'; media-src 'self'; "
    "connect-src 'self'; object-src 'none'; base-uri 'none'; frame-ancestors 'none'; form-action 'self'");

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200: return "OK";
    case 304: return "Not Modified";
    case 400: return "Bad Request";
    case 403: return "Forbidden";
    case 404: return "Not Found";
    case 405: return "Method Not Allowed";
    case 426: return "Upgrade Required";
    case 431: return "Request Header Fields Too Large";
    default: return "Error";
    }
}

QByteArray head(int status, const QByteArray &headers, bool close)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) + "\r\n";
    out += headers;
    out += "Content-Security-Policy: " + WebSite::ContentSecurityPolicy + "\r\n";
    out += "X-Content-Type-Options: nosniff\r\n";
    out += "Referrer-Policy: no-referrer\r\n";
    if (close)
        out += "Connection: close\r\n";
    out += "\r\n";
    return out;
}

// Whether an If-None-Match list names the ETag (weak or strong alike).
bool matchesTag(const QByteArray &list, const QByteArray &etag)
{
    for (QByteArray item : list.split(',')) {
        item = item.trimmed();
        if (item.startsWith("W/"))
            item = item.mid(2);
        if (item == "*" || item == etag)
            return true;
    }
    return false;
}

// The host part of a Host header's value: "box" of "box:7773", "::1" of
// "[::1]:7773"; empty when it cannot be read.
QByteArray hostPart(const QByteArray &host)
{
    if (host.startsWith('[')) {
        const int close = int(host.indexOf(']'));
        if (close < 0 || (close + 1 < host.size() && host.at(close + 1) != ':'))
            return QByteArray();
        return host.mid(1, close - 1);
    }
    const int colon = int(host.indexOf(':'));
    return colon < 0 ? host : host.left(colon);
}

bool isAddress(const QByteArray &name)
{
    unsigned char scratch[sizeof(in6_addr)];
    return inet_pton(AF_INET, name.constData(), scratch) == 1 || inet_pton(AF_INET6, name.constData(), scratch) == 1;
}

} // namespace

WebSite::WebSite(const WebFiles &files, const QByteArray &machineName)
    : m_files(files),
      m_machine((machineName.isEmpty() ? QSysInfo::machineHostName().toUtf8() : machineName).toLower())
{
}

WebSite::Answer WebSite::plain(int status, const QByteArray &text, bool close, const QByteArray &extra) const
{
    Answer a;
    a.status = status;
    a.close = close;
    const QByteArray body = text + '\n';
    a.bytes = head(status,
                   "Content-Type: text/plain; charset=utf-8\r\nContent-Length: " + QByteArray::number(body.size())
                       + "\r\nCache-Control: no-store\r\n" + extra,
                   close)
              + body;
    return a;
}

WebSite::Answer WebSite::refusal(HttpRequest::Status status) const
{
    if (status == HttpRequest::TooLarge)
        return plain(431, "The request is too large.", true);
    return plain(400, "The request could not be read.", true);
}

bool WebSite::isOwnHost(const QByteArray &host) const
{
    const QByteArray name = hostPart(host).toLower();
    if (name.isEmpty())
        return false;
    if (name == "localhost" || isAddress(name))
        return true;
    return !m_machine.isEmpty() && (name == m_machine || name.startsWith(m_machine + '.'));
}

bool WebSite::isSameOrigin(const QByteArray &origin, const QByteArray &host)
{
    return !host.isEmpty() && origin.toLower() == "http://" + host.toLower();
}

WebSite::Answer WebSite::checkHost(const HttpRequest &request) const
{
    const int hosts = request.headerCount("Host");
    if (hosts > 1 || (hosts == 0 && request.version() == "HTTP/1.1"))
        return plain(400, "The request names no single host.", true);
    if (hosts == 1 && !isOwnHost(request.header("Host")))
        return plain(403, "Open the game by this machine's address, as the host's lobby window shows it.", true);
    return Answer();
}

WebSite::Answer WebSite::upgradeRefusal(const HttpRequest &request) const
{
    if (request.path() != SocketPath)
        return plain(404, "Not found.", true);
    if (request.version() != "HTTP/1.1")
        return plain(400, "A WebSocket needs HTTP/1.1.", true);
    if (const Answer host = checkHost(request); host.status != 0)
        return host;
    if (request.headerCount("Origin") != 1 || !isSameOrigin(request.header("Origin"), request.header("Host")))
        return plain(403, "Seats are taken from the game's own page only.", true);
    if (request.header("Sec-WebSocket-Version") != "13")
        return plain(426, "WebSocket version 13 is spoken here.", true, "Sec-WebSocket-Version: 13\r\n");
    if (request.header("Sec-WebSocket-Key").isEmpty())
        return plain(400, "The WebSocket request has no key.", true);
    return Answer();
}

WebSite::Answer WebSite::answer(const HttpRequest &request) const
{
    const QByteArray method = request.method();
    if (method != "GET" && method != "HEAD")
        return plain(405, "Only GET and HEAD are served here.", true, "Allow: GET, HEAD\r\n");
    // A request with a body is none of the page's; its body is not read.
    const QByteArray length = request.header("Content-Length");
    if ((!length.isEmpty() && length != "0") || request.headerCount("Transfer-Encoding") > 0)
        return plain(400, "A request with a body is not served here.", true);
    if (const Answer host = checkHost(request); host.status != 0)
        return host;
    const bool close = !request.keepsAlive();
    if (!request.target().startsWith('/'))
        return plain(400, "The request names no path.", true);
    const QByteArray path = request.path();
    if (path == SocketPath)
        return plain(426, "This is the game's WebSocket.", close, "Upgrade: websocket\r\n");
    const WebFiles::File *file = m_files.find(path);
    if (!file)
        return plain(404, "Not found.", close);

    Answer a;
    a.close = close;
    const QByteArray common = "Cache-Control: " + file->cacheControl + "\r\nETag: " + file->etag + "\r\n";
    const QByteArray since = request.header("If-None-Match");
    if (!since.isEmpty() && matchesTag(since, file->etag)) {
        a.status = 304;
        a.bytes = head(304, common, close);
        return a;
    }
    a.status = 200;
    a.bytes = head(200,
                   "Content-Type: " + file->type + "\r\nContent-Length: " + QByteArray::number(file->body.size())
                       + "\r\n" + common,
                   close);
    if (method == "GET")
        a.bytes += file->body;
    return a;
}
