#pragma once

#include <QStringList>
#include <QUrl>

// The link table of the chat: the text of every link in the view, by the
// view's link number (0 upwards in document order, restarting when the view
// is cleared). Each link keeps its own text, so a click on any link, however
// many came before it, opens the word that link shows.
class ChatLinks
{
public:
    // Records a link word, trailing blank included; answers its number.
    int add(const QString &word);

    // The number of the last link added, -1 when there is none.
    int linkcounter() const { return int(m_texts.size()) - 1; }

    // The text a click on the link opens: its word without the blanks at its
    // end. Empty for a number that names no link.
    QString target(int number) const;

    void clear() { m_texts.clear(); }

    // The address a link text stands for, when it is a web page: the text
    // as a user would type it into a browser, accepted only as http or https,
    // so that a word from a peer can never make the desktop run a program or
    // open a local file. Invalid otherwise.
    static QUrl webAddress(const QString &text);

private:
    QStringList m_texts;
};
