#pragma once

#include <QByteArray>
#include <QRandomGenerator>
#include <iterator>

// Inputs for the compressor's tests, the same on every run.
namespace SampleData {

// Lines of words and numbers, like a tally table, CR LF line ends.
inline QByteArray text(int size, quint32 seed = 1)
{
    static const char *const words[] = {"alpha", "board", "chat", "dictionary", "eleven", "found",
                                        "games", "host", "just", "watch", "letters", "round",
                                        "score", "tally", "winner", "zarvex", "Ann", "Bob"};
    QRandomGenerator random(seed);
    QByteArray out;
    while (out.size() < size) {
        out += words[random.bounded(int(std::size(words)))];
        out += random.bounded(5) == 0 ? QByteArray::number(random.bounded(1000)) + "\r\n" : QByteArray(" ");
    }
    out.truncate(size);
    return out;
}

inline QByteArray randomBytes(int size, quint32 seed = 2)
{
    QRandomGenerator random(seed);
    QByteArray out(size, '\0');
    for (char &c : out)
        c = char(random.bounded(256));
    return out;
}

// Runs of equal bytes of every length from 1 to 5000.
inline QByteArray runs(int size, quint32 seed = 3)
{
    QRandomGenerator random(seed);
    QByteArray out;
    while (out.size() < size)
        out += QByteArray(random.bounded(1, 5001), char(random.bounded(256)));
    out.truncate(size);
    return out;
}

// Text, runs and noise in turn, a few hundred bytes each.
inline QByteArray mixed(int size, quint32 seed = 4)
{
    QRandomGenerator random(seed);
    QByteArray out;
    for (int part = 0; out.size() < size; ++part) {
        const int length = random.bounded(50, 800);
        const quint32 s = random.generate();
        out += part % 3 == 0 ? text(length, s) : part % 3 == 1 ? runs(length, s) : randomBytes(length, s);
    }
    out.truncate(size);
    return out;
}

} // namespace SampleData
