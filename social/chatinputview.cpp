#include "social/chatinputview.h"

#include "resources/imagebutton.h"
#include "shell/plaintip.h"
#include "social/chatbuttonpictures.h"
#include "social/chatfield.h"
#include "social/chatline.h"
#include "social/phrasebuttons.h"
#include "social/smileypictures.h"

#include <QIconEngine>
#include <QMenu>
#include <QPainter>
#include <QRect>

namespace {

// A smiley of the menu, drawn the first time the menu shows it.
class SmileyIcon : public QIconEngine
{
public:
    explicit SmileyIcon(int picture) : m_picture(picture) {}

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode, QIcon::State) override
    {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->drawImage(rect, SmileyPictures::picture(m_picture));
    }
    QIconEngine *clone() const override { return new SmileyIcon(m_picture); }

private:
    int m_picture;
};

} // namespace

ChatInputView::ChatInputView(ChatSender &sender, PhraseButtons &phrases, std::function<bool()> connected,
                             QWidget *panel)
    : QObject(panel), m_sender(sender), m_phrases(phrases),
      m_field(new ChatField(m_input, sender, std::move(connected), panel)),
      button_smilies(new ImageButton(panel)), m_smilies(new QMenu(panel))
{
    for (int n = 1; n <= PhraseButtons::Count; ++n) {
        auto *button = new ImageButton(panel);
        button->setObjectName(QStringLiteral("b_phrase%1").arg(n));
        button->setPixmap(ChatButtonPictures::phraseButton(n));
        // A click leaves the keyboard in the input field.
        button->setFocusPolicy(Qt::NoFocus);
        if (n < PhraseButtons::Count)
            connect(button, &ImageButton::clicked, this, [this, n] { b_phrase1Click(n); });
        else
            connect(button, &ImageButton::clicked, this, [this, button] { emit shoutMenuRequested(belowRight(button)); });
        b_phrase[size_t(n)] = button;
    }

    button_smilies->setObjectName(QStringLiteral("button_smilies"));
    button_smilies->setPixmap(ChatButtonPictures::smiliesButton());
    button_smilies->setToolTip(QStringLiteral("See ya!"));
    button_smilies->setFocusPolicy(Qt::NoFocus);
    connect(button_smilies, &ImageButton::clicked, this, &ChatInputView::button_smiliesClick);

    m_smilies->setObjectName(QStringLiteral("popup_smilies"));
    for (int k = 0; k < ChatLine::SmileyCount; ++k) {
        const int smiley = ChatLine::FirstSmiley + k;
        QAction *item = m_smilies->addAction(QIcon(new SmileyIcon(k)), QStringLiteral(":)#") + QString::number(smiley));
        // Not "N" and the number: the text size items of the Options menu are
        // looked up by those names.
        item->setObjectName(QStringLiteral("smiley%1").arg(smiley));
        item->setData(smiley);
        connect(item, &QAction::triggered, this, [this, smiley] { N271Click(smiley); });
    }
    render();
}

void ChatInputView::placeAround(const QRect &chatPane)
{
    constexpr int gap = 2;
    const int rowTop = chatPane.top() - ChatButtonPictures::Height - gap;
    for (int n = 1; n <= PhraseButtons::Count; ++n)
        b_phrase[size_t(n)]->move(chatPane.left() + 1 + (n - 1) * (ChatButtonPictures::Width + gap), rowTop);

    const int fieldHeight = 21;
    const int fieldTop = chatPane.bottom() + 1 + 3;
    m_field->setGeometry(chatPane.left(), fieldTop, chatPane.width() - ChatButtonPictures::Width - 3, fieldHeight);
    button_smilies->move(chatPane.right() + 1 - ChatButtonPictures::Width,
                         fieldTop + (fieldHeight - ChatButtonPictures::Height) / 2);
}

void ChatInputView::render()
{
    for (int n = 1; n <= PhraseButtons::Count; ++n)
        b_phrase[size_t(n)]->setToolTip(PlainTip::of(m_phrases.phrase(n)));
    m_field->render();
}

void ChatInputView::b_phrase1Click(int button)
{
    m_phrases.b_phrase1Click(button, m_sender);
}

void ChatInputView::button_smiliesClick()
{
    m_smilies->popup(belowRight(button_smilies));
}

void ChatInputView::N271Click(int smiley)
{
    m_field->N271Click(smiley);
}

QPoint ChatInputView::belowRight(const QWidget *button)
{
    return button->mapToGlobal(QPoint(button->width(), button->height()));
}
