#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <array>
#include <vector>

// A word list of the host's choosing, read from a plain UTF-8 text file with
// one word a line. Blank lines and lines that start with "#" are skipped,
// surrounding blanks dropped and letters folded to small ones; a word that
// then holds anything but "a" to "z" is skipped and counted. Duplicates are
// dropped and the words sorted, so that ids run in alphabetical order from 0.
//
// A list serves a game type when it holds at least MinimumWords words within
// that type's length bounds (and, for an only-letters game, as many of the
// lengths such a game draws again for). A list that serves no game type at
// all is not usable.
class WordList
{
public:
    static constexpr int MinimumWords = 10;
    // Larger files are refused unread: no word list needs that much.
    static constexpr qint64 MaxFileBytes = 32 * 1024 * 1024;
    // Skipped lines kept to show the host, with their line numbers.
    static constexpr int SkippedSamples = 3;

    struct SkippedLine
    {
        int line;
        QString text;
    };

    // Reads the list from a file's text; the name is what players are told.
    static WordList fromText(const QByteArray &text, const QString &name);
    // Reads the file. A file that cannot be read gives an empty list whose
    // error() says why.
    static WordList readFile(const QString &path);

    const QString &name() const { return m_name; }
    const QString &path() const { return m_path; }
    // Why the file could not be read; empty once it was.
    const QString &error() const { return m_error; }

    int count() const { return int(m_starts.size()) - 1; }
    // The word with this id, or empty outside 0 to count() - 1.
    QByteArray word(int id) const;
    // Every word in id order, copied out of the list.
    QList<QByteArray> words() const;

    int skipped() const { return m_skipped; }
    const QList<SkippedLine> &skippedLines() const { return m_skippedLines; }
    int duplicates() const { return m_duplicates; }

    // How many words have from `shortest` to `longest` letters.
    int countBetween(int shortest, int longest) const;
    bool serves(bool scrambled, bool onlyletters) const;
    // Serves at least one game type.
    bool usable() const;

    // "name: n words, a of 3 to 8 letters, b of 5 to 10 letters" and the
    // skipped lines, as the host is shown the list.
    QString summary() const;
    // Why the list cannot be used, or empty when it can.
    QString refusal() const;
    // What a game of this type lacks, or empty when the list serves it.
    QString shortfall(bool scrambled, bool onlyletters) const;

private:
    static constexpr int LongestCounted = 32;

    QString skippedText() const;

    QString m_name;
    QString m_path;
    QString m_error;
    // The words one after the other in id order, and where each starts:
    // word i is m_letters[m_starts[i], m_starts[i + 1]). Twenty thousand
    // words take a quarter of the memory they would as separate arrays.
    QByteArray m_letters;
    std::vector<quint32> m_starts{0};
    // Words by length; the last entry counts every longer word.
    std::array<int, LongestCounted + 1> m_lengths{};
    int m_skipped = 0;
    int m_duplicates = 0;
    QList<SkippedLine> m_skippedLines;
};
