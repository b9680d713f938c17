#include "client/settingsmenus.h"

#include "client/boardview.h"
#include "client/gameclient.h"
#include "client/gamepanelview.h"
#include "client/tilestrip.h"
#include "server/tgamestart.h"
#include "shell/programfolder.h"
#include "social/chatpane.h"
#include "social/richtextview.h"
#include "social/systemcolours.h"

#include <QActionGroup>
#include <QColorDialog>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMenu>
#include <QScreen>

namespace {

constexpr int textSizes[] = {8, 10, 12, 14};

quint32 colourValue(const QColor &c)
{
    return quint32(c.red()) | quint32(c.green()) << 8 | quint32(c.blue()) << 16;
}

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    for (const QScreen *screen : QGuiApplication::screens())
        areas << screen->availableGeometry();
    return areas;
}

} // namespace

SettingsMenus::SettingsMenus(QMainWindow *window, QMenu *options, QMenu *tiles, GameClient &client,
                             ChatPane *chat, GamePanelView *panel)
    : QObject(window), m_window(window), m_client(client), m_chat(chat), m_panel(panel)
{
    m_picker = [this](const QColor &initial) -> std::optional<QColor> {
        const QColor chosen = QColorDialog::getColor(initial, m_window);
        return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
    };

    ClientSettings &settings = m_client.settings();
    settings.setPlacementSource([this] { return placement(); });
    settings.setScreens(screenAreas, [this] {
        return m_window->frameGeometry().size() - m_window->geometry().size() + m_window->minimumSizeHint();
    });
    connect(&settings, &ClientSettings::textSizeChanged, this, &SettingsMenus::showTextSize);
    connect(&settings, &ClientSettings::placementLoaded, this, &SettingsMenus::setPlacement);
    connect(&settings, &ClientSettings::soundOptionsChanged, this, &SettingsMenus::showSoundOptions);
    m_client.tileSets().setStripLoader([this](const QString &path) { return applyTiles(path); });
    connect(&m_client.tileSets(), &TileSets::checkedChanged, this, &SettingsMenus::showTilesChecked);

    buildOptions(options);
    buildTiles(tiles);
    showSoundOptions();
}

QAction *SettingsMenus::addCheckItem(QMenu *menu, const char *name, const QString &text, QActionGroup *group)
{
    QAction *item = menu->addAction(text);
    item->setObjectName(QLatin1String(name));
    item->setCheckable(true);
    if (group)
        group->addAction(item);
    return item;
}

void SettingsMenus::buildOptions(QMenu *options)
{
    ClientSettings &settings = m_client.settings();
    options->addSeparator();
    QAction *colour = options->addAction(QStringLiteral("Text Color"));
    colour->setObjectName(QStringLiteral("TextColor1"));
    connect(colour, &QAction::triggered, this, &SettingsMenus::TextColor1Click);

    m_textSizeMenu = options->addMenu(QStringLiteral("Text Size"));
    m_textSizeMenu->setObjectName(QStringLiteral("TextSize1"));
    auto *sizes = new QActionGroup(this);
    sizes->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const int size : textSizes) {
        const QByteArray name = "N" + QByteArray::number(size);
        QAction *item = addCheckItem(m_textSizeMenu, name.constData(), QString::number(size), sizes);
        item->setProperty("Tag", size);
        connect(item, &QAction::triggered, this, [this, size] { N14Click(size); });
    }

    QAction *reset = options->addAction(QStringLiteral("Reset Screen Location"));
    reset->setObjectName(QStringLiteral("ResetScreenLocation1"));
    connect(reset, &QAction::triggered, this, &SettingsMenus::ResetScreenLocation1Click);

    options->addSeparator();
    PlaySounds1 = addCheckItem(options, "PlaySounds1", QStringLiteral("Play Sounds"));
    connect(PlaySounds1, &QAction::triggered, &settings, &ClientSettings::setPlaySounds);
    PlayChatterSounds1 = addCheckItem(options, "PlayChatterSounds1", QStringLiteral("Play Chatter Sounds"));
    connect(PlayChatterSounds1, &QAction::triggered, &settings, &ClientSettings::setChatterSounds);
    QMenu *turn = options->addMenu(QStringLiteral("Turn Sound"));
    turn->setObjectName(QStringLiteral("TurnSound1"));
    auto *turnGroup = new QActionGroup(this);
    Classic1 = addCheckItem(turn, "Classic1", QStringLiteral("Classic"), turnGroup);
    Classic1->setProperty("Tag", 0);
    New1 = addCheckItem(turn, "New1", QStringLiteral("New"), turnGroup);
    New1->setProperty("Tag", 1);
    connect(Classic1, &QAction::triggered, &settings, [&settings] { settings.setTurnSound(0); });
    connect(New1, &QAction::triggered, &settings, [&settings] { settings.setTurnSound(1); });
}

void SettingsMenus::buildTiles(QMenu *tiles)
{
    m_tilesMenu = tiles;
    QStringList components{m_window->objectName()};
    for (const QObject *child : m_window->findChildren<QObject *>())
        if (!child->objectName().isEmpty())
            components << child->objectName();
    QStringList folders = ProgramFolder::dataFolders();
    // The sets the build puts beside the executable, also when ZARVEX_HOME
    // points elsewhere.
    folders.insert(1, QCoreApplication::applicationDirPath());
    TileSets &sets = m_client.tileSets();
    sets.grouptilesmenu(folders, components);

    auto *group = new QActionGroup(this);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const TileSets::Set &set : sets.sets()) {
        // creategrouptilesmenu
        const QByteArray name = (set.name + TileSets::ItemSuffix).toUtf8();
        QAction *item = addCheckItem(tiles, name.constData(), set.name, group);
        item->setToolTip(set.name);
        item->setStatusTip(set.name);
        const QString hint = set.name;
        connect(item, &QAction::triggered, this, [this, hint] { grouptilesmenuClick(hint); });
    }
}

QRect SettingsMenus::placement() const
{
    return m_window->frameGeometry();
}

void SettingsMenus::setPlacement(const QRect &placement)
{
    const QSize frame = m_window->frameGeometry().size() - m_window->geometry().size();
    m_window->move(placement.topLeft());
    m_window->resize(placement.size() - frame);
}

void SettingsMenus::TextColor1Click()
{
    ClientSettings &settings = m_client.settings();
    const QColor current = SystemColours::toColor(settings.textColour(), m_window->palette());
    if (const std::optional<QColor> chosen = m_picker(current))
        settings.setTextColour(colourValue(*chosen));
}

void SettingsMenus::N14Click(int size)
{
    m_client.settings().setTextSize(size);
}

void SettingsMenus::ResetScreenLocation1Click()
{
    setPlacement(ClientSettings::defaultPlacement());
}

void SettingsMenus::grouptilesmenuClick(const QString &name)
{
    m_client.tileSets().grouptilesmenuClick(name);
    showTilesChecked();
}

void SettingsMenus::FormClose()
{
    const QScreen *screen = m_window->screen();
    const QRect workArea = screen ? screen->availableGeometry() : placement();
    m_client.settings().windowClosing(placement(), workArea);
}

QAction *SettingsMenus::textSizeItem(int size) const
{
    return m_textSizeMenu->findChild<QAction *>(QStringLiteral("N") + QString::number(size));
}

void SettingsMenus::showTextSize(int points, bool relayout)
{
    m_chat->setTextSize(points);
    if (relayout)
        m_chat->mainchat()->layout();
    for (const int size : textSizes)
        textSizeItem(size)->setChecked(size == points);
}

void SettingsMenus::showSoundOptions()
{
    const ClientSettings &settings = m_client.settings();
    PlaySounds1->setChecked(settings.playSounds());
    PlayChatterSounds1->setChecked(settings.chatterSounds());
    (settings.turnSound() == 1 ? New1 : Classic1)->setChecked(true);
}

void SettingsMenus::showTilesChecked()
{
    const QString checked = m_client.tileSets().checked();
    for (QAction *item : m_tilesMenu->actions())
        item->setChecked(!checked.isEmpty() && item->objectName() == checked + TileSets::ItemSuffix);
}

bool SettingsMenus::applyTiles(const QString &path)
{
    const QList<QPixmap> tiles = TileStrip::load(path);
    if (tiles.isEmpty())
        return false;
    m_panel->board()->setTiles(tiles);
    m_panel->render();
    return true;
}
