#include "lobby/tdownload.h"

#include "client/tchat.h"
#include "lobby/lobbysession.h"
#include "shell/windowregistry.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

Tdownload::Tdownload(WindowRegistry &registry) : m_registry(registry)
{
    setObjectName(QStringLiteral("Tdownload"));
    setWindowTitle(QStringLiteral("Zarvex - Play With Friends"));
    resize(540, 480);

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
    auto *hostLayout = new QVBoxLayout(hostBox);
    hostLayout->addWidget(hostText);
    hostLayout->addWidget(button_host, 0, Qt::AlignLeft);
    hostLayout->addWidget(label_invite);

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
