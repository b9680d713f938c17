#pragma once

#include "social/chatlinks.h"
#include "social/chatstyles.h"

#include <QFrame>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class RichTextView;

// The chat pane of the main window: the bordered panel holding the chat
// view `mainchat`, its context menu, and the handlers that turn display
// lines and relayed chat into items of the view.
class ChatPane : public QFrame
{
    Q_OBJECT

public:
    // The view's smallest size inside the panel's border; the window may
    // give it more.
    static constexpr int ViewWidth = 268;
    static constexpr int ViewHeight = 211;

    explicit ChatPane(QWidget *parent = nullptr);

    RichTextView *mainchat() const { return m_view; }
    QMenu *popup_mainchat() const { return m_popup; }
    const ChatLinks &linktable() const { return m_links; }

    // A relayed CMD_chat or CMD_action payload: "seat+text|colour".
    void chatrecieved(const QString &payload);
    // Appends one display line ("code+text") in the given colour value.
    void addlinetochat(const QString &line, quint32 colour);
    static bool islink(const QString &word);
    // Opens the link with the given number in the desktop's browser.
    void mainchatJump(int number);

    void SelectAll1Click();
    void Copy1Click();
    void ClearMainChat1Click();
    void ScrollChatOff1Click();
    bool scrollChatOff() const { return m_scrollChatOff; }

    // The text size setting: all fifteen styles, shown from the next line.
    void setTextSize(int points);

    // Adds "Clear Main Chat" and "Scroll Chat Off" to the Options menu of
    // the menu bar, creating that menu ("menu_options") when it is missing.
    void addOptionsItems(QMenuBar *bar);

    // Stand-ins for the desktop, replaced by tests: opening a link's text
    // in the browser, and a message box.
    void setLinkOpener(std::function<void(const QString &text)> opener);
    void setMessageBox(std::function<void(const QString &text)> show);

private:
    QAction *addItem(QMenu *menu, const char *name, const QString &text,
                     void (ChatPane::*handler)(), const QKeySequence &shortcut = {});

    RichTextView *m_view;
    QMenu *m_popup;
    QAction *m_scrollOffPopup;
    QAction *m_scrollOffOptions = nullptr;
    bool m_scrollChatOff = false;
    ChatStyles m_styles;
    ChatLinks m_links;
    std::function<void(const QString &)> m_opener;
    std::function<void(const QString &)> m_messageBox;
};
