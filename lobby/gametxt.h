#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// What a host tells the network about its game beside its name and port:
// the version, the name in seat 1, how many sit and watch, and whether a
// game is being played. Written as the TXT records "v=", "host=",
// "players=", "spectators=" and "running="; read back from whatever another
// machine announces, where every value is bounded and a value that makes no
// sense reads as unknown.
struct GameTxt
{
    static constexpr int Seats = 6;
    static constexpr int SpectatorSeats = 3;
    // The most characters of a host's name shown, and of a version text.
    static constexpr int MaxHostName = 40;
    static constexpr int MaxVersion = 16;
    // Records read from one announcement; the rest are ignored.
    static constexpr int MaxRecords = 32;

    QByteArray version;
    QString host;           // seat 1's name; empty while nobody sits there
    int players = -1;       // seated players, -1 when unknown
    int spectators = -1;    // -1 when unknown
    bool running = false;
    bool runningKnown = false;

    QList<QByteArray> records() const;
    static GameTxt fromRecords(const QList<QByteArray> &records);

    // "3 of 6 seated, 1 watching, game running", and "version 1.0.4" when
    // the version is not ours.
    QString summary(const QByteArray &ourVersion) const;

    bool operator==(const GameTxt &other) const;
    bool operator!=(const GameTxt &other) const { return !(*this == other); }
};
