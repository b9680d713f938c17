#include "lobby/tdownload.h"

#include "client/tchat.h"
#include "lobby/lobbysession.h"
#include "lobby/qrcode.h"
#include "lobby/qrimage.h"
#include "shell/windowregistry.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

Tdownload::Tdownload(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Zarvex - Play With Friends"));
    resize(620, 560);

    auto *nameRow = new QHBoxLayout;
    auto *nameLabel = new QLabel(QStringLiteral("Your &name:"), this);
    edit_name = new QLineEdit(this);
    edit_name->setObjectName(QStringLiteral("edit_name"));
    edit_name->setMaxLength(LobbySession::MaxNameLength);
    nameLabel->setBuddy(edit_name);
    nameRow->addWidget(nameLabel);
    nameRow->addWidget(edit_name, 1);

    auto *hostBox = new QGroupBox(QStringLiteral("Host a Game"), this);
    auto *hostText = new QLabel(QStringLiteral("Your game opens to the network, and friends find it in their list."),
                                hostBox);
    hostText->setWordWrap(true);
    button_host = new QPushButton(QStringLiteral("&Host a Game"), hostBox);
    button_host->setObjectName(QStringLiteral("button_host"));
    label_invite = new QLabel(hostBox);
    label_invite->setObjectName(QStringLiteral("label_invite"));
    label_invite->setWordWrap(true);
    label_invite->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label_links = new QLabel(hostBox);
    label_links->setObjectName(QStringLiteral("label_links"));
    label_links->setWordWrap(true);
    label_links->setTextFormat(Qt::RichText);
    label_links->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::LinksAccessibleByMouse
                                         | Qt::LinksAccessibleByKeyboard);
    label_qr = new QLabel(hostBox);
    label_qr->setObjectName(QStringLiteral("label_qr"));
    label_qr->setAlignment(Qt::AlignTop | Qt::AlignRight);
    auto *texts = new QVBoxLayout;
    texts->addWidget(hostText);
    texts->addWidget(button_host, 0, Qt::AlignLeft);
    texts->addWidget(label_invite);
    texts->addWidget(label_links);
    texts->addStretch(1);
    auto *hostLayout = new QHBoxLayout(hostBox);
    hostLayout->addLayout(texts, 1);
    hostLayout->addWidget(label_qr);
    // A link chosen in the list of addresses gets the QR code.
    connect(label_links, &QLabel::linkActivated, this, [this](const QString &link) {
        m_shownLink = link;
        render();
    });

    auto *joinBox = new QGroupBox(QStringLiteral("Join a Game"), this);
    list_games = new QListView(joinBox);
    list_games->setObjectName(QStringLiteral("list_games"));
    list_games->setModel(m_browser.games());
    list_games->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_games->setAlternatingRowColors(true);
    list_games->setSpacing(2);
    list_games->setAccessibleName(QStringLiteral("Games on the network"));
    label_discovery = new QLabel(joinBox);
    label_discovery->setObjectName(QStringLiteral("label_discovery"));
    label_discovery->setWordWrap(true);
    auto *addressRow = new QHBoxLayout;
    auto *addressLabel = new QLabel(QStringLiteral("Or &address:"), joinBox);
    edit_address = new QLineEdit(joinBox);
    edit_address->setObjectName(QStringLiteral("edit_address"));
    edit_address->setPlaceholderText(QStringLiteral("host, host:7790 or [::1]:7790"));
    edit_address->setMaxLength(JoinAddress::MaxTypedLength);
    addressLabel->setBuddy(edit_address);
    button_join = new QPushButton(QStringLiteral("&Join"), joinBox);
    button_join->setObjectName(QStringLiteral("button_join"));
    addressRow->addWidget(addressLabel);
    addressRow->addWidget(edit_address, 1);
    addressRow->addWidget(button_join);
    auto *joinLayout = new QVBoxLayout(joinBox);
    joinLayout->addWidget(list_games, 1);
    joinLayout->addWidget(label_discovery);
    joinLayout->addLayout(addressRow);

    label_message = new QLabel(this);
    label_message->setObjectName(QStringLiteral("label_message"));
    label_message->setWordWrap(true);
    label_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    button_solo = new QPushButton(QStringLiteral("Play &Solo"), this);
    button_solo->setObjectName(QStringLiteral("button_solo"));
    button_solo->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(nameRow);
    layout->addWidget(hostBox);
    layout->addWidget(joinBox, 1);
    layout->addWidget(label_message);
    layout->addWidget(button_solo, 0, Qt::AlignRight);

    connect(button_host, &QPushButton::clicked, this, &Tdownload::button_hostClick);
    connect(button_join, &QPushButton::clicked, this, &Tdownload::button_joinClick);
    connect(button_solo, &QPushButton::clicked, this, &Tdownload::button_soloClick);
    connect(list_games, &QListView::doubleClicked, this, [this](const QModelIndex &index) { joinRow(index.row()); });
    // A game chosen in the list and an address typed by hand exclude each other.
    connect(list_games->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid())
                    edit_address->clear();
            });
    connect(edit_address, &QLineEdit::textEdited, this, [this] { list_games->clearSelection(); });
    connect(edit_address, &QLineEdit::returnPressed, this, &Tdownload::button_joinClick);
    connect(&m_browser, &GameBrowser::daemonChanged, this, &Tdownload::render);
    connect(m_browser.games(), &QAbstractItemModel::rowsInserted, this, &Tdownload::render);
    connect(m_browser.games(), &QAbstractItemModel::rowsRemoved, this, &Tdownload::render);
    connect(m_browser.games(), &QAbstractItemModel::modelReset, this, &Tdownload::render);
}

LobbySession *Tdownload::session() const
{
    return m_registry.chat ? &m_registry.chat->session() : nullptr;
}

void Tdownload::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (LobbySession *s = session(); s && !m_attached) {
        m_attached = true;
        connect(s, &LobbySession::changed, this, [this, s] {
            // The name in use, unless the player has typed another.
            if (!edit_name->isModified())
                edit_name->setText(s->playerName());
            render();
        });
        connect(s, &LobbySession::joined, this, [this] {
            showMessage(QString());
            hide();
        });
        connect(s, &LobbySession::joinFailed, this, [this](const QString &text, const QString &detail) {
            showMessage(text, detail);
            show();
            raise();
        });
        connect(&s->announcement().announcer(), &GameAnnouncer::changed, this, &Tdownload::render);
    }
    if (LobbySession *s = session(); s && edit_name->text().isEmpty())
        edit_name->setText(s->playerName());
    // The network is searched only while the window is open.
    m_browser.start();
    render();
}

void Tdownload::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    m_browser.stop();
}

void Tdownload::showMessage(const QString &text, const QString &detail)
{
    label_message->setText(detail.isEmpty() ? text
                                            : text + QStringLiteral("\n") + detail);
}

void Tdownload::render()
{
    LobbySession *s = session();
    const LobbySession::Mode mode = s ? s->mode() : LobbySession::Starting;
    const bool joining = mode == LobbySession::Joining;
    button_host->setEnabled(s && !joining);
    button_join->setEnabled(s && !joining);
    button_solo->setText(mode == LobbySession::Solo ? QStringLiteral("Play &Solo")
                                                    : QStringLiteral("Leave and Play &Solo"));
    label_discovery->setText(m_browser.daemonRunning()
                                 ? (m_browser.games()->count() == 0
                                        ? QStringLiteral("No games found on the network yet.")
                                        : QString())
                                 : m_browser.statusText());
    label_discovery->setVisible(!label_discovery->text().isEmpty());

    QString invite;
    if (s && mode == LobbySession::Hosting) {
        const GameAnnouncer &announcer = s->announcement().announcer();
        invite = QStringLiteral("You host \u201c%1\u201d on port %2.").arg(announcer.name()).arg(s->gamePort());
        if (!announcer.daemonRunning())
            invite += QStringLiteral(" It is not announced on the network: that needs the Avahi service "
                                     "(avahi-daemon).");
        const QByteArrayList addresses = s->inviteAddresses();
        if (addresses.isEmpty()) {
            invite += QStringLiteral("\nThis machine has no network address that friends could reach.");
        } else {
            invite += QStringLiteral("\nFriends can also type one of these addresses, or start the game in a "
                                     "terminal with their own name for NAME:");
            for (const QByteArray &address : addresses)
                invite += QStringLiteral("\n    %1        %2").arg(QString::fromLatin1(address), s->inviteCommand(address));
        }
    } else if (joining) {
        invite.clear();
        label_message->setText(QStringLiteral("Connecting to %1...").arg(s->attempt().address()));
    }
    label_invite->setText(invite);
    label_invite->setVisible(!invite.isEmpty());
    renderLinks(s, s && mode == LobbySession::Hosting);
    fitTexts();
}

// Wrapped texts take more lines as they grow (an address more, a longer
// report), which the window's minimum size does not count: the window grows
// so that they show whole, as far as its screen allows, and the list of
// games gives up its room first.
void Tdownload::fitTexts()
{
    QLayout *whole = layout();
    if (!whole || !whole->hasHeightForWidth())
        return;
    whole->activate();
    int needed = whole->totalHeightForWidth(width());
    if (const QScreen *shownOn = screen())
        needed = std::min(needed, shownOn->availableGeometry().height() - (frameGeometry().height() - height()));
    if (needed > height())
        resize(width(), needed);
}

// The browser page's address on each of the machine's addresses, and the
// QR code of the chosen one (the first unless another was clicked).
void Tdownload::renderLinks(LobbySession *s, bool hosting)
{
    const QByteArrayList links = hosting ? s->inviteLinks() : QByteArrayList();
    QString text;
    if (hosting && !s->pageError().isEmpty()) {
        text = s->pageError().toHtmlEscaped();
    } else if (!links.isEmpty()) {
        if (!links.contains(m_shownLink.toLatin1()))
            m_shownLink = QString::fromLatin1(links.first());
        text = QStringLiteral("Friends with a phone or any browser on your network open");
        if (links.size() > 1)
            text += QStringLiteral(" one of these (click one for its QR code)");
        text += QLatin1Char(':');
        for (const QByteArray &link : links) {
            const QString l = QString::fromLatin1(link).toHtmlEscaped();
            text += QStringLiteral("<br>&nbsp;&nbsp;&nbsp;&nbsp;<a href=\"%1\">%1</a>").arg(l);
        }
    }
    label_links->setText(text);
    label_links->setVisible(!text.isEmpty());
    if (links.isEmpty()) {
        m_shownLink.clear();
        label_qr->clear();
        label_qr->hide();
        return;
    }
    const QrCode code = QrCode::encode(m_shownLink.toLatin1());
    label_qr->setPixmap(QPixmap::fromImage(QrImage::draw(code, QrModulePixels)));
    label_qr->setToolTip(m_shownLink);
    label_qr->setAccessibleName(QStringLiteral("QR code of %1").arg(m_shownLink));
    label_qr->show();
}

void Tdownload::button_hostClick()
{
    LobbySession *s = session();
    if (!s)
        return;
    if (s->host(edit_name->text()))
        showMessage(QString());
    else
        showMessage(s->error());
    render();
}

void Tdownload::button_joinClick()
{
    LobbySession *s = session();
    if (!s)
        return;
    const QModelIndex current = list_games->currentIndex();
    if (edit_address->text().trimmed().isEmpty() && current.isValid()
        && list_games->selectionModel()->isSelected(current)) {
        joinRow(current.row());
        return;
    }
    if (!s->join(edit_name->text(), edit_address->text()))
        showMessage(s->error());
    render();
}

void Tdownload::joinRow(int row)
{
    LobbySession *s = session();
    if (!s || row < 0 || row >= m_browser.games()->count())
        return;
    if (!s->joinFound(edit_name->text(), m_browser.games()->at(row)))
        showMessage(s->error());
    render();
}

void Tdownload::button_soloClick()
{
    if (LobbySession *s = session())
        s->playSolo();
    showMessage(QString());
    hide();
}
