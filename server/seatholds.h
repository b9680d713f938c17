#pragma once

#include <QByteArray>
#include <QList>

// The seats kept for players whose connection was lost during a game. A held
// seat keeps its player's name (and, in the seat table, the score) for
// holdSeconds: nobody else is given it, but a connection from the player's
// own address is, and gets it back by logging in under the same name, letter
// case aside. A connection given a held seat claims it until its login shows
// whose it is.
//
// Addresses are the peers' addresses as text, whatever carries the
// connection. The owner calls tick() once a second while any seat is held.
class SeatHolds
{
public:
    static constexpr int holdSeconds = 60;

    struct Hold
    {
        int seat = 0;
        QByteArray name;
        QByteArray address;
        int secondsLeft = 0;
        bool claimed = false;   // a new connection sits in the seat, not yet logged in
    };

    // Keeps the seat for the player of that name at that address.
    void hold(int seat, const QByteArray &name, const QByteArray &address);
    bool isHeld(int seat) const { return find(seat) != nullptr; }
    const Hold *find(int seat) const;
    bool any() const { return !m_holds.isEmpty(); }
    const QList<Hold> &holds() const { return m_holds; }

    // The lowest held seat that no connection claims and that is kept for
    // this address; 0 when there is none.
    int unclaimedFor(const QByteArray &address) const;
    // The held seat that no connection claims and that is kept for this
    // player (the same address, the name in any letter case); 0 for none.
    int unclaimedFor(const QByteArray &address, const QByteArray &name) const;
    void claim(int seat, bool on = true);
    // Whether a login under this name is the seat's own player coming back.
    bool belongsTo(int seat, const QByteArray &name) const;

    // Ends a hold (the player is back, somebody else took the seat, the
    // game is over); answers what it held.
    Hold release(int seat);
    void clear() { m_holds.clear(); }

    // One second has passed: answers the holds that ran out, which are gone.
    QList<Hold> tick();

    // Names compared as players see them: letter case aside.
    static bool sameName(const QByteArray &a, const QByteArray &b);

private:
    QList<Hold> m_holds;   // in seat order
};
