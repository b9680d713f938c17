#include "settings/tabout.h"

#include "client/tchat.h"
#include "protocol/wire.h"
#include "resources/windowbackground.h"
#include "settings/credits.h"
#include "shell/plaintip.h"
#include "shell/windowfront.h"
#include "shell/windowregistry.h"

#include <QDesktopServices>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QShowEvent>

namespace {

// Lays the labels out side by side, centred as one line at the given top.
void centreRow(const QList<QLabel *> &labels, int windowWidth, int top)
{
    int width = 0;
    for (QLabel *label : labels)
        width += label->sizeHint().width();
    int left = (windowWidth - width) / 2;
    for (QLabel *label : labels) {
        const int w = label->sizeHint().width();
        label->setGeometry(left, top, w, label->sizeHint().height());
        left += w;
    }
}

} // namespace

Tabout::Tabout(WindowRegistry &registry) : m_registry(registry), m_link(AboutLink::forThisProgram())
{
    setObjectName(QStringLiteral("Tabout"));
    setWindowTitle(QStringLiteral("Zarvex - About"));
    setFixedSize(304, 174);

    WindowBackground::paintWhenShown(this);
    setAutoFillBackground(true);

    QLabel *title = centred(QStringLiteral("label_title"), QStringLiteral("Zarvex "), 8, 30);
    QFont titleFont = title->font();
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QPalette accent = title->palette();
    accent.setColor(QPalette::WindowText, QColor(220, 89, 33));
    title->setPalette(accent);

    Label7 = centred(QStringLiteral("Label7"), m_link.text, 40, 16);
    // A path shows as it is, whatever folder names it passes.
    Label7->setTextFormat(Qt::PlainText);
    Label7->setCursor(Qt::PointingHandCursor);
    Label7->setToolTip(PlainTip::of(m_link.url.toString()));
    QFont linkFont = Label7->font();
    linkFont.setUnderline(true);
    Label7->setFont(linkFont);
    QPalette linkPalette = Label7->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 200));
    Label7->setPalette(linkPalette);
    // A long path is cut in its middle rather than spilling off the window.
    Label7->setText(QFontMetrics(linkFont).elidedText(m_link.text, Qt::ElideMiddle, width() - 16));
    Label7->installEventFilter(this);

    centred(QStringLiteral("label_credit"), Credits::credit(), 62, 16);

    auto *notice = new QLabel(Credits::notice(), this);
    notice->setObjectName(QStringLiteral("label_notice"));
    auto *year = new QLabel(Credits::yearText(m_registry.options.date()), this);
    year->setObjectName(QStringLiteral("label_year"));
    centreRow({notice, year}, width(), 80);

    centred(QStringLiteral("label_rights"), Credits::rights(), 98, 16);

    auto *versionCaption = new QLabel(QStringLiteral("Version"), this);
    versionCaption->setObjectName(QStringLiteral("label_versioncaption"));
    auto *version = new QLabel(QString::fromLatin1(Wire::Version), this);
    version->setObjectName(QStringLiteral("version"));
    auto *build = new QLabel(QStringLiteral(ZARVEX_BUILD), this);
    build->setObjectName(QStringLiteral("label_build"));
    versionCaption->setText(versionCaption->text() + QLatin1Char(' '));
    centreRow({versionCaption, version, build}, width(), 118);

    auto *done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Button1"));
    done->setGeometry((width() - 75) / 2, 142, 75, 24);
    connect(done, &QPushButton::clicked, this, &Tabout::Button1Click);
}

QLabel *Tabout::centred(const QString &name, const QString &text, int top, int height)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setGeometry(4, top, width() - 8, height);
    return label;
}

bool Tabout::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Label7 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        Label7Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Tabout::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_registry.chat && !event->spontaneous())
        WindowFront::centreOn(this, m_registry.chat);
}

void Tabout::Label7Click()
{
    QDesktopServices::openUrl(m_link.url);
}

void Tabout::Button1Click()
{
    hide();
}
