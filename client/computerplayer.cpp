#include "client/computerplayer.h"

#include "client/wordsearch.h"
#include "protocol/wire.h"
#include "shell/errorreport.h"
#include "social/colourtext.h"

#include <algorithm>

using Wire::num;

namespace {

constexpr int dispatchMs = 10;
// The phrase cooldown, in dispatch ticks, as a window counts it.
constexpr int phraseCooldownTicks = 100;

// A retry after a rejected word comes this soon, once a round.
constexpr int retryWaitMs = 2000;
constexpr int maxRetries = 1;

// A phrase follows what prompted it after one to three seconds.
constexpr int phraseWaitMs = 1000;
constexpr int phraseWaitSpreadMs = 2000;
constexpr int goodOneChance = 40;
constexpr int goodGameChance = 60;

// Each level writes in a colour of its own.
quint32 chatColour(ComputerLevel::Level level)
{
    const char *const names[] = {"clGreen", "clTeal", "clMaroon"};
    return ColourText::fromText(QString::fromLatin1(names[int(level)])).value_or(0);
}

} // namespace

ComputerPlayer::ComputerPlayer(const QByteArray &name, ComputerLevel::Level level, Ticker::Mode timers,
                               int speedUp, QObject *parent)
    : QObject(parent),
      m_name(name),
      m_level(level),
      m_dispatch(std::max(1, dispatchMs / std::max(1, speedUp)), timers,
                 [this] { ErrorReport::guarded([this] { dispatchTimer(); }); }),
      m_think(std::max(1, thinkStepMs / std::max(1, speedUp)), timers,
              [this] { ErrorReport::guarded([this] { thinkTimer(); }); }),
      m_random(QRandomGenerator::global()->generate())
{
    m_sock.OnRead = [this](TSock *s, int count) { sockRead(s, count); };
    m_sock.OnInfo = [this](TSock *s, TSock::TSocketInfo info, const QByteArray &msg) { sockInfo(s, info, msg); };

    auto &r = m_receivedlist;
    r.on("CMD_sendlogininfo", [this](FieldReader &f, int) { sendloginfo(f); });
    r.on("CMD_full", [this](FieldReader &, int) { finish(End::Full, QStringLiteral("Game is full")); });
    r.on("CMD_startgame", [this](FieldReader &f, int) { startthegame(f); });
    r.on("CMD_loadboard", [this](FieldReader &f, int) { loadboard(f); });
    r.on("CMD_theword", [this](FieldReader &f, int) { m_board.theword(f); });
    r.on("CMD_nextplayer", [this](FieldReader &f, int) { getnextplayer(f); });
    r.on("CMD_hefoundit", [this](FieldReader &f, int) { hefoundit(f); });
    r.on("CMD_nomatch", [this](FieldReader &f, int) { nomatch(f); });
    r.on("CMD_roundover", [this](FieldReader &, int) { turnEnded(); });
    r.on("CMD_outoftime", [this](FieldReader &, int) { turnEnded(); });
    r.on("CMD_winner", [this](FieldReader &, int) { winner(); });
    r.on("CMD_justwatching", [this](FieldReader &f, int) { justwatching(f); });
}

ComputerPlayer::~ComputerPlayer() = default;

// ------------------------------------------------------------- connection

void ComputerPlayer::connectTo(const QByteArray &host, const QByteArray &port)
{
    ErrorReport::guarded([&] {
        m_sock.setHostName(host);
        m_sock.setPortName(port);
        m_sock.Open();
    });
}

void ComputerPlayer::leave()
{
    if (m_sock.HandleValid())
        m_sock.Close();
}

bool ComputerPlayer::send(const QByteArray &message)
{
    if (!m_connected || !m_sock.HandleValid())
        return false;
    return m_sock.Send(message);
}

void ComputerPlayer::sockRead(TSock *sender, int)
{
    for (const QByteArray &message : m_pending.feed(sender->Receive()))
        receive(message);
}

void ComputerPlayer::receive(const QByteArray &message)
{
    m_receivedlist.enqueue(message);
    if (!m_ended)
        m_dispatch.wake();
}

void ComputerPlayer::sockInfo(TSock *sender, TSock::TSocketInfo info, const QByteArray &msg)
{
    if (info == TSock::siClose && msg == "Socket Closed") {
        // What came before the close is heard first: a refusal ("CMD_full")
        // arrives just before the server drops the connection.
        while (!m_ended && m_receivedlist.dispatchOne()) {
        }
        finish(End::Closed, QStringLiteral("The connection has closed"));
    } else if (info == TSock::siError) {
        if (m_connected || sender->Connected())
            finish(End::Closed, QString::fromLatin1(msg));
        else
            finish(End::Refused, QString::fromLatin1(msg));
    }
}

void ComputerPlayer::finish(End how, const QString &text)
{
    if (m_ended)
        return;
    m_ended = true;
    m_endText = text;
    m_playing = false;
    m_waitMs = -1;
    m_phraseWaitMs = -1;
    m_think.setEnabled(false);
    m_dispatch.setEnabled(false);
    if (how != End::Closed && m_sock.HandleValid()) {
        // The refusal is the last word; the close that follows is not news.
        m_sock.OnInfo = nullptr;
        m_sock.Close();
    }
    emit finished(how);
}

// ----------------------------------------------------------------- timers

void ComputerPlayer::dispatchTimer()
{
    m_receivedlist.dispatchOne();
    if (!m_phraseready && ++m_phraseticks > phraseCooldownTicks) {
        m_phraseready = true;
        m_phraseticks = 0;
    }
    if (m_receivedlist.queued() == 0 && m_phraseready)
        m_dispatch.setEnabled(false);
}

void ComputerPlayer::thinkTimer()
{
    if (m_playing) {
        m_elapsedMs += thinkStepMs;
        if (m_waitMs >= 0) {
            m_waitMs = std::max(0, m_waitMs - thinkStepMs);
            if (m_waitMs == 0)
                sendword();
        }
        // The player's clock has run out: no more clicks this round.
        if (m_playing && m_elapsedMs >= m_timeperturn * 1000) {
            m_playing = false;
            m_waitMs = -1;
        }
    }
    if (m_phraseWaitMs >= 0) {
        m_phraseWaitMs = std::max(0, m_phraseWaitMs - thinkStepMs);
        if (m_phraseWaitMs == 0)
            sendPhrase();
    }
    if (!m_playing && m_phraseWaitMs < 0)
        m_think.setEnabled(false);
}

// ---------------------------------------------------------------- messages

void ComputerPlayer::sendloginfo(FieldReader &fields)
{
    m_myseat = fields.lastInteger();
    m_connected = true;
    // The same login a window sends, with its trailing empty message.
    m_sock.Send(Wire::message("CMD_logininfo", {num(m_myseat), Wire::Version, m_name + Wire::Terminator}));
    emit loggedIn(m_myseat);
}

void ComputerPlayer::startthegame(FieldReader &fields)
{
    fields.text();   // starter
    fields.text();   // play-to score
    const QByteArray seconds = fields.text();
    m_scrambled = fields.text() != "f";
    m_timeperturn = 60;
    FieldReader::parseInt(seconds, m_timeperturn);
    m_board.setScrambled(m_scrambled);
    // Every game start ends just watching.
    m_watching = false;
}

void ComputerPlayer::loadboard(FieldReader &fields)
{
    FieldReader::parseInt(fields.text(), m_round);
    m_playing = false;
    m_waitMs = -1;
    m_board.loadTiles(fields);
}

void ComputerPlayer::getnextplayer(FieldReader &fields)
{
    const int seat = fields.integer();
    m_phraseThisRound = false;
    m_board.resetSelection();
    m_retries = 0;
    m_elapsedMs = 0;
    m_waitMs = -1;
    m_playing = seat == m_myseat && m_myseat >= 1 && m_myseat <= seatcount && !m_watching && m_timeperturn > 0;
    if (!m_playing)
        return;
    const ComputerLevel::Attempt attempt =
        ComputerLevel::draw(m_level, m_board.wordLength(), m_scrambled, m_random);
    if (attempt.finds)
        m_waitMs = attempt.waitMs;
    m_think.setEnabled(true);
    emit roundBegan(m_round);
}

void ComputerPlayer::sendword()
{
    m_waitMs = -1;
    // Every submission is one the window's own selection rules let through.
    const QByteArray positions = WordSearch::select(m_board, WordSearch::find(m_board));
    if (positions.isEmpty())
        return;
    if (send("CMD_myword+" + num(m_myseat) + positions + Wire::Terminator))
        emit submitted(m_elapsedMs, positions);
}

void ComputerPlayer::hefoundit(FieldReader &fields)
{
    const int seat = fields.integer();
    const int bonus = fields.integer();
    if (seat == m_myseat) {
        m_playing = false;
        m_waitMs = -1;
        emit wordFound(bonus, m_elapsedMs);
    } else if (m_board.wordLength() >= hardWordLength) {
        sayLater("Good One!", goodOneChance);
    }
}

void ComputerPlayer::nomatch(FieldReader &fields)
{
    if (fields.integer() != m_myseat || !m_playing)
        return;
    if (m_retries < maxRetries) {
        ++m_retries;
        m_waitMs = retryWaitMs;
    }
}

void ComputerPlayer::turnEnded()
{
    m_playing = false;
    m_waitMs = -1;
}

void ComputerPlayer::winner()
{
    m_playing = false;
    m_waitMs = -1;
    if (m_myseat >= 1 && m_myseat <= seatcount)
        sayLater("Good Game Everyone!", goodGameChance);
}

void ComputerPlayer::justwatching(FieldReader &fields)
{
    const int seat = fields.integer();
    if (seat != m_myseat)
        return;
    m_watching = fields.rest() == "1";
    if (m_watching) {
        m_playing = false;
        m_waitMs = -1;
    }
}

// ----------------------------------------------------------------- phrases

void ComputerPlayer::sayLater(const QByteArray &phrase, int chancePercent)
{
    if (m_phraseThisRound || m_phraseWaitMs >= 0 || int(m_random.bounded(100)) >= chancePercent)
        return;
    m_phraseThisRound = true;
    m_phrase = phrase;
    m_phraseWaitMs = phraseWaitMs + int(m_random.bounded(phraseWaitSpreadMs + 1));
    m_think.setEnabled(true);
}

void ComputerPlayer::sendPhrase()
{
    m_phraseWaitMs = -1;
    // Within the cooldown the phrase is dropped, as a window drops a click.
    if (!m_phraseready)
        return;
    const QByteArray colour = ColourText::toText(chatColour(m_level)).toLatin1();
    if (send(Wire::message("CMD_action", {num(m_myseat), "says: " + m_phrase + '|' + colour}))) {
        m_phraseready = false;
        m_dispatch.wake();
        emit phraseSent(m_phrase);
    }
}
