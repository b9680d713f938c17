#include "social/chatinput.h"

#include "social/chatsender.h"

void ChatInput::setText(const QString &text)
{
    m_text = ChatSender::capped(text, MaxLength);
}

void ChatInput::mychatKeyDown()
{
    dropPlaceholder();
}

void ChatInput::dropPlaceholder()
{
    if (m_text == placeholder())
        m_text.clear();
}

bool ChatInput::sendit(bool connected, ChatSender &sender)
{
    if (!connected)
        return false;
    if (m_text.startsWith(QLatin1Char('/'))) {
        if (m_text.startsWith(QLatin1String("/me")))
            sender.action(m_text.mid(4));
    } else if (!m_text.isEmpty()) {
        sender.chat(m_text);
    }
    m_text.clear();
    return true;
}

void ChatInput::Paste1Click(const QString &clipboard)
{
    dropPlaceholder();
    QString oneLine = clipboard;
    oneLine.replace(QLatin1String("\r\n"), QLatin1String(" "));
    oneLine.replace(QLatin1Char('\r'), QLatin1Char(' '));
    oneLine.replace(QLatin1Char('\n'), QLatin1Char(' '));
    m_text += ChatSender::capped(oneLine, MaxLength - int(m_text.size()));
}

void ChatInput::N271Click(int smiley)
{
    dropPlaceholder();
    const QString code = QStringLiteral(":)#") + QString::number(smiley);
    if (m_text.size() + code.size() <= MaxLength)
        m_text += code;
}
