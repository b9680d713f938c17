#pragma once

#include <QString>

// The door by which browsers reach a hosted game: the page and its WebSocket
// on the web port. A hosting session opens it and shuts it when it stops
// hosting; a program that can serve the page hands one in.
class PageDoor
{
public:
    virtual ~PageDoor() = default;

    // Opens on the port, on every address of the machine; false, with the
    // reason in error, when it cannot.
    virtual bool openDoor(quint16 port, QString &error) = 0;
    // Stops taking visitors; seats already taken stay with the server.
    virtual void shutDoor() = 0;
    virtual bool doorOpen() const = 0;
    virtual quint16 doorPort() const = 0;
};
