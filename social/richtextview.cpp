#include "social/richtextview.h"

#include "social/systemcolours.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTextFrame>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QChar objectReplacement(QChar::ObjectReplacementCharacter);

QString pictureName(int picture)
{
    return QStringLiteral("picture:%1").arg(picture);
}

} // namespace

RichTextView::RichTextView(QWidget *parent)
    : QWidget(parent), m_browser(new QTextBrowser(this)), m_styles(ChatStyles::Count),
      m_formats(ChatStyles::Count), m_changed(ChatStyles::Count, false), m_ranges(ChatStyles::Count)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);

    m_browser->setFrameShape(QFrame::NoFrame);
    m_browser->setUndoRedoEnabled(false);
    m_browser->setOpenLinks(false);
    m_browser->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_browser->setContextMenuPolicy(Qt::CustomContextMenu);
    m_browser->installEventFilter(this);
    m_browser->viewport()->installEventFilter(this);
    setFocusProxy(m_browser);

    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) {
        bool ok = false;
        const int number = url.toString().toInt(&ok);
        if (ok)
            emit linkClicked(number);
    });
    // The colours follow what is in sight: after a scroll, and after the
    // text is laid out anew for another width.
    connect(m_browser->verticalScrollBar(), &QScrollBar::valueChanged, this, &RichTextView::paintColours);
    connect(m_browser->verticalScrollBar(), &QScrollBar::rangeChanged, this, &RichTextView::paintColours);
    connect(m_browser, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        emit contextMenuRequested(m_browser->viewport()->mapToGlobal(pos));
    });

    const ChatStyles design;
    for (int i = 0; i < ChatStyles::Count; ++i) {
        m_styles[i] = design.at(i);
        m_formats[i] = formatFor(m_styles[i]);
    }
    prepareDocument();
}

void RichTextView::prepareDocument()
{
    // A cleared document gets its margins again, and its pictures as they
    // are shown.
    setHorizontalMargins(m_margin);
    forgetPictures();
    m_end = QTextCursor(m_browser->document());
    m_end.movePosition(QTextCursor::End);
}

void RichTextView::setSpokenName(const QString &name)
{
    setAccessibleName(name);
    m_browser->setAccessibleName(name);
}

void RichTextView::setBackground(const QColor &colour)
{
    QPalette palette = m_browser->palette();
    palette.setColor(QPalette::Base, colour);
    m_browser->setPalette(palette);
}

void RichTextView::setHorizontalMargins(int pixels)
{
    m_margin = pixels;
    QTextFrame *root = m_browser->document()->rootFrame();
    QTextFrameFormat frame = root->frameFormat();
    frame.setLeftMargin(pixels);
    frame.setRightMargin(pixels);
    root->setFrameFormat(frame);
}

void RichTextView::setWordDelimiters(const QString &delimiters)
{
    m_delimiters = delimiters;
}

void RichTextView::setPictures(int count, std::function<QImage(int)> picture)
{
    m_pictureCount = count;
    m_picture = std::move(picture);
    forgetPictures();
}

void RichTextView::forgetPictures()
{
    m_pictureSizes = QList<QSize>(m_pictureCount);
}

QSize RichTextView::pictureResource(int picture)
{
    if (picture < 0 || picture >= m_pictureSizes.size() || !m_picture)
        return QSize();
    if (m_pictureSizes.at(picture).isEmpty()) {
        // As a pixmap: the document would otherwise convert an image each
        // time it lays out a picture.
        const QImage image = m_picture(picture);
        m_browser->document()->addResource(QTextDocument::ImageResource, QUrl(pictureName(picture)),
                                           QPixmap::fromImage(image));
        m_pictureSizes[picture] = image.size();
    }
    return m_pictureSizes.at(picture);
}

QTextCharFormat RichTextView::formatFor(const ChatStyle &style) const
{
    // Every property is set, so that merging the format into a range
    // replaces whatever the range had before.
    QTextCharFormat format;
    format.setFontFamilies({style.family});
    format.setFontPointSize(style.size);
    format.setFontWeight(style.bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(style.italic);
    format.setFontUnderline(style.underline);
    format.setForeground(SystemColours::toColor(style.colour, m_browser->palette()));
    return format;
}

void RichTextView::setStyle(int index, const ChatStyle &style)
{
    ChatStyle recoloured = m_styles.at(index);
    if (recoloured == style)
        return;
    recoloured.colour = style.colour;
    m_styles[index] = style;
    m_formats[index] = formatFor(style);
    // A new colour alone is laid over the text as it is painted; a new font
    // changes the layout, so the style's ranges take it in the document.
    if (recoloured == style)
        m_recoloured = true;
    else
        m_changed[index] = true;
}

void RichTextView::beginChange()
{
    // Everything added up to the next layout is laid out at once.
    if (!m_editing)
        m_end.beginEditBlock();
    m_editing = true;
}

void RichTextView::append(const ChatItem &item, const QTextCharFormat &format, int joinsAt)
{
    beginChange();
    const int start = m_end.position();
    if (item.kind == ChatItem::Picture) {
        QTextImageFormat image;
        image.merge(format);
        image.setName(pictureName(item.picture));
        const QSize size = pictureResource(item.picture);
        if (!size.isEmpty()) {
            image.setWidth(size.width());
            image.setHeight(size.height());
        }
        m_end.insertImage(image);
    } else {
        m_end.insertText(item.text, format);
    }
    m_items.append(item);

    // Neighbouring items of one style, a paragraph break between them
    // included, make one range.
    QList<Range> &ranges = m_ranges[item.style];
    if (!ranges.isEmpty() && ranges.last().end == (joinsAt < 0 ? start : joinsAt))
        ranges.last().end = m_end.position();
    else
        ranges.append({start, m_end.position()});
}

void RichTextView::addParagraph(const QString &text, int style)
{
    beginChange();
    const int before = m_end.position();
    if (!m_items.isEmpty())
        m_end.insertBlock();
    append({ChatItem::Paragraph, style, text}, m_formats.at(style), before);
}

void RichTextView::addText(const QString &text, int style)
{
    append({ChatItem::Text, style, text}, m_formats.at(style));
}

int RichTextView::addLink(const QString &text, int style)
{
    const int number = m_links++;
    QTextCharFormat format = m_formats.at(style);
    format.setAnchor(true);
    format.setAnchorHref(QString::number(number));
    ChatItem item{ChatItem::Link, style, text};
    item.link = number;
    append(item, format);
    return number;
}

void RichTextView::addPicture(int picture, int style)
{
    ChatItem item{ChatItem::Picture, style, QString()};
    item.picture = picture;
    append(item, m_formats.at(style));
}

void RichTextView::layout()
{
    // The new items and every range of a changed style make one change of
    // the document, laid out once when it ends.
    beginChange();
    for (int style = 0; style < ChatStyles::Count; ++style) {
        if (!m_changed.at(style))
            continue;
        m_changed[style] = false;
        QTextCursor cursor(m_browser->document());
        for (const Range &range : m_ranges.at(style)) {
            cursor.setPosition(range.start);
            cursor.setPosition(range.end, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(m_formats.at(style));
        }
    }
    m_end.endEditBlock();
    m_editing = false;
    m_recoloured = false;
    paintColours();
}

void RichTextView::paintColours()
{
    // The blocks in sight, found by halving (asking the layout for a
    // position would walk every block above it).
    const QTextDocument *document = m_browser->document();
    const QAbstractTextDocumentLayout *layout = document->documentLayout();
    const int top = m_browser->verticalScrollBar()->value();
    const int bottom = top + m_browser->viewport()->height();
    const auto firstBlockBelow = [&](int y) {
        int low = 0, high = document->blockCount() - 1;
        while (low < high) {
            const int middle = (low + high) / 2;
            if (layout->blockBoundingRect(document->findBlockByNumber(middle)).bottom() < y)
                low = middle + 1;
            else
                high = middle;
        }
        return document->findBlockByNumber(low);
    };
    const int first = firstBlockBelow(top).position();
    const QTextBlock lastBlock = firstBlockBelow(bottom);
    const int last = lastBlock.position() + lastBlock.length();

    QList<QTextEdit::ExtraSelection> colours;
    for (int style = 0; style < ChatStyles::Count; ++style) {
        const QList<Range> &ranges = m_ranges.at(style);
        auto range = std::lower_bound(ranges.begin(), ranges.end(), first,
                                      [](const Range &r, int position) { return r.end <= position; });
        if (range == ranges.end() || range->start >= last)
            continue;
        QTextEdit::ExtraSelection colour{QTextCursor(m_browser->document()), QTextCharFormat()};
        colour.format.setForeground(SystemColours::toColor(m_styles.at(style).colour, m_browser->palette()));
        for (; range != ranges.end() && range->start < last; ++range) {
            colour.cursor.setPosition(std::max(range->start, first));
            colour.cursor.setPosition(std::min(range->end, last), QTextCursor::KeepAnchor);
            colours.append(colour);
        }
    }
    m_browser->setExtraSelections(colours);
}

int RichTextView::styleAt(int position) const
{
    for (int style = 0; style < ChatStyles::Count; ++style) {
        const QList<Range> &ranges = m_ranges.at(style);
        const auto range = std::upper_bound(ranges.begin(), ranges.end(), position,
                                            [](int at, const Range &r) { return at < r.end; });
        if (range != ranges.end() && range->start <= position)
            return style;
    }
    return -1;
}

void RichTextView::clear()
{
    if (m_editing)
        m_end.endEditBlock();
    m_editing = false;
    m_browser->setExtraSelections({});
    // The ranges go first: clearing the document moves the scroll bar,
    // which paints the colours of the ranges in sight.
    m_items.clear();
    for (QList<Range> &ranges : m_ranges)
        ranges.clear();
    m_changed.fill(false);
    m_links = 0;
    m_browser->document()->clear();
    prepareDocument();
}

void RichTextView::selectAll()
{
    m_browser->selectAll();
}

QString RichTextView::selectedText() const
{
    QString text = m_browser->textCursor().selection().toPlainText();
    return text.remove(objectReplacement);
}

bool RichTextView::copy()
{
    if (!m_browser->textCursor().hasSelection())
        return false;
    QClipboard *clipboard = QApplication::clipboard();
    clipboard->clear();
    clipboard->setText(selectedText());
    return true;
}

void RichTextView::selectWordAt(int position)
{
    const QTextBlock block = m_browser->document()->findBlock(position);
    if (!block.isValid())
        return;
    const QString text = block.text();
    const auto isDelimiter = [&](int i) {
        return m_delimiters.contains(text.at(i)) || text.at(i) == objectReplacement;
    };
    int from = position - block.position();
    int to = from;
    while (from > 0 && !isDelimiter(from - 1))
        --from;
    while (to < text.size() && !isDelimiter(to))
        ++to;
    QTextCursor cursor(m_browser->document());
    cursor.setPosition(block.position() + from);
    cursor.setPosition(block.position() + to, QTextCursor::KeepAnchor);
    m_browser->setTextCursor(cursor);
}

QString RichTextView::plainText() const
{
    return m_browser->toPlainText().remove(objectReplacement);
}

QTextCharFormat RichTextView::formatAt(int position) const
{
    QTextCursor cursor(m_browser->document());
    cursor.setPosition(position + 1); // the format of the character before the cursor
    QTextCharFormat format = cursor.charFormat();
    const int style = styleAt(position);
    if (style >= 0)
        format.setForeground(SystemColours::toColor(m_styles.at(style).colour, m_browser->palette()));
    return format;
}

void RichTextView::scrollToEnd()
{
    QScrollBar *bar = m_browser->verticalScrollBar();
    bar->setValue(bar->maximum());
}

int RichTextView::scrollPosition() const
{
    return m_browser->verticalScrollBar()->value();
}

void RichTextView::setScrollPosition(int position)
{
    m_browser->verticalScrollBar()->setValue(position);
}

int RichTextView::scrollMaximum() const
{
    return m_browser->verticalScrollBar()->maximum();
}

bool RichTextView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_browser && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
        copy();
        return true;
    }
    if (watched == m_browser->viewport() && event->type() == QEvent::Resize)
        QMetaObject::invokeMethod(this, &RichTextView::paintColours, Qt::QueuedConnection);
    if (watched == m_browser->viewport() && event->type() == QEvent::MouseButtonDblClick) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            selectWordAt(m_browser->cursorForPosition(mouse->position().toPoint()).position());
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
