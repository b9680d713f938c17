#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// What the player says leaves through here: chat lines and actions, each
// from the player's seat and in the chat colour. The chat colour is the
// input field's font colour too.
class ChatSender
{
public:
    // The longest text one chat line or action carries, in characters. The
    // server ends a connection whose message grows past 64 KiB, so a pasted
    // book must never go out whole; 2,000 characters stay far below it.
    static constexpr int MaxLength = 2000;

    using Send = std::function<void(const QByteArray &message)>;

    // seat answers the player's seat at the moment of sending.
    ChatSender(std::function<int()> seat, Send send);

    // Black until the settings give another.
    quint32 colour() const { return m_colour; }
    void setColour(quint32 colour) { m_colour = colour; }

    // "CMD_chat+" seat "+" line "|" colour, and "CMD_action+" likewise.
    void chat(const QString &line);
    void action(const QString &text);

    // The message itself, the text cut at MaxLength characters.
    static QByteArray message(const QByteArray &command, int seat, const QString &text, quint32 colour);

    // The text cut to at most max characters, never between the two halves
    // of a surrogate pair.
    static QString capped(const QString &text, int max = MaxLength);

private:
    std::function<int()> m_seat;
    Send m_send;
    quint32 m_colour = 0;
};
