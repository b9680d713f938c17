// GameClient's side of a game: the board and the word, the selection under
// the mouse and the keys, the turn clock, scores, the end of a round and the winner.

#include "client/gameclient.h"

#include "protocol/wire.h"

namespace {

constexpr int barPixels = 184;

QString shown(const QByteArray &wireText)
{
    return QString::fromUtf8(wireText);
}

} // namespace

void GameClient::registerGameHandlers()
{
    receivedlist.on("CMD_startgame", [this](FieldReader &f, int) { startthegame(f); });
    receivedlist.on("CMD_nextplayer", [this](FieldReader &f, int) { getnextplayer(f); });
    receivedlist.on("CMD_winner", [this](FieldReader &f, int) { winner(f); });
    receivedlist.on("CMD_theword", [this](FieldReader &f, int) { theword(f); });
    receivedlist.on("CMD_loadboard", [this](FieldReader &f, int) { loadboard(f); });
    receivedlist.on("CMD_hefoundit", [this](FieldReader &f, int) { hefoundit(f); });
    receivedlist.on("CMD_nomatch", [this](FieldReader &f, int) { nomatch(f); });
    receivedlist.on("CMD_outoftime", [this](FieldReader &f, int) {
        turnEnded(f, QStringLiteral("Out of Time!"), QStringLiteral("timeup"));
    });
    receivedlist.on("CMD_roundover", [this](FieldReader &f, int) {
        turnEnded(f, QStringLiteral("Round is over, please wait.."), QStringLiteral("roundover"));
    });
    receivedlist.on("CMD_loadstats", [this](FieldReader &f, int) { loadstats(f); });
}

void GameClient::clearall()
{
    m_panel.round = QStringLiteral("ROUND: 0");
    m_justWatch = false;
    m_panel.winnerVisible = false;
    for (int seat = 1; seat <= seatcount; ++seat) {
        SeatRow &r = m_rows[size_t(seat)];
        r.score = QStringLiteral("0");
        r.bonus.clear();
        r.foundit = false;
        r.eyes = false;
    }
}

// ------------------------------------------------------------ game options

void GameClient::startthegame(FieldReader &fields)
{
    const QByteArray starter = fields.text();
    const QByteArray playto = fields.text();
    const QByteArray seconds = fields.text();
    const QByteArray type = fields.text();
    const QByteArray only = fields.text();

    m_startVisible = false;
    m_rejoin.setInGame(true);
    clearall();
    const bool scrambled = type != "f";
    line("0+" + starter + (scrambled ? " has started a SCRAMBLED game." : " has started a STRAIGHT game."));
    setGameType(scrambled);
    if (only == "t")
        line("0+Using only letters that are found in the word.");
    int timeperturn = 60;
    FieldReader::parseInt(seconds, timeperturn);
    setTimePerTurn(timeperturn);
    m_panel.timeperturn = QStringLiteral("Time Per Turn: ") + shown(seconds) + QStringLiteral("secs");
    m_panel.playtoscore = QStringLiteral("Play To Score: ") + shown(playto);
}

void GameClient::loadstats(FieldReader &fields)
{
    const bool open = fields.text() == "t";
    const int playto = fields.integer();
    const int timeperturn = fields.integer();
    fields.integer();   // seconds left: the clock waits for the next turn
    const bool scrambled = fields.text() != "f";

    m_activeseat = open ? m_myseat : 0;
    m_rejoin.setInGame(true);
    setTimePerTurn(timeperturn);
    m_panel.timeperturn = QStringLiteral("Time Per Turn: %1secs").arg(timeperturn);
    m_panel.playtoscore = QStringLiteral("Play To Score: %1").arg(playto);
    setGameType(scrambled);
    fields.beginList();
    while (!fields.listEnded()) {
        const int seat = fields.integer();
        const QByteArray score = fields.text();
        const QByteArray bonus = fields.text();
        const bool found = fields.text() == "t";
        if (!ownsRow(seat))
            continue;
        SeatRow &r = m_rows[size_t(seat)];
        r.score = shown(score);
        r.bonus = shown(bonus);
        r.foundit = found;
    }
}

void GameClient::setTimePerTurn(int seconds)
{
    // The clock counts from a number the server sent: it stays within the
    // range the server itself plays.
    seconds = qBound(0, seconds, Wire::MaxSecondsPerRound);
    m_panel.timeperturnTag = seconds;
    // The bar is 184 pixels at most. A time of 0 or less, which the dialog
    // never offers but a request may carry, leaves the bar empty.
    if (seconds <= 0)
        m_panel.pixelsPerSecond = 0;
    else
        m_panel.pixelsPerSecond = seconds >= barPixels ? 1 : barPixels / seconds;
}

void GameClient::setGameType(bool scrambled)
{
    m_panel.gametype = scrambled ? QStringLiteral("Game Type: SCRAMBLED") : QStringLiteral("Game Type: STRAIGHT");
    m_panel.gametypeTag = scrambled ? 1 : 0;
    m_board.setScrambled(scrambled);
}

// --------------------------------------------------------- board and word

void GameClient::loadboard(FieldReader &fields)
{
    m_panel.round = QStringLiteral("ROUND: ") + shown(fields.text());
    for (int seat = 1; seat <= seatcount; ++seat) {
        m_rows[size_t(seat)].foundit = false;
        m_rows[size_t(seat)].bonus.clear();
    }
    m_board.loadTiles(fields);
    m_cursor.home();
}

void GameClient::theword(FieldReader &fields)
{
    m_board.theword(fields);
}

void GameClient::paintbox_boardMouseUp(int x, int y, bool rightButton)
{
    const QPoint at = BoardSelection::tileAt(x, y);
    if (at.isNull())
        return;
    // The keys carry on from the tile the mouse used last.
    m_cursor.moveTo(at);
    tileReleased(at.x(), at.y(), rightButton);
}

bool GameClient::boardKeyPress(int key, const QString &text)
{
    using Command = BoardCursor::Command;
    const Command command = BoardCursor::commandFor(key, text);
    switch (command.kind) {
    case Command::None:
        return false;
    case Command::Step:
        if (m_cursor.step(command.direction))
            emit changed();
        return true;
    case Command::Home:
        m_cursor.home();
        emit changed();
        return true;
    case Command::Act:
        tileReleased(m_cursor.tile().x(), m_cursor.tile().y(), false);
        return true;
    case Command::Unselect:
        if (m_board.selectedcount() > 0)
            tileReleased(m_board.lastSelected().x(), m_board.lastSelected().y(), true);
        return true;
    case Command::Clear:
        // As the right button on a tile that is not selected.
        clearword();
        return true;
    case Command::Letter:
        break;
    }
    if (m_activeseat != m_myseat)
        return true;
    const QPoint at = m_cursor.nearest(m_board, command.letter);
    if (at.isNull() && !m_justWatch) {
        emit sound(QStringLiteral("invalid"));
        return true;
    }
    m_cursor.moveTo(at);
    tileReleased(m_cursor.tile().x(), m_cursor.tile().y(), false);
    return true;
}

void GameClient::tileReleased(int column, int row, bool rightButton)
{
    if (m_activeseat != m_myseat)
        return;
    if (!rightButton && m_justWatch) {
        emit messageBox(QStringLiteral("You cannot play when you have \"Just Watching\" set."));
        return;
    }
    using Click = BoardSelection::Click;
    const Click click = m_board.click(column, row, rightButton);
    if (click == Click::Cleared || click == Click::ClearedAndRefused)
        emit sound(QStringLiteral("clear"));
    if (click == Click::Refused || click == Click::ClearedAndRefused)
        emit sound(QStringLiteral("invalid"));
    if (click == Click::Placed || click == Click::Completed)
        emit sound(QStringLiteral("valid"));
    if (click == Click::Completed)
        sendword();
    emit changed();
}

void GameClient::clearword()
{
    if (m_activeseat != m_myseat)
        return;
    m_board.clearword();
    emit sound(QStringLiteral("clear"));
    emit changed();
}

void GameClient::sendword()
{
    if (m_activeseat != m_myseat)
        return;
    m_activeseat = 0;
    m_panel.clearWordVisible = false;
    const QByteArray list = m_board.positionList();
    if (!m_isconnected)
        return;
    if (!list.isEmpty())
        send("CMD_myword+" + Wire::num(m_myseat) + list + Wire::Terminator);
    emit sound(QStringLiteral("sendword"));
}

// -------------------------------------------------------------- the turn

void GameClient::getnextplayer(FieldReader &fields)
{
    const int seat = fields.integer();
    turntime.setEnabled(false);
    m_activeseat = seat;
    m_panel.clearWordVisible = false;
    m_board.resetSelection();
    if (seat == m_myseat) {
        m_panel.status = QStringLiteral("Your Turn.");
        emit sound(m_sounds.turnsound());
        m_panel.clearWordVisible = true;
    } else {
        const QString name = ownsRow(seat) ? m_rows[size_t(seat)].name : QString::number(seat);
        m_panel.status = name + QStringLiteral("'s turn.");
    }
    m_secondsleft = m_panel.timeperturnTag;
    // The clock shows the whole time from the turn's first moment; its
    // first tick takes one second off.
    m_panel.barWidth = m_panel.pixelsPerSecond * m_secondsleft;
    m_panel.timerRed = m_secondsleft < 20;
    showTime();
    turntime.setEnabled(true);
}

void GameClient::turntimeTimer()
{
    --m_secondsleft;
    if (m_secondsleft <= 0) {
        // Selection ends here even before the server says time is up; the
        // clock keeps ticking at zero until the turn's end stops it.
        m_secondsleft = 0;
        m_panel.timer = QStringLiteral("Time: 0:00");
        m_panel.barWidth = 0;
        m_activeseat = 0;
    } else {
        m_panel.barWidth = m_panel.pixelsPerSecond * m_secondsleft;
        m_panel.timerRed = m_secondsleft < 20;
        if (SoundCues::tickAt(m_secondsleft))
            emit sound(QStringLiteral("tick"));
        showTime();
    }
    emit changed();
}

void GameClient::showTime()
{
    m_panel.timer = QStringLiteral("Time: %1:%2").arg(m_secondsleft / 60).arg(m_secondsleft % 60, 2, 10, QLatin1Char('0'));
}

void GameClient::hefoundit(FieldReader &fields)
{
    const QByteArray seatText = fields.text();
    const QByteArray bonus = fields.text();
    const QByteArray score = fields.text();
    int seat = 0;
    FieldReader::parseInt(seatText, seat);
    if (ownsRow(seat)) {
        SeatRow &r = m_rows[size_t(seat)];
        r.bonus = QStringLiteral("+") + shown(bonus);
        r.score = shown(score);
        r.foundit = true;
    }
    if (seatText != Wire::num(m_myseat)) {
        const QString name = ownsRow(seat) ? m_rows[size_t(seat)].name : shown(seatText);
        m_panel.status = name + QStringLiteral(" has found the word!");
        emit sound(QStringLiteral("goodwordthem"));
    } else {
        m_panel.status = QStringLiteral("You have found the word!");
        emit sound(QStringLiteral("goodword"));
        m_panel.clearWordVisible = false;
    }
}

void GameClient::nomatch(FieldReader &fields)
{
    if (fields.integer() != m_myseat)
        return;
    m_panel.status = QStringLiteral("You did not find the correct word.");
    emit sound(QStringLiteral("invalid"));
    if (m_myseat < 7) {
        m_panel.clearWordVisible = true;
        m_activeseat = m_myseat;
    }
}

void GameClient::turnEnded(FieldReader &fields, const QString &status, const QString &soundName)
{
    turntime.setEnabled(false);
    m_panel.clearWordVisible = false;
    m_panel.status = status;
    if (!fields.rest().startsWith('*')) {
        fields.beginList();
        while (!fields.listEnded()) {
            const int column = fields.integer();
            m_board.reveal(column, fields.integer());
        }
    }
    emit sound(soundName);
}

void GameClient::winner(FieldReader &fields)
{
    // The winner text is everything before the message's empty last field,
    // so that a name with a "+" in it arrives whole.
    QByteArray text = fields.rest();
    if (text.endsWith('+'))
        text.chop(1);
    m_panel.clearWordVisible = false;
    m_rejoin.setInGame(false);
    emit sound(QStringLiteral("gameover"));
    const bool won = ownsRow(m_myseat) && m_rows[size_t(m_myseat)].name == shown(text);
    const QString banner = won ? QStringLiteral("You have Won the Game!") : shown(text) + QStringLiteral(" has Won the Game!");
    m_panel.winner = banner;
    m_panel.status = QStringLiteral("Game Over!");
    line("0+" + banner.toUtf8());
    m_panel.winnerVisible = true;
    if (m_ishost)
        m_startVisible = true;
    if (ownsRow(m_myseat))
        emit gameRecorded(won ? QByteArray("addtomine") : text);
}
