#pragma once

#include "server/httprequest.h"

#include <QByteArray>

class WebFiles;

// What the web door answers to a request head: the page's files from the
// fixed table (GET and HEAD only), and whether a request may become a
// browser's seat. Every answer carries the page's Content-Security-Policy
// and X-Content-Type-Options: nosniff; errors are short plain texts that no
// browser keeps.
//
// A WebSocket is opened only for the page itself: its Origin must be
// "http://" followed by exactly the Host the request was sent to (a page from
// any other site carries its own origin, and a request without one comes from
// no browser), and that Host must name this machine: an address, "localhost",
// or the machine's own name (alone, with ".local" or its network's domain),
// so that a site whose name is made to point at this machine cannot pass
// for its own page.
class WebSite
{
public:
    // The address of the page's WebSocket.
    static const QByteArray SocketPath;   // "/ws"
    static const QByteArray ContentSecurityPolicy;

    struct Answer
    {
        int status = 0;
        QByteArray bytes;     // status line, headers and body
        bool close = false;   // the connection ends after it
    };

    // The machine's own name; the system's host name unless given.
    explicit WebSite(const WebFiles &files, const QByteArray &machineName = QByteArray());

    // The answer to a whole request that is not an upgrade to be accepted.
    Answer answer(const HttpRequest &request) const;
    // The answer to a head that could not be read (HttpRequest::TooLarge or
    // Bad): the connection ends after it.
    Answer refusal(HttpRequest::Status status) const;
    // Whether the request may become a WebSocket: no answer (status 0) when
    // it may, the refusal otherwise.
    Answer upgradeRefusal(const HttpRequest &request) const;

    // Whether a Host header's value names this machine.
    bool isOwnHost(const QByteArray &host) const;
    // Whether an Origin is the page served under that Host.
    static bool isSameOrigin(const QByteArray &origin, const QByteArray &host);

private:
    Answer plain(int status, const QByteArray &text, bool close, const QByteArray &extra = QByteArray()) const;
    // A request's Host, or an answer when it has none this server takes.
    Answer checkHost(const HttpRequest &request) const;

    const WebFiles &m_files;
    QByteArray m_machine;
};
