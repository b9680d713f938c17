#pragma once

#include "lobby/pagedoor.h"

#include <QObject>
#include <functional>

class QSocketNotifier;

// A page door that waits until it is needed. It listens on the web port
// itself and makes the real door only when the first browser knocks, handing
// it the listening socket, so the browser is served as if the real door had
// been there all along. A host whom no browser visits never loads the web
// side at all (its library and Qt's network modules).
class LazyPageDoor : public QObject, public PageDoor
{
    Q_OBJECT

public:
    // Makes the real door on the listening socket, which it then owns, with
    // the given parent; null with the reason in error when it cannot (the
    // socket then stays with the lazy door).
    using Maker = std::function<PageDoor *(int listeningSocket, QString &error, QObject *parent)>;

    explicit LazyPageDoor(Maker maker, QObject *parent = nullptr);
    ~LazyPageDoor() override;

    // Listens on the port (0: any free one) on every address, IPv6 and
    // IPv4 alike; once the real door is made, it answers for it.
    bool openDoor(quint16 port, QString &error) override;
    void shutDoor() override;
    bool doorOpen() const override;
    quint16 doorPort() const override;

    // The real door, once a browser has come; null before.
    PageDoor *door() const { return m_door; }

signals:
    // The real door could not be made: browsers cannot join. In the host's
    // words; the door is shut.
    void failed(const QString &why);

private:
    void knocked();
    void closeSocket();

    Maker m_maker;
    PageDoor *m_door = nullptr;
    int m_socket = -1;
    QSocketNotifier *m_knock = nullptr;
};
