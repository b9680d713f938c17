#include "social/chatsender.h"

#include "protocol/wire.h"
#include "social/colourtext.h"

ChatSender::ChatSender(std::function<int()> seat, Send send) : m_seat(std::move(seat)), m_send(std::move(send))
{
}

void ChatSender::chat(const QString &line)
{
    m_send(message("CMD_chat", m_seat(), line, m_colour));
}

void ChatSender::action(const QString &text)
{
    m_send(message("CMD_action", m_seat(), text, m_colour));
}

QByteArray ChatSender::message(const QByteArray &command, int seat, const QString &text, quint32 colour)
{
    const QByteArray field = capped(text).toUtf8() + '|' + ColourText::toText(colour).toLatin1();
    return Wire::message(command, {Wire::num(seat), field});
}

QString ChatSender::capped(const QString &text, int max)
{
    if (text.size() <= max)
        return text;
    int end = qMax(0, max);
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end);
}
