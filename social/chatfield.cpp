#include "social/chatfield.h"

#include "social/chatinput.h"
#include "social/chatsender.h"
#include "social/systemcolours.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

ChatField::ChatField(ChatInput &input, ChatSender &sender, std::function<bool()> connected, QWidget *parent)
    : QLineEdit(parent), m_input(input), m_sender(sender), m_connected(std::move(connected)), m_popup(new QMenu(this))
{
    setObjectName(QStringLiteral("mychat"));
    setAccessibleName(QStringLiteral("Chat input"));
    setMaxLength(ChatInput::MaxLength);
    QFont f(QStringLiteral("Arial"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(13);
    setFont(f);

    m_popup->setObjectName(QStringLiteral("popup_mychat"));
    QAction *paste = m_popup->addAction(QStringLiteral("Paste"));
    paste->setObjectName(QStringLiteral("Paste1"));
    paste->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
    paste->setShortcutContext(Qt::WidgetShortcut);
    connect(paste, &QAction::triggered, this, &ChatField::Paste1Click);

    // Whatever the line edit itself changes (typing, deleting, cutting,
    // undoing, dropping), the input learns at once.
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        m_input.setText(text);
        showInput();
    });
    render();
}

void ChatField::showInput()
{
    if (text() != m_input.text())
        setText(m_input.text());
}

void ChatField::caretToEnd()
{
    deselect();
    end(false);
}

void ChatField::render()
{
    showInput();
    const QColor colour = SystemColours::toColor(m_sender.colour(), QApplication::palette());
    if (palette().color(QPalette::Text) != colour) {
        QPalette p = palette();
        p.setColor(QPalette::Text, colour);
        setPalette(p);
    }
}

void ChatField::sendit()
{
    if (m_input.sendit(m_connected(), m_sender)) {
        showInput();
        setFocus();
    }
}

void ChatField::Paste1Click()
{
    m_input.Paste1Click(QApplication::clipboard()->text());
    showInput();
    caretToEnd();
}

void ChatField::N271Click(int smiley)
{
    m_input.N271Click(smiley);
    showInput();
    caretToEnd();
}

void ChatField::keyPressEvent(QKeyEvent *event)
{
    m_input.mychatKeyDown();
    showInput();
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        sendit();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        Paste1Click();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void ChatField::contextMenuEvent(QContextMenuEvent *event)
{
    m_popup->popup(event->globalPos());
    event->accept();
}
