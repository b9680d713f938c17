#pragma once

#include <QByteArray>
#include <array>
#include <memory>

class WordList;

// The server's round data: the board of 10 columns by 9 rows, the target word
// and where it lies. `createboard` picks a word from the word list, hides it
// on a fresh board, either as a straight line (STRAIGHT games) or as a chain
// of touching tiles (SCRAMBLED games), fills the other tiles and keeps the
// texts that the server sends to every seat.
//
// Columns run 1 to 10 from the left, rows 1 to 9 from the top; letter codes
// are 1 to 26 for "a" to "z", and 0 marks a tile that is still empty while a
// board is being built. Every draw comes from the process's Random generator.
class Board
{
public:
    static constexpr int Columns = 10;
    static constexpr int Rows = 9;
    static constexpr int MaxWordLength = 10;

    // Word lengths each game type plays, and the lengths an only-letters
    // game draws again for when its first word is shorter.
    static constexpr int StraightShortest = 3;
    static constexpr int StraightLongest = 8;
    static constexpr int ScrambledShortest = 5;
    static constexpr int ScrambledLongest = 10;
    static constexpr int OnlyLettersShortest = 6;
    static constexpr int OnlyLettersLongest = 10;
    static constexpr int shortestWord(bool scrambled)
    {
        return scrambled ? ScrambledShortest : StraightShortest;
    }
    static constexpr int longestWord(bool scrambled)
    {
        return scrambled ? ScrambledLongest : StraightLongest;
    }

    // The game type and the only-letters option of the running game.
    void setScrambled(bool on) { m_scrambled = on; }
    bool scrambled() const { return m_scrambled; }
    void setOnlyLetters(bool on) { m_onlyletters = on; }
    bool onlyLetters() const { return m_onlyletters; }

    // The list words are drawn from; none for the built-in one. A list that
    // cannot serve the game type is passed over for the built-in one.
    void setWordList(std::shared_ptr<const WordList> list) { m_wordlist = std::move(list); }
    const WordList *wordList() const { return m_wordlist.get(); }

    // Draws a word for the game type from the list in use.
    QByteArray drawWord() const;

    // Picks the round's word and builds the board around it.
    void createboard();
    // Builds the board around the given word instead of a drawn one. Answers
    // false, and changes nothing, for a word of no letters or of more than
    // MaxWordLength.
    bool createboard(const QByteArray &word);

    // The letter code of a tile, 0 outside the board.
    int tile(int column, int row) const;

    // The round's word: its letters, and the code of letter k (1-based, 0
    // outside the word).
    QByteArray word() const { return m_word; }
    int wordLength() const { return int(m_word.size()); }
    int wordLetter(int k) const;

    // "+k+code" for every letter of the word, as sent after CMD_theword.
    const QByteArray &wordtext() const { return m_wordtext; }
    // "+column+row" for every letter's tile, in letter order.
    const QByteArray &wordpositions() const { return m_wordpositions; }
    // "+column+row+code" for all 90 tiles, column by column.
    const QByteArray &boardText() const { return m_boardtext; }

    // The two messages every seat receives for a new board.
    QByteArray loadboardMessage(int roundnumber) const;
    QByteArray thewordMessage() const;

    // The placement steps, public so that tests can place a chosen word.
    // A letter outside "a" to "z" is reported ("error creating word") and
    // counts as 0.
    static int converttonum(char letter);
    // Lays the word in a straight line, its first letter one step from
    // (column, row) in the direction given; answers the word text.
    QByteArray placeletter(const QByteArray &word, int column, int row, int direction);
    // Places the word as a straight line; answers the word text.
    QByteArray setwordstraight(const QByteArray &word);
    // Places the word as a chain of touching tiles; answers the word text, or
    // empty when the chain got stuck.
    QByteArray setwordscram(const QByteArray &word);

    static bool onBoard(int column, int row)
    {
        return column >= 1 && column <= Columns && row >= 1 && row <= Rows;
    }

private:
    void clearBoard();
    void clearWord();
    void setTile(int column, int row, int code);
    int randomWordLetter() const;
    void fill();

    // Indexed [column][row] from 1; index 0 is unused.
    std::array<std::array<int, Rows + 1>, Columns + 1> m_board{};
    std::array<int, MaxWordLength + 1> m_wordletters{};
    QByteArray m_word;
    QByteArray m_wordtext;
    QByteArray m_wordpositions;
    QByteArray m_boardtext;
    bool m_scrambled = false;
    bool m_onlyletters = false;
    std::shared_ptr<const WordList> m_wordlist;
};
