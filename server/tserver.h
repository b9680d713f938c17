#pragma once

#include <QObject>

// The game server: seats, boards, rounds and scores. Never shown; it runs in
// the hosting player's process or in the headless dedicated server.
class TServer : public QObject
{
    Q_OBJECT

public:
    explicit TServer(QObject *parent = nullptr);

    static QString caption() { return QStringLiteral("Server"); }
};
