#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// One HTTP/1.x request head as a browser sends it to the web door: the
// request line, the header lines and the empty line that ends them, every
// line ended by CR LF. Bytes from anybody on the network: the head is read
// only when it has come whole and within the bound, and what cannot be read
// is refused, never guessed at.
class HttpRequest
{
public:
    // The longest head read: request line, headers and the empty line.
    static constexpr int MaxHeadBytes = 8192;
    static constexpr int MaxHeaders = 64;

    enum Status {
        Incomplete,   // the head has not come whole yet: wait for more
        Complete,
        TooLarge,     // longer than MaxHeadBytes, or more than MaxHeaders headers (431)
        Bad,          // not a request this server reads (400)
    };

    // Reads the head at the start of the bytes; they may hold more after it
    // (the next request of the connection).
    static HttpRequest parse(const QByteArray &bytes);

    Status status() const { return m_status; }
    // The bytes of the head, its empty line included; 0 unless Complete.
    int headLength() const { return m_headLength; }

    QByteArray method() const { return m_method; }
    QByteArray target() const { return m_target; }
    // The target without its query ("/index.html" of "/index.html?x=1").
    QByteArray path() const;
    QByteArray version() const { return m_version; }

    // The first value of the named header (any letter case), trimmed; empty
    // when it is missing.
    QByteArray header(const QByteArray &name) const;
    int headerCount(const QByteArray &name) const;
    int headerCount() const { return int(m_headers.size()); }
    // Whether the header's comma-separated list holds the token, letter
    // case aside ("Connection: keep-alive, Upgrade" holds "upgrade").
    bool headerHasToken(const QByteArray &name, const QByteArray &token) const;

    // The connection may carry another request after the answer.
    bool keepsAlive() const;
    // A request to turn the connection into a WebSocket.
    bool asksUpgrade() const;

private:
    Status m_status = Incomplete;
    int m_headLength = 0;
    QByteArray m_method;
    QByteArray m_target;
    QByteArray m_version;
    QList<QPair<QByteArray, QByteArray>> m_headers;   // names in small letters
};
