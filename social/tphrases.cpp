#include "social/tphrases.h"

#include "client/tchat.h"
#include "resources/artwork.h"
#include "settings/clientsettings.h"
#include "shell/errorreport.h"
#include "shell/programfolder.h"
#include "shell/windowfront.h"
#include "shell/windowregistry.h"
#include "social/phrasebuttons.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>

Tphrases::Tphrases(WindowRegistry &registry)
    : m_registry(registry), m_path(ProgramFolder::file(ClientSettings::FileName))
{
    setObjectName(QStringLiteral("Tphrases"));
    setWindowTitle(QStringLiteral("Zarvex - Phrase Buttons "));
    setFixedSize(368, 282);
    setModal(false);

    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(12);
    for (int n = 1; n <= PhraseButtons::Count; ++n) {
        const int top = 10 + (n - 1) * 22;
        QLabel *l = new QLabel(QStringLiteral("Phrase Button %1:").arg(n), this);
        l->setObjectName(QStringLiteral("label%1").arg(n));
        l->setFont(bold);
        l->setGeometry(4, top, 126, 20);
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        label[size_t(n)] = l;

        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("phrase%1").arg(n));
        edit->setMaxLength(FieldLength);
        // What the player types stops at FieldLength characters; a longer
        // phrase from the settings file stays whole and may only shrink.
        connect(edit, &QLineEdit::textEdited, edit,
                [edit] { edit->setMaxLength(qMax(int(FieldLength), int(edit->text().size()))); });
        edit->setGeometry(134, top, 224, 20);
        edit->setStyleSheet(QStringLiteral("QLineEdit { background-color: rgb(237, 207, 137);"
                                           " color: black; border: 1px solid rgb(122, 80, 34); }"));
        l->setBuddy(edit);
        phrase[size_t(n)] = edit;
    }

    label_cooldown = new QLabel(QStringLiteral("Buttons can only be used once every 2 seconds"), this);
    label_cooldown->setObjectName(QStringLiteral("label11"));
    label_cooldown->setFont(bold);
    label_cooldown->setWordWrap(true);
    label_cooldown->setGeometry(22, 236, 200, 34);

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setGeometry(262, 240, 94, 28);
    button_done->setDefault(true);
    button_done->setFont(bold);
    button_done->setCursor(Qt::PointingHandCursor);
    button_done->setStyleSheet(QStringLiteral(
        "QPushButton { color: white; background-color: rgb(220, 89, 33); border: 1px solid rgb(122, 40, 10);"
        " border-radius: 6px; }"
        "QPushButton:hover { background-color: rgb(236, 110, 52); }"
        "QPushButton:pressed { background-color: rgb(190, 70, 22); }"));
    connect(button_done, &QPushButton::clicked, this, &Tphrases::button_doneClick);

    // The fields of the first five buttons, then those of the last five
    // from the tenth back.
    const int order[] = {1, 2, 3, 4, 5, 10, 9, 8, 7, 6};
    for (size_t k = 1; k < std::size(order); ++k)
        setTabOrder(phrase[size_t(order[k - 1])], phrase[size_t(order[k])]);
    setTabOrder(phrase[6], button_done);
}

void Tphrases::PrhaseList1Click(PhraseButtons &phrases)
{
    m_phrases = &phrases;
    for (int n = 1; n <= PhraseButtons::Count; ++n) {
        QLineEdit *edit = phrase[size_t(n)];
        const QString text = phrases.phrase(n);
        edit->setMaxLength(qMax(int(FieldLength), int(text.size())));
        edit->setText(text);
    }
    WindowFront::bring(this);
}

void Tphrases::button_doneClick()
{
    if (!m_phrases)
        return;
    QStringList texts;
    for (int n = 1; n <= PhraseButtons::Count; ++n)
        texts << phrase[size_t(n)]->text();
    m_phrases->setPhrases(texts);
    emit applied();
    const QString error = m_phrases->save(m_path);
    if (!error.isEmpty()) {
        ErrorReport::show(error);
        return;
    }
    close();
}

void Tphrases::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.drawPixmap(0, 0, Artwork::background(size()));
}

void Tphrases::showEvent(QShowEvent *event)
{
    if (m_registry.chat)
        WindowFront::centreOn(this, m_registry.chat);
    QDialog::showEvent(event);
}
