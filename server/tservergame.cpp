// The game flow of TServer: games, rounds, submissions, scores and winners.

#include "server/tserver.h"

#include "protocol/wire.h"
#include "server/wordlist.h"
#include "social/colourtext.h"

#include <QList>

#include <limits>

using Wire::num;

namespace {

// Seconds the clients' clocks still show: a round runs four ticks longer than
// its advertised time.
constexpr int clockLead = 4;
constexpr int pauseSeconds = 7;

int integerOr(const QByteArray &text, int fallback)
{
    int value = 0;
    return FieldReader::parseInt(text, value) ? value : fallback;
}

// A score stops at the ends of its range instead of wrapping round.
qint32 addScore(qint32 score, qint32 bonus)
{
    const qint64 sum = qint64(score) + bonus;
    const qint64 lowest = std::numeric_limits<qint32>::min();
    const qint64 highest = std::numeric_limits<qint32>::max();
    return qint32(qBound(lowest, sum, highest));
}

} // namespace

void TServer::startgame(FieldReader &fields, int origin)
{
    if (origin != 1)
        return;   // only the host starts games
    const QByteArray starter = fields.text();
    const QByteArray playto = fields.text();
    const QByteArray seconds = fields.text();
    const QByteArray type = fields.text();
    const QByteArray only = fields.text();

    timer1.setEnabled(false);
    m_gameinprogress = true;
    m_timeperturn = qBound(1, integerOr(seconds, 60), Wire::MaxSecondsPerRound);
    m_playtoscore = integerOr(playto, 250);
    m_scrambled = type != "f";
    m_onlyletters = only == "t";
    sendToAll(Wire::message("CMD_startgame", {starter, playto, seconds, type, only, ""}));
    chooseWordList();
    for (int n = 1; n <= seatcount; ++n) {
        seats[size_t(n)].score = 0;
        seats[size_t(n)].watching = false;
    }
    m_roundnumber = 0;
    emit gameStarted(starter);
    startround();
}

// The game draws from the host's own list when it serves the game type, and
// from the built-in list otherwise; with a list of its own every seat is told
// which. A status line (line code 0) in the status colour reads the same in
// every window.
void TServer::chooseWordList()
{
    m_board.setWordList(nullptr);
    if (!m_wordlist)
        return;
    // The name ends at the colour's "|" on the wire; it must hold none.
    QByteArray name = m_wordlist->name().toUtf8();
    name.replace('|', '/');
    QByteArray line;
    if (m_wordlist->serves(m_scrambled, m_onlyletters)) {
        m_board.setWordList(m_wordlist);
        line = "Words from " + name + " (" + num(m_wordlist->count()) + " words).";
    } else {
        QByteArray why = m_wordlist->shortfall(m_scrambled, m_onlyletters).toUtf8();
        why.replace('|', '/');
        line = "Words from the built-in list: " + why + ".";
    }
    const QByteArray colour = ColourText::toText(ColourText::clBlue).toLatin1();
    sendToAll(Wire::message("CMD_chat", {"0", line + '|' + colour}));
}

void TServer::startround()
{
    ++m_roundnumber;
    for (int n = 1; n <= seatcount; ++n) {
        seats[size_t(n)].found = false;
        seats[size_t(n)].bonus = 0;
    }
    m_board.setScrambled(m_scrambled);
    m_board.setOnlyLetters(m_onlyletters);
    if (m_nextWord.isEmpty() || !m_board.createboard(m_nextWord))
        m_board.createboard();
    m_nextWord.clear();
    const QByteArray loadboard = m_board.loadboardMessage(m_roundnumber);
    const QByteArray theword = m_board.thewordMessage();
    for (int n = 1; n <= m_seatsused; ++n) {
        sendTo(n, loadboard);
        sendTo(n, theword);
    }
    findplayer();
    timer1.setEnabled(false);
    timer1.Tag = 1;
    m_countdown = m_timeperturn + clockLead;
    timer1.setEnabled(true);
}

void TServer::findplayer()
{
    for (int n = 1; n <= m_seatsused; ++n)
        sendTo(n, Wire::message("CMD_nextplayer", {num(n <= seatcount ? n : 1), ""}));
}

void TServer::myword(FieldReader &fields, int origin)
{
    // Once the winner is out, an old submission would score and end the
    // round a second time: words count only while a game is played.
    if (!m_gameinprogress)
        return;
    const int seat = fields.integer();
    if (seat != origin || seat < 1 || seat > seatcount || seats[size_t(seat)].found)
        return;
    if (!wordMatches(fields)) {
        sendTo(seat, Wire::message("CMD_nomatch", {num(seat), ""}));
        return;
    }
    Seat &s = seats[size_t(seat)];
    s.bonus = m_countdown - clockLead;
    s.found = true;
    s.score = addScore(s.score, s.bonus);
    sendToAll(Wire::message("CMD_hefoundit", {num(seat), num(s.bonus), num(s.score), ""}));
    emit wordFound(seat, s.bonus, s.score);
    checkforalldone();
}

// The tiles named by the rest of a submission spell the word: one tile per
// letter, in order, wherever they lie. A list that breaks off inside a pair
// ends the handling there.
bool TServer::wordMatches(FieldReader &fields) const
{
    QList<QPair<int, int>> tiles;
    fields.beginList();
    while (!fields.listEnded()) {
        const int column = fields.integer();
        const int row = fields.integer();
        tiles.append({column, row});
    }
    if (tiles.size() != m_board.wordLength())
        return false;
    for (int k = 1; k <= tiles.size(); ++k) {
        const auto &[column, row] = tiles[k - 1];
        if (m_board.tile(column, row) != m_board.wordLetter(k))
            return false;
    }
    return true;
}

void TServer::checkforalldone()
{
    for (int n = 1; n <= seatcount; ++n) {
        const Seat &s = seats[size_t(n)];
        if (s.connected && !s.watching && !s.found)
            return;
    }
    timer1.setEnabled(false);
    sendRoundEnd("CMD_roundover");
    emit roundEnded(m_roundnumber, false);
    startPause();
}

void TServer::timer1Timer()
{
    if (--m_countdown >= 1)
        return;
    timer1.setEnabled(false);
    if (timer1.Tag == 1)
        outoftime();
    else if (timer1.Tag == 2)
        endround();
}

void TServer::outoftime()
{
    sendRoundEnd("CMD_outoftime");
    emit roundEnded(m_roundnumber, true);
    startPause();
}

// Finders get the placeholder, everybody else the word's tiles to look at.
void TServer::sendRoundEnd(const char *command)
{
    const QByteArray hidden = Wire::message(command, {"***", ""});
    QByteArray revealed = command + m_board.wordpositions();
    revealed += Wire::Terminator;
    for (int n = 1; n <= m_seatsused; ++n)
        sendTo(n, seats[size_t(n)].found ? hidden : revealed);
}

void TServer::startPause()
{
    m_countdown = pauseSeconds;
    timer1.Tag = 2;
    timer1.setEnabled(true);
}

void TServer::endround()
{
    if (!checkforwin())
        startround();
}

bool TServer::checkforwin()
{
    // A held seat is still in the game: its player is on the way back.
    auto live = [this](int n) { return seats[size_t(n)].connected || m_holds.isHeld(n); };
    bool passed = false;
    for (int n = 1; n <= seatcount; ++n)
        if (live(n) && seats[size_t(n)].score > m_playtoscore)
            passed = true;

    int leader = 1;
    for (int n = 2; n <= seatcount; ++n)
        if (live(n) && seats[size_t(n)].score > seats[size_t(leader)].score)
            leader = n;
    const qint32 best = seats[size_t(leader)].score;
    for (int n = 1; n <= seatcount; ++n)
        if (n != leader && live(n) && seats[size_t(n)].score == best)
            return false;   // a tie at the top plays on
    if (!passed)
        return false;

    auto shownName = [this](int n) {
        const Seat &s = seats[size_t(n)];
        return s.name.isEmpty() ? s.defaultname : s.name;
    };
    QByteArray text = shownName(leader);
    for (int n = 1; n <= seatcount; ++n)
        if (n != leader && seats[size_t(n)].score == best)
            text += " and " + shownName(n);
    sendToAll(Wire::message("CMD_winner", {text, ""}));
    m_gameinprogress = false;
    emit winnerDeclared(text);
    endAllHolds();
    return true;
}
