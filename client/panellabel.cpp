#include "client/panellabel.h"

#include "shell/plaintip.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <utility>

PanelLabel::PanelLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

void PanelLabel::setFullText(const QString &text)
{
    m_full = text;
    showFitted();
}

void PanelLabel::setTipWhenCut(bool on)
{
    m_tipWhenCut = on;
    showFitted();
}

void PanelLabel::setHalo(const QColor &colour)
{
    if (colour == m_halo)
        return;
    m_halo = colour;
    update();
}

bool PanelLabel::fits(const QString &text) const
{
    return fontMetrics().horizontalAdvance(text) <= contentsRect().width();
}

void PanelLabel::fitFontTo(const QStringList &texts, int minPixels)
{
    m_fitTexts = texts;
    m_fitMinPixels = minPixels;
    showFitted();
}

// Trying sizes and widths loads a font for each: a label that never shows a
// text never tries them.
void PanelLabel::fitNow()
{
    const QStringList texts = std::exchange(m_fitTexts, {});
    const int minPixels = m_fitMinPixels;
    QFont font = this->font();
    const int largest = font.pixelSize() > 0 ? font.pixelSize() : QFontInfo(font).pixelSize();
    const int width = contentsRect().width();
    for (int pixels = largest; pixels >= minPixels; --pixels) {
        for (int stretch : {int(QFont::Unstretched), int(QFont::SemiCondensed), int(QFont::Condensed)}) {
            font.setPixelSize(pixels);
            font.setStretch(stretch);
            const QFontMetrics metrics(font);
            bool all = true;
            for (const QString &text : texts)
                all = all && metrics.horizontalAdvance(text) <= width;
            if (all) {
                setFont(font);
                return;
            }
        }
    }
    setFont(font);
}

void PanelLabel::changeEvent(QEvent *event)
{
    QLabel::changeEvent(event);
    // A style sheet may change the font as the label is first shown.
    if (event->type() == QEvent::FontChange)
        showFitted();
}

void PanelLabel::resizeEvent(QResizeEvent *event)
{
    QLabel::resizeEvent(event);
    showFitted();
}

void PanelLabel::showFitted()
{
    if (!m_fitTexts.isEmpty() && !m_full.isEmpty())
        fitNow();
    const QString shown = fontMetrics().elidedText(m_full, Qt::ElideRight, contentsRect().width());
    if (text() != shown)
        setText(shown);
    if (m_tipWhenCut) {
        const QString tip = shown == m_full ? QString() : PlainTip::of(m_full);
        if (toolTip() != tip)
            setToolTip(tip);
    }
}

void PanelLabel::paintEvent(QPaintEvent *event)
{
    if (!m_halo.isValid() || text().isEmpty()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QFontMetrics metrics(font());
    const QRect area = contentsRect();
    const QRect box = QStyle::alignedRect(layoutDirection(), alignment(),
                                          QSize(metrics.horizontalAdvance(text()), metrics.height()), area);
    QPainterPath path;
    path.addText(QPointF(box.left(), box.top() + metrics.ascent()), font(), text());
    p.strokePath(path, QPen(m_halo, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, palette().color(QPalette::WindowText));
}
