#pragma once

#include "social/chatitem.h"
#include "social/chatstyles.h"

#include <QImage>
#include <QList>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QWidget>
#include <functional>

class QTextBrowser;

// The chat's rich text viewer: numbered styles, paragraphs, text items,
// numbered links and pictures, appended one after another and kept as a
// list of items that can be read back.
//
// Items are only ever appended at the end of the document, so adding one
// costs the same however long the chat already is. A style is shared by
// every item that uses it. A style whose font changes is applied again, at
// the next layout, to the ranges of the document that its items cover; a
// style whose colour alone changes costs nothing at all: colours are laid
// over the text as it is painted, for the ranges in sight only, so the
// length of the history never matters.
class RichTextView : public QWidget
{
    Q_OBJECT

public:
    explicit RichTextView(QWidget *parent = nullptr);

    // View settings.
    void setBackground(const QColor &colour);
    void setHorizontalMargins(int pixels);
    void setWordDelimiters(const QString &delimiters);
    // The pictures items may show, 0 to count - 1; each is asked for the
    // first time an item shows it.
    void setPictures(int count, std::function<QImage(int)> picture);
    // The name assistive technology reads for the view and its text.
    void setSpokenName(const QString &name);

    // Sets a style; items already shown take it at the next layout.
    void setStyle(int index, const ChatStyle &style);
    const ChatStyle &style(int index) const { return m_styles.at(index); }

    void addParagraph(const QString &text, int style);
    void addText(const QString &text, int style);
    // A link on the current line; answers its number, counted from 0 since
    // the view was last cleared.
    int addLink(const QString &text, int style);
    void addPicture(int picture, int style);

    // Lays out what was added since the last layout, and brings every item
    // up to date with its style. Items added in between are not shown yet.
    void layout();

    void clear();
    void selectAll();
    // Puts the selection on the clipboard as plain text; answers false, and
    // leaves the clipboard alone, when nothing is selected.
    bool copy();
    QString selectedText() const;
    // Selects the word around a document position, bounded by the delimiters.
    void selectWordAt(int position);

    int itemCount() const { return int(m_items.size()); }
    const QList<ChatItem> &items() const { return m_items; }
    // The text of the document as it is shown, pictures left out.
    QString plainText() const;
    // The colour, weight and picture shown at a document position.
    QTextCharFormat formatAt(int position) const;
    // The style of the item at a document position, -1 where there is none.
    int styleAt(int position) const;

    void scrollToEnd();
    int scrollPosition() const;
    void setScrollPosition(int position);
    int scrollMaximum() const;

signals:
    void linkClicked(int number);
    void contextMenuRequested(const QPoint &globalPosition);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Range
    {
        int start;
        int end;
    };

    void prepareDocument();
    void beginChange();
    // A new document holds no pictures; each is added as an item first
    // shows it, and its size answered (empty for no such picture).
    void forgetPictures();
    QSize pictureResource(int picture);
    // joinsAt: where the item continues the text before it, when that is not
    // where the item itself starts (a paragraph break lies between).
    void append(const ChatItem &item, const QTextCharFormat &format, int joinsAt = -1);
    QTextCharFormat formatFor(const ChatStyle &style) const;
    // Lays each style's colour over the ranges in sight.
    void paintColours();

    QTextBrowser *m_browser;
    QTextCursor m_end; // always at the end of the document
    QString m_delimiters;
    int m_margin = 5;
    int m_pictureCount = 0;
    std::function<QImage(int)> m_picture;
    QList<QSize> m_pictureSizes; // of the pictures the document holds; empty for none
    QList<ChatStyle> m_styles;
    QList<QTextCharFormat> m_formats;
    QList<bool> m_changed; // font changed: the style's ranges are formatted again
    bool m_recoloured = false;
    QList<QList<Range>> m_ranges; // per style, in document order
    QList<ChatItem> m_items;
    int m_links = 0;
    bool m_editing = false; // items were added since the last layout
};
