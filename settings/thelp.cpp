#include "settings/thelp.h"

#include "client/tchat.h"
#include "resources/artwork.h"
#include "settings/credits.h"
#include "settings/helptopics.h"
#include "settings/tabout.h"
#include "shell/windowfront.h"
#include "shell/windowregistry.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

constexpr int panelWidth = 137;
const QColor captionColour(218, 216, 205);
const QColor pageColour(237, 207, 137);

// A page's lines as rich text: the title, paragraphs, and lines that begin
// with "- " as a list under the line before them.
QString pageHtml(const HelpTopic &topic)
{
    QString html = QStringLiteral("<h3>%1</h3>").arg(topic.title().toHtmlEscaped());
    bool inList = false;
    for (int i = 1; i < topic.lines.size(); ++i) {
        const QString &line = topic.lines.at(i);
        const bool item = line.startsWith(QLatin1String("- "));
        if (inList && !item) {
            html += QStringLiteral("</ul>");
            inList = false;
        }
        if (line.isEmpty())
            continue;
        if (item) {
            if (!inList)
                html += QStringLiteral("<ul style=\"margin-left: -24px;\">");
            inList = true;
            html += QStringLiteral("<li>%1</li>").arg(line.mid(2).toHtmlEscaped());
        } else if (topic.lines.value(i + 1).startsWith(QLatin1String("- "))) {
            html += QStringLiteral("<p><b>%1</b></p>").arg(line.toHtmlEscaped());
        } else {
            html += QStringLiteral("<p>%1</p>").arg(line.toHtmlEscaped());
        }
    }
    if (inList)
        html += QStringLiteral("</ul>");
    return html;
}

QLabel *smallLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(10);
    label->setFont(font);
    return label;
}

} // namespace

Thelp::Thelp(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Thelp"));
    setWindowTitle(QStringLiteral("Zarvex - Help File"));
    setSizeGripEnabled(true);

    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(buildTopicPanel());
    layout->addWidget(buildPagePanel(), 1);

    resize(521, 422);   // the help window is sizeable
    m_pages->setCurrentIndex(0);
    m_topic = HelpTopics::firstTag;
    label_caption->setText(QStringLiteral("Overview"));
}

QWidget *Thelp::buildTopicPanel()
{
    auto *panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("panel_topics"));
    panel->setFixedWidth(panelWidth);
    auto *column = new QVBoxLayout(panel);
    // The buttons sit 10 pixels in; the notice may run closer to the pages.
    column->setContentsMargins(10, 10, 4, 8);
    column->setSpacing(4);

    auto topicButton = [panel](const QString &text, const QString &name) {
        auto *button = new QPushButton(text, panel);
        button->setObjectName(name);
        button->setFixedSize(117, 20);
        button->setStyleSheet(QStringLiteral("QPushButton { text-align: left; padding-left: 6px; }"));
        button->setAutoDefault(false);
        return button;
    };
    for (const HelpTopic &topic : HelpTopics::all()) {
        QPushButton *button = topicButton(topic.button, QStringLiteral("SelButton") + QString::number(topic.tag));
        button->setProperty("Tag", topic.tag);
        connect(button, &QPushButton::clicked, this, &Thelp::SelButton1Click);
        column->addWidget(button);
    }
    column->addSpacing(10);
    QPushButton *about = topicButton(QStringLiteral("About"), QStringLiteral("button_about"));
    connect(about, &QPushButton::clicked, this, &Thelp::button_aboutClick);
    column->addWidget(about);
    column->addStretch(1);

    QLabel *credit = smallLabel(Credits::credit(), panel);
    credit->setObjectName(QStringLiteral("label_credit"));
    credit->setWordWrap(true);
    column->addWidget(credit);
    auto *noticeRow = new QHBoxLayout;
    noticeRow->setSpacing(0);
    QLabel *notice = smallLabel(Credits::notice(), panel);
    label_year = smallLabel(Credits::yearText(m_registry.options.date()), panel);
    label_year->setObjectName(QStringLiteral("label_year"));
    for (QLabel *part : {notice, label_year}) {
        part->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        noticeRow->addWidget(part);
    }
    noticeRow->addStretch(1);
    column->addLayout(noticeRow);
    QLabel *rights = smallLabel(Credits::rights(), panel);
    rights->setObjectName(QStringLiteral("label_rights"));
    rights->setWordWrap(true);
    column->addWidget(rights);
    column->addSpacing(6);

    auto *done = new QPushButton(QStringLiteral("Done"), panel);
    done->setObjectName(QStringLiteral("button_done"));
    done->setFixedSize(117, 24);
    connect(done, &QPushButton::clicked, this, &Thelp::button_doneClick);
    column->addWidget(done);
    return panel;
}

QWidget *Thelp::buildPagePanel()
{
    auto *panel = new QWidget(this);
    auto *column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    label_caption = new QLabel(panel);
    label_caption->setObjectName(QStringLiteral("label_caption"));
    label_caption->setAlignment(Qt::AlignCenter);
    label_caption->setFixedHeight(20);
    label_caption->setAutoFillBackground(true);
    QPalette captionPalette = label_caption->palette();
    captionPalette.setColor(QPalette::Window, captionColour);
    label_caption->setPalette(captionPalette);
    QFont bold = label_caption->font();
    bold.setBold(true);
    label_caption->setFont(bold);
    column->addWidget(label_caption);

    m_pages = new QStackedWidget(panel);
    for (const HelpTopic &topic : HelpTopics::all()) {
        auto *memo = new QTextBrowser(m_pages);
        memo->setObjectName(topic.pageName());
        memo->setProperty("Tag", topic.tag);
        memo->setFrameShape(QFrame::NoFrame);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        memo->setOpenLinks(false);
        memo->document()->setDocumentMargin(5);
        QPalette pagePalette = memo->palette();
        pagePalette.setColor(QPalette::Base, pageColour);
        memo->setPalette(pagePalette);
        memo->setHtml(pageHtml(topic));
        m_pages->addWidget(memo);
        m_memos.append(memo);
    }
    column->addWidget(m_pages, 1);
    return panel;
}

QTextBrowser *Thelp::currentPage() const
{
    return qobject_cast<QTextBrowser *>(m_pages->currentWidget());
}

void Thelp::showTopic(int tag)
{
    const HelpTopic *topic = HelpTopics::byTag(tag);
    if (!topic)
        return;
    for (QTextBrowser *memo : m_memos)
        if (memo->property("Tag").toInt() == tag)
            m_pages->setCurrentWidget(memo);
    label_caption->setText(topic->button);
    m_topic = tag;
}

void Thelp::SelButton1Click()
{
    if (QObject *button = sender())
        showTopic(button->property("Tag").toInt());
}

void Thelp::button_aboutClick()
{
    if (Tabout *about = m_registry.about())
        WindowFront::bring(about);
}

void Thelp::button_doneClick()
{
    hide();
}

void Thelp::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_registry.chat && !event->spontaneous())
        WindowFront::centreOn(this, m_registry.chat);
}

void Thelp::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    // The main window's background picture under the topic buttons.
    QPalette background = palette();
    background.setBrush(QPalette::Window, Artwork::background(size()));
    setPalette(background);
}
