#pragma once

#include <QColor>
#include <QLabel>

// A label of the game panel. It always shows plain text, since much of what
// it shows comes from other players (names, the options they chose), and it
// never lets a text run past its edges: what does not fit ends in "…".
// Optionally the text is drawn with a halo of another colour around every
// letter, so that it stays readable on any picture beneath it.
class PanelLabel : public QLabel
{
    Q_OBJECT

public:
    explicit PanelLabel(QWidget *parent = nullptr);

    // The whole text; text() answers what is shown of it.
    void setFullText(const QString &text);
    const QString &fullText() const { return m_full; }

    // An invalid colour draws no halo.
    void setHalo(const QColor &colour);

    // While the text is cut, the whole of it shows as the tooltip.
    void setTipWhenCut(bool on);

    // Makes the font as large as the design allows, up to its current size,
    // with every one of the texts fitting the label's width: narrower letters
    // first, then smaller ones, never below minPixels. The font is chosen as
    // the label first has a text to show.
    void fitFontTo(const QStringList &texts, int minPixels = 8);

    // Whether the text fits the label whole, as shown in this font.
    bool fits(const QString &text) const;

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void showFitted();
    void fitNow();

    QString m_full;
    QColor m_halo;
    bool m_tipWhenCut = false;
    QStringList m_fitTexts;     // the texts the font is to fit, until it is chosen
    int m_fitMinPixels = 0;
};
