#include "social/chatpane.h"

#include "shell/messagebox.h"
#include "social/chatline.h"
#include "social/richtextview.h"
#include "social/smileypictures.h"

#include <QAction>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>

ChatPane::ChatPane(QWidget *parent) : QFrame(parent), m_view(new RichTextView(this)), m_popup(new QMenu(this))
{
    setObjectName(QStringLiteral("panel_mainchat"));
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    // The smallest size; the window may give it more.
    setMinimumSize(ViewWidth + 2 * frameWidth(), ViewHeight + 2 * frameWidth());
    resize(minimumSize());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);

    m_view->setObjectName(QStringLiteral("mainchat"));
    m_view->setSpokenName(QStringLiteral("Chat"));
    m_view->setBackground(QColor(237, 207, 137));
    m_view->setHorizontalMargins(5);
    m_view->setWordDelimiters(QStringLiteral(" .;,:(){}\""));
    m_view->setPictures(SmileyPictures::Count, SmileyPictures::picture);
    for (int style = 0; style < ChatStyles::Count; ++style)
        m_view->setStyle(style, m_styles.at(style));
    connect(m_view, &RichTextView::linkClicked, this, &ChatPane::mainchatJump);
    connect(m_view, &RichTextView::contextMenuRequested, m_popup,
            [this](const QPoint &at) { m_popup->popup(at); });

    m_popup->setObjectName(QStringLiteral("popup_mainchat"));
    addItem(m_popup, "SelectAll1", QStringLiteral("Select All"), &ChatPane::SelectAll1Click);
    addItem(m_popup, "Copy1", QStringLiteral("Copy"), &ChatPane::Copy1Click, QKeySequence(QStringLiteral("Ctrl+C")));
    addItem(m_popup, "ClearMainChat1", QStringLiteral("Clear Main Chat"), &ChatPane::ClearMainChat1Click);
    m_popup->addSeparator();
    m_scrollOffPopup = addItem(m_popup, "ScrollChatOff1", QStringLiteral("Scroll Chat Off"),
                                 &ChatPane::ScrollChatOff1Click, QKeySequence(QStringLiteral("Ctrl+S")));
    m_scrollOffPopup->setCheckable(true);

    m_opener = [](const QString &text) { QDesktopServices::openUrl(ChatLinks::webAddress(text)); };
    m_messageBox = [this](const QString &text) { showPlainBox(window(), window()->windowTitle(), text); };
}

QAction *ChatPane::addItem(QMenu *menu, const char *name, const QString &text,
                             void (ChatPane::*handler)(), const QKeySequence &shortcut)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, handler);
    return action;
}

void ChatPane::addOptionsItems(QMenuBar *bar)
{
    QMenu *options = bar->findChild<QMenu *>(QStringLiteral("menu_options"));
    if (!options) {
        options = bar->addMenu(QStringLiteral("Options"));
        options->setObjectName(QStringLiteral("menu_options"));
    }
    addItem(options, "ClearMainChat2", QStringLiteral("Clear Main Chat"), &ChatPane::ClearMainChat1Click);
    // Ctrl+S belongs to Start Game in the main window's menus; the context
    // menu keeps it for this item.
    m_scrollOffOptions = addItem(options, "ScrollChatOff2", QStringLiteral("Scroll Chat Off"),
                                   &ChatPane::ScrollChatOff1Click, QKeySequence());
    m_scrollOffOptions->setCheckable(true);
    m_scrollOffOptions->setChecked(m_scrollChatOff);
}

void ChatPane::setLinkOpener(std::function<void(const QString &)> opener)
{
    m_opener = std::move(opener);
}

void ChatPane::setMessageBox(std::function<void(const QString &)> show)
{
    m_messageBox = std::move(show);
}

void ChatPane::chatrecieved(const QString &payload)
{
    const ChatLine::Received received = ChatLine::received(payload);
    addlinetochat(received.line, received.colour);
}

void ChatPane::addlinetochat(const QString &line, quint32 colour)
{
    // A line whose code is not 0 to 9 shows nothing; it says nothing either,
    // so a peer cannot fill the screen with message boxes.
    const std::optional<ChatLine> parsed = ChatLine::read(line);
    if (!parsed)
        return;
    const int style = parsed->style();
    if (m_styles.takeLineColour(style, colour))
        m_view->setStyle(style, m_styles.at(style));

    for (const ChatItem &item : parsed->items()) {
        switch (item.kind) {
        case ChatItem::Paragraph:
            m_view->addParagraph(item.text, item.style);
            break;
        case ChatItem::Text:
            m_view->addText(item.text, item.style);
            break;
        case ChatItem::Link: {
            const int number = m_view->addLink(item.text, item.style);
            const int recorded = m_links.add(item.text);
            Q_ASSERT(number == recorded);
            Q_UNUSED(number);
            Q_UNUSED(recorded);
            break;
        }
        case ChatItem::Picture:
            m_view->addPicture(item.picture, item.style);
            break;
        }
    }
    m_view->layout();
    if (!m_scrollChatOff)
        m_view->scrollToEnd();
}

bool ChatPane::islink(const QString &word)
{
    return ChatLine::islink(word);
}

void ChatPane::mainchatJump(int number)
{
    const QString text = m_links.target(number);
    if (text.isEmpty() || !ChatLinks::webAddress(text).isValid()) {
        m_messageBox(QStringLiteral("Cannot open Webpage"));
        return;
    }
    m_opener(text);
}

void ChatPane::SelectAll1Click()
{
    m_view->selectAll();
}

void ChatPane::Copy1Click()
{
    m_view->copy();
}

void ChatPane::ClearMainChat1Click()
{
    m_view->clear();
    m_links.clear();
    if (QWidget *input = window()->findChild<QWidget *>(QStringLiteral("mychat")))
        input->setFocus();
}

void ChatPane::ScrollChatOff1Click()
{
    // Both items show the one switch; Qt has already flipped the mark of
    // the item that was clicked, so both are set from the switch.
    m_scrollChatOff = !m_scrollChatOff;
    m_scrollOffPopup->setChecked(m_scrollChatOff);
    if (m_scrollOffOptions)
        m_scrollOffOptions->setChecked(m_scrollChatOff);
}

void ChatPane::setTextSize(int points)
{
    m_styles.setSize(points);
    for (int style = 0; style < ChatStyles::Count; ++style)
        m_view->setStyle(style, m_styles.at(style));
}
