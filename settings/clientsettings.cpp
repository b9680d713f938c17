#include "settings/clientsettings.h"

#include "settings/inifile.h"
#include "shell/errorreport.h"
#include "shell/programfolder.h"
#include "social/colourtext.h"

#include <algorithm>
#include <limits>

const QString ClientSettings::Section = QStringLiteral("Zarvex");
const QString ClientSettings::FileName = QStringLiteral("quorblobby.ini");

namespace {

QString flagText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

// How far apart two rectangles lie: 0 when they touch or overlap.
qint64 distance(const QRect &a, const QRect &b)
{
    const qint64 dx = std::max<qint64>({0, qint64(b.left()) - a.right(), qint64(a.left()) - b.right()});
    const qint64 dy = std::max<qint64>({0, qint64(b.top()) - a.bottom(), qint64(a.top()) - b.bottom()});
    return dx * dx + dy * dy;
}

// The start that puts a length inside [lo, lo + room), the low end when it
// does not fit.
int fitInto(int start, int length, int lo, int room)
{
    return std::max(lo, std::min(start, lo + room - length));
}

} // namespace

ClientSettings::ClientSettings(QObject *parent)
    : ClientSettings(ProgramFolder::file(FileName), parent)
{
}

ClientSettings::ClientSettings(const QString &path, QObject *parent)
    : QObject(parent), m_path(path)
{
}

QString ClientSettings::phrase(int n) const
{
    return n >= 1 && n <= PhraseCount ? m_phrases[size_t(n)] : QString();
}

int ClientSettings::clampTextSize(int points)
{
    return std::clamp(points, MinTextSize, MaxTextSize);
}

QRect ClientSettings::ontoScreens(const QRect &placement, const QList<QRect> &screens, const QSize &minimum)
{
    if (screens.isEmpty())
        return placement;
    // The screen that shows most of the window, or the nearest one.
    const QRect *best = nullptr;
    qint64 bestArea = 0;
    qint64 bestDistance = std::numeric_limits<qint64>::max();
    for (const QRect &screen : screens) {
        const QRect shared = screen.intersected(placement);
        const qint64 area = shared.isEmpty() ? 0 : qint64(shared.width()) * shared.height();
        const qint64 d = distance(screen, placement);
        if (area > bestArea || (bestArea == 0 && area == 0 && d < bestDistance)) {
            best = &screen;
            bestArea = area;
            bestDistance = d;
        }
    }
    const int width = std::max(std::min(placement.width(), best->width()), minimum.width());
    const int height = std::max(std::min(placement.height(), best->height()), minimum.height());
    return QRect(fitInto(placement.left(), width, best->left(), best->width()),
                 fitInto(placement.top(), height, best->top(), best->height()), width, height);
}

void ClientSettings::loadinifile()
{
    const IniFile ini(m_path);

    if (!early(EarlyTextSize))
        m_textSize = clampTextSize(ini.readInteger(Section, QStringLiteral("Textsize"), 8));
    emit textSizeChanged(m_textSize, true);

    const QRect d = defaultPlacement();
    // Sizes are kept sane here: a zero or negative size would make a window
    // nobody can find, and the minimum size applies anyway.
    const QRect stored(ini.readInteger(Section, QStringLiteral("Left"), d.left()),
                       ini.readInteger(Section, QStringLiteral("Top"), d.top()),
                       std::clamp(ini.readInteger(Section, QStringLiteral("Width"), d.width()), 1, 100000),
                       std::clamp(ini.readInteger(Section, QStringLiteral("Height"), d.height()), 1, 100000));
    m_remembered = stored;
    emit placementLoaded(m_screens ? ontoScreens(stored, m_screens(), m_minimumSize ? m_minimumSize() : QSize())
                                   : stored);

    if (!early(EarlyTextColour))
        m_textColour = ColourText::fromText(ini.readString(Section, QStringLiteral("Textcolor"),
                                                           QStringLiteral("clblack")))
                           .value_or(ColourText::clBlack);
    emit textColourChanged(m_textColour);

    bool ok = false;
    const int playto = ini.readString(Section, QStringLiteral("Playtoscore"), QStringLiteral("30")).toInt(&ok);
    if (ok)
        m_options.setPosition(GameOptions::PlayToScore, playto);
    const int creation = ini.readString(Section, QStringLiteral("Timeperturn"), QStringLiteral("1")).toInt(&ok);
    if (ok)
        m_options.setPosition(GameOptions::CreationTime, creation);

    for (int n = 1; n <= PhraseCount; ++n)
        m_phrases[size_t(n)] = ini.readString(Section, QStringLiteral("Phrase") + QString::number(n));
    emit phrasesLoaded();

    if (!early(EarlyPlaySounds))
        m_playSounds = flag(ini.readString(Section, QStringLiteral("Playsounds")));
    m_options.checkscram(flag(ini.readString(Section, QStringLiteral("Scrambled"))) ? 1 : 2);
    m_options.checkonly(flag(ini.readString(Section, QStringLiteral("Onlyletters"))) ? 1 : 0);
    emit gameOptionsLoaded();
    if (!early(EarlyTurnSound))
        m_turnSound =
            ini.readString(Section, QStringLiteral("Turnsound"), QStringLiteral("0")) == QLatin1String("1") ? 1 : 0;
    if (!early(EarlyChatterSounds))
        m_chatterSounds = flag(ini.readString(Section, QStringLiteral("ChatterSounds"), QStringLiteral("true")));
    emit soundOptionsChanged();

    m_loaded = true;
    // A set chosen before the load is in use already.
    if (!early(EarlyTiles))
        emit tilesLoaded(ini.readString(Section, QStringLiteral("Tiles")));
    if (m_early != 0) {
        m_early = 0;
        saveinifile();
    }
    emit loaded();
}

bool ClientSettings::saveinifile()
{
    return save(m_placementSource ? m_placementSource() : m_remembered);
}

bool ClientSettings::save(const QRect &placement)
{
    if (!m_loaded)
        return false;
    const IniFile::Entries entries = {
        {QStringLiteral("Textsize"), QString::number(m_textSize)},
        {QStringLiteral("Top"), QString::number(placement.top())},
        {QStringLiteral("Left"), QString::number(placement.left())},
        {QStringLiteral("Width"), QString::number(placement.width())},
        {QStringLiteral("Height"), QString::number(placement.height())},
        {QStringLiteral("Textcolor"), ColourText::toText(m_textColour)},
        {QStringLiteral("Tiles"), m_currenttiles},
        {QStringLiteral("Playtoscore"), QString::number(m_options.playtoscore())},
        {QStringLiteral("Timeperturn"), QString::number(m_options.creationtime())},
        {QStringLiteral("Playsounds"), flagText(m_playSounds)},
        {QStringLiteral("Scrambled"), flagText(m_options.scrambledTag() != 0)},
        {QStringLiteral("Onlyletters"), flagText(m_options.onlylettersTag() != 0)},
        {QStringLiteral("Turnsound"), QString::number(m_turnSound)},
        {QStringLiteral("ChatterSounds"), flagText(m_chatterSounds)},
    };
    IniFile ini(m_path);
    if (ini.writeStrings(Section, entries))
        return true;
    ErrorReport::show(ini.errorString());
    return false;
}

void ClientSettings::setTextSize(int points)
{
    m_textSize = clampTextSize(points);
    emit textSizeChanged(m_textSize, false);
    optionChanged(EarlyTextSize);
}

void ClientSettings::setTextColour(quint32 colour)
{
    m_textColour = colour;
    emit textColourChanged(colour);
    optionChanged(EarlyTextColour);
}

void ClientSettings::setPlaySounds(bool on)
{
    m_playSounds = on;
    emit soundOptionsChanged();
    optionChanged(EarlyPlaySounds);
}

void ClientSettings::setChatterSounds(bool on)
{
    m_chatterSounds = on;
    emit soundOptionsChanged();
    optionChanged(EarlyChatterSounds);
}

void ClientSettings::setTurnSound(int choice)
{
    m_turnSound = choice == 1 ? 1 : 0;
    emit soundOptionsChanged();
    optionChanged(EarlyTurnSound);
}

void ClientSettings::tilesChosen(const QString &name)
{
    m_currenttiles = name;
    optionChanged(EarlyTiles);
}

void ClientSettings::optionChanged(EarlyChange change)
{
    if (!m_loaded)
        m_early |= change;
    saveinifile();
}

bool ClientSettings::windowClosing(const QRect &placement, const QRect &workArea)
{
    if (placement == m_remembered)
        return false;
    QRect stored = placement;
    if (placement.width() > workArea.width())
        stored.setWidth(placement.width() - OversizeReduction);
    if (placement.height() > workArea.height())
        stored.setHeight(placement.height() - OversizeReduction);
    m_remembered = stored;
    return save(stored);
}
