#pragma once

#include <QByteArray>
#include <QList>

// Finds the target word on a board as a client sees it, from the payloads of
// CMD_loadboard and CMD_theword: for each letter, the first tile that carries
// it. The server accepts any tiles that spell the word.
inline QByteArray findWord(const QByteArray &loadboard, const QByteArray &theword)
{
    const QList<QByteArray> cells = loadboard.split('+');   // round, then triples
    const QList<QByteArray> letters = theword.split('+');    // k, code pairs
    QByteArray positions;
    for (int k = 1; k + 1 < letters.size(); k += 2) {
        for (int i = 1; i + 2 < cells.size(); i += 3) {
            if (cells[i + 2] == letters[k + 1]) {
                positions += '+' + cells[i] + '+' + cells[i + 1];
                break;
            }
        }
    }
    return positions;
}
