#include "server/board.h"

#include "protocol/boarddirections.h"
#include "protocol/wire.h"
#include "server/dictionary.h"
#include "server/random.h"
#include "server/wordlist.h"
#include "shell/errorreport.h"

using BoardDirections::columnStep;
using BoardDirections::rowStep;

namespace {

// A scrambled letter that finds no empty neighbour in this many tries gives
// up the whole chain.
constexpr int ScrambleTries = 20;

// Decoys: this many tries per letter of the word to scatter its letters.
constexpr int DecoysPerLetter = 8;

// Appends "+" and the number. Board numbers are small, so they are written
// by hand; QByteArray::number would dominate the cost of a board.
void appendField(QByteArray &text, int value)
{
    text += Wire::Separator;
    if (value >= 0 && value < 100) {
        if (value >= 10)
            text += char('0' + value / 10);
        text += char('0' + value % 10);
    } else {
        text += Wire::num(value);
    }
}

} // namespace

int Board::tile(int column, int row) const
{
    return onBoard(column, row) ? m_board[column][row] : 0;
}

int Board::wordLetter(int k) const
{
    return k >= 1 && k <= MaxWordLength ? m_wordletters[k] : 0;
}

int Board::converttonum(char letter)
{
    if (letter >= 'a' && letter <= 'z')
        return letter - 'a' + 1;
    ErrorReport::show(QStringLiteral("error creating word"));
    return 0;
}

void Board::setTile(int column, int row, int code)
{
    if (onBoard(column, row))
        m_board[column][row] = code;
}

void Board::clearBoard()
{
    for (auto &column : m_board)
        column.fill(0);
}

void Board::clearWord()
{
    m_wordletters.fill(0);
}

QByteArray Board::placeletter(const QByteArray &word, int column, int row, int direction)
{
    m_wordtext.clear();
    m_wordpositions.clear();
    for (int k = 1; k <= word.size(); ++k) {
        column += columnStep(direction);
        row += rowStep(direction);
        const int code = converttonum(word.at(k - 1));
        appendField(m_wordtext, k);
        appendField(m_wordtext, code);
        if (k <= MaxWordLength)
            m_wordletters[k] = code;
        setTile(column, row, code);
        appendField(m_wordpositions, column);
        appendField(m_wordpositions, row);
    }
    return m_wordtext;
}

QByteArray Board::setwordstraight(const QByteArray &word)
{
    clearWord();
    const int length = int(word.size());
    if (length < 1 || length > MaxWordLength)
        return QByteArray();

    if (length == MaxWordLength) {
        // A whole row, from the left edge or from the right edge. The start
        // tile lies one step before the first letter, just off the board.
        const int direction = Random::uniform(2) + 1;
        const int row = Random::uniform(Rows) + 1;
        return placeletter(word, direction == 1 ? 0 : Columns + 1, row, direction);
    }

    // First letter's column for words that run right (c0) or left (cs), and
    // its row for words that run down (r0) or up (rs). Only the ones that the
    // direction needs are drawn.
    const auto c0 = [length] { return Random::uniform(Columns - length) + 1; };
    const auto cs = [length] { return Random::uniform(Columns - length) + length; };
    const auto r0 = [length] { return Random::uniform(Rows - length) + 1; };
    const auto rs = [length] { return Random::uniform(Rows - length) + length; };
    const auto anyColumn = [] { return Random::uniform(Columns) + 1; };
    const auto anyRow = [] { return Random::uniform(Rows) + 1; };

    const int direction = Random::uniform(8) + 1;
    int column = 0;
    int row = 0;
    switch (direction) {
    case 1: column = c0(); row = anyRow(); break;
    case 2: column = cs(); row = anyRow(); break;
    case 3: column = anyColumn(); row = r0(); break;
    case 4: column = anyColumn(); row = rs(); break;
    case 5: column = c0(); row = r0(); break;
    case 6: column = c0(); row = rs(); break;
    case 7: column = cs(); row = r0(); break;
    default: column = cs(); row = rs(); break;
    }
    return placeletter(word, column - columnStep(direction), row - rowStep(direction), direction);
}

QByteArray Board::setwordscram(const QByteArray &word)
{
    m_wordtext.clear();
    // The start tile favours the middle of the board: the columns 6 to 9 and
    // the rows 5 to 7 come up twice as often as the others.
    int column = Random::uniform(Columns + 4) + 1;
    if (column > Columns)
        column -= 5;
    int row = Random::uniform(Rows + 3) + 1;
    if (row > Rows)
        row -= 5;

    m_wordpositions.clear();
    clearWord();
    const int length = int(word.size());
    if (length < 1 || length > MaxWordLength)
        return QByteArray();

    for (int k = 1; k <= length; ++k) {
        const int code = converttonum(word.at(k - 1));
        appendField(m_wordtext, k);
        appendField(m_wordtext, code);
        m_wordletters[k] = code;

        bool placed = false;
        for (int attempt = 0; attempt < ScrambleTries && !placed; ++attempt) {
            const int direction = Random::uniform(8) + 1;
            const int nextColumn = column + columnStep(direction);
            const int nextRow = row + rowStep(direction);
            if (onBoard(nextColumn, nextRow) && m_board[nextColumn][nextRow] == 0) {
                m_board[nextColumn][nextRow] = code;
                column = nextColumn;
                row = nextRow;
                placed = true;
            }
        }
        if (!placed) {
            m_wordtext.clear();
            m_wordpositions.clear();
            clearWord();
            return QByteArray();
        }
        appendField(m_wordpositions, column);
        appendField(m_wordpositions, row);
    }
    return m_wordtext;
}

QByteArray Board::drawWord() const
{
    const WordList *own = m_wordlist && m_wordlist->serves(m_scrambled, m_onlyletters) ? m_wordlist.get() : nullptr;
    // The built-in list never draws its first and last entries; a list of
    // the host's own is often short and spares none.
    const auto draw = [own] {
        if (own)
            return own->word(Random::uniform(own->count()));
        return Dictionary::GetString(Random::uniform(Dictionary::count() - 2) + 1);
    };
    const int shortest = shortestWord(m_scrambled);
    const int longest = longestWord(m_scrambled);

    QByteArray word;
    do {
        word = draw();
    } while (word.size() < shortest || word.size() > longest);

    if (m_onlyletters) {
        // A board of only the word's letters needs a word of some length.
        while (word.size() < OnlyLettersShortest || word.size() > OnlyLettersLongest)
            word = draw();
    }
    return word;
}

void Board::createboard()
{
    createboard(drawWord());
}

bool Board::createboard(const QByteArray &word)
{
    if (word.isEmpty() || word.size() > MaxWordLength)
        return false;
    m_word = word;
    do {
        clearBoard();
        m_wordtext = m_scrambled ? setwordscram(word) : setwordstraight(word);
    } while (m_wordtext.isEmpty());

    for (int decoy = 0; decoy < DecoysPerLetter * wordLength(); ++decoy) {
        const int column = Random::uniform(Columns) + 1;
        const int row = Random::uniform(Rows) + 1;
        if (m_board[column][row] == 0)
            m_board[column][row] = randomWordLetter();
    }
    fill();
    return true;
}

int Board::randomWordLetter() const
{
    return m_wordletters[Random::uniform(wordLength()) + 1];
}

void Board::fill()
{
    m_boardtext.clear();
    m_boardtext.reserve(Columns * Rows * 9);
    for (int column = 1; column <= Columns; ++column) {
        for (int row = 1; row <= Rows; ++row) {
            int &code = m_board[column][row];
            if (code == 0)
                code = m_onlyletters ? randomWordLetter() : Random::uniform(26) + 1;
            appendField(m_boardtext, column);
            appendField(m_boardtext, row);
            appendField(m_boardtext, code);
        }
    }
}

QByteArray Board::loadboardMessage(int roundnumber) const
{
    return Wire::message("CMD_loadboard", {Wire::num(roundnumber) + m_boardtext});
}

QByteArray Board::thewordMessage() const
{
    return Wire::message("CMD_theword" + m_wordtext, {});
}
