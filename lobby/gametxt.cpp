#include "lobby/gametxt.h"

#include <QStringList>

namespace {

// A count within 0..most, or -1.
int count(const QByteArray &text, int most)
{
    if (text.isEmpty() || text.size() > 2)
        return -1;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return -1;
        value = value * 10 + (c - '0');
    }
    return value <= most ? value : -1;
}

// A name from another machine: valid UTF-8 (anything else is dropped), no
// control characters, at most MaxHostName characters.
QString shownName(const QByteArray &text)
{
    QString name;
    for (QChar c : QString::fromUtf8(text)) {
        if (name.size() >= GameTxt::MaxHostName)
            break;
        if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
            || c == QChar::ReplacementCharacter)
            continue;
        name.append(c);
    }
    return name.trimmed();
}

QByteArray shownVersion(const QByteArray &text)
{
    QByteArray version;
    for (char c : text.left(GameTxt::MaxVersion))
        if (c >= 0x21 && c <= 0x7e)
            version.append(c);
    return version;
}

} // namespace

QList<QByteArray> GameTxt::records() const
{
    return {"v=" + version,
            "host=" + host.toUtf8().left(200),
            "players=" + QByteArray::number(qMax(players, 0)),
            "spectators=" + QByteArray::number(qMax(spectators, 0)),
            QByteArray("running=") + (running ? "1" : "0")};
}

GameTxt GameTxt::fromRecords(const QList<QByteArray> &records)
{
    GameTxt txt;
    for (const QByteArray &record : records.mid(0, MaxRecords)) {
        const int equals = record.indexOf('=');
        if (equals <= 0)
            continue;
        const QByteArray key = record.left(equals).toLower();
        const QByteArray value = record.mid(equals + 1);
        if (key == "v")
            txt.version = shownVersion(value);
        else if (key == "host")
            txt.host = shownName(value);
        else if (key == "players")
            txt.players = count(value, Seats);
        else if (key == "spectators")
            txt.spectators = count(value, SpectatorSeats);
        else if (key == "running" && (value == "0" || value == "1")) {
            txt.running = value == "1";
            txt.runningKnown = true;
        }
    }
    return txt;
}

QString GameTxt::summary(const QByteArray &ourVersion) const
{
    QStringList parts;
    parts << (players >= 0 ? QStringLiteral("%1 of %2 seated").arg(players).arg(Seats)
                           : QStringLiteral("? of %1 seated").arg(Seats));
    if (spectators > 0)
        parts << QStringLiteral("%1 watching").arg(spectators);
    if (runningKnown)
        parts << (running ? QStringLiteral("game running") : QStringLiteral("waiting to start"));
    if (version != ourVersion)
        parts << (version.isEmpty() ? QStringLiteral("unknown version")
                                    : QStringLiteral("version ") + QString::fromLatin1(version));
    return parts.join(QStringLiteral(", "));
}

bool GameTxt::operator==(const GameTxt &other) const
{
    return version == other.version && host == other.host && players == other.players
           && spectators == other.spectators && running == other.running
           && runningKnown == other.runningKnown;
}
