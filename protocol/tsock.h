#pragma once

#include "protocol/esockexception.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <functional>
#include <netinet/in.h>

class QSocketNotifier;

// One TCP (or UDP) endpoint: a non-blocking POSIX socket whose readiness is
// watched by QSocketNotifiers on the owning thread. Configured through
// properties and driven by the event callbacks below, which an accepting
// listener copies onto each new connection. The layer moves raw bytes; the
// protocol's framing lives in the OnRead handlers.
class TSock : public QObject
{
    Q_OBJECT

public:
    enum TSocketType { stStream = 0, stDatagram = 1 };
    enum TLineBreak { lbCRLF = 0, lbCR = 1, lbLF = 2, lbSmart = 3 };
    enum TSocketInfo {
        siLookup = 0,
        siConnect = 1,
        siClose = 2,
        siListen = 3,
        siReceive = 4,
        siSend = 5,
        siAccept = 6,
        siError = 7,
    };

    using TNotifyEvent = std::function<void(TSock *sender)>;
    using TNotifyReadEvent = std::function<void(TSock *sender, int count)>;
    using TNotifyAutoEvent = std::function<void(TSock *listener, TSock *newSock)>;
    using TNotifyInfoEvent =
        std::function<void(TSock *sender, TSocketInfo info, const QByteArray &msg)>;

    explicit TSock(QObject *parent = nullptr);
    ~TSock() override;

    // The word the layer keeps for an info code ("Lookup", "Connect", ...).
    static QByteArray infoWord(TSocketInfo info);

    // Properties.
    TSocketType SocketType() const { return m_socketType; }
    void setSocketType(TSocketType type);
    QByteArray HostName() const { return m_hostName; }
    void setHostName(const QByteArray &name);
    QByteArray PortName() const { return m_portName; }
    void setPortName(const QByteArray &name);
    bool Blocking() const { return m_blocking; }
    void setBlocking(bool blocking);
    bool AutoAccept() const { return m_autoAccept; }
    void setAutoAccept(bool on) { m_autoAccept = on; }
    bool Listen() const { return m_listen; }
    void setListen(bool on);
    // The local address a listener takes: empty (the default) for every
    // address of the machine, IPv4 and IPv6 alike, or one numeric address
    // ("127.0.0.1" listens to this machine alone). Read when listening starts.
    QByteArray BindAddress() const { return m_bindAddress; }
    void setBindAddress(const QByteArray &address) { m_bindAddress = address; }
    TLineBreak LineBreak() const { return m_lineBreak; }
    void setLineBreak(TLineBreak lb) { m_lineBreak = lb; }
    int BlockingTimeout() const { return m_blockingTimeout; }
    void setBlockingTimeout(int ms) { m_blockingTimeout = ms; }

    // Events.
    TNotifyEvent OnConnect;
    TNotifyEvent OnDisconnect;
    TNotifyInfoEvent OnInfo;
    TNotifyReadEvent OnRead;
    TNotifyEvent OnWrite;
    TNotifyEvent OnAccept;
    TNotifyAutoEvent OnAutoAccept;

    // A small number the owner keeps on the socket (the server's seat).
    int Tag = 0;

    bool Connected() const { return m_connected; }
    bool HandleValid() const { return m_fd >= 0; }
    int Handle() const { return m_fd; }
    quint16 LocalPort() const;   // the port the handle is bound to, 0 without one
    // The connected peer's address as text ("192.0.2.7", "2001:db8::7"); an
    // IPv4 peer reached through an IPv6 socket reads as plain IPv4. Empty
    // without a connection.
    QByteArray PeerAddress() const;
    int InboundCount() const { return int(m_inbound.size()); }
    int OutboundCount() const { return int(m_outbound.size()); }

    // Has the system probe an idle connection: after idleSeconds without
    // traffic, then every intervalSeconds; once the peer has been silent for
    // idleSeconds + intervalSeconds × count, whether the connection was idle
    // or had data waiting, it is given up and reported broken (error 10060,
    // WSAETIMEDOUT). A peer that vanishes without a word is noticed this way.
    void setKeepAlive(int idleSeconds, int intervalSeconds, int count);

    // Operations.
    bool Open();
    bool Close();
    bool Send(const QByteArray &text);
    QByteArray Receive() { return ReceiveCount(-1); }
    QByteArray ReceiveCount(int n);   // n < 0: no limit
    bool Accept(TSock *&NewSock);
    bool SendDatagram(const QByteArray &text, const QByteArray &host);
    QByteArray ReceiveDatagram(QByteArray &host);

    in_addr LookupHost(const QByteArray &name);
    // The address a stream connects to: a numeric IPv4 or IPv6 address (an
    // IPv6 one may name its interface, "fe80::1%eth0"), or a host name,
    // whose IPv4 address is preferred. Raises "Host Lookup - Could Not Find
    // Host Entry" when there is none.
    sockaddr_storage LookupAddress(const QByteArray &name);
    quint16 LookupPort(const QByteArray &name);   // host order

    // How many times the system resolver was asked since start-up; names once
    // resolved are answered from the process-wide cache.
    static int resolverCalls();

private:
    void report(TSocketInfo info, const QByteArray &msg);
    void registerNotifications();
    void dropNotifiers();
    void watchRead(bool on);
    void watchWrite(bool on);
    void reportError(int winsockError);

    void onReadable();
    void onWritable();
    void handleAccept();
    void handleRead();
    void handleConnect();
    void handleWrite();
    bool pushOutbound();
    TSock *acceptOne(bool withInfo);

    int m_fd = -1;
    TSocketType m_socketType = stStream;
    QByteArray m_hostName;
    QByteArray m_portName;
    bool m_blocking = false;
    bool m_autoAccept = false;
    bool m_listen = false;
    TLineBreak m_lineBreak = lbSmart;
    int m_blockingTimeout = 0;

    bool m_connected = false;
    bool m_connecting = false;
    sockaddr_in m_remote{};
    sockaddr_storage m_peer{};
    QByteArray m_bindAddress;
    QByteArray m_inbound;
    QByteArray m_outbound;

    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
};
