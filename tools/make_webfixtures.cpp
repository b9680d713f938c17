// zarvex-webfixtures DIR: writes the cases that the browser page's own copy
// of the game's rules is checked against, answered by the core itself:
//
//   selection.json   boards and words, clicks and typed letters, and after
//                    every step what the selection holds and what it did;
//   chatlines.json   display lines cut into chat items, received chat
//                    payloads split into line and colour, and which link
//                    texts open as web pages;
//   colourtext.json  colour values written as text and texts read back,
//                    including texts that are no colour;
//   constants.json   the texts and numbers both sides must agree on.
//
// The cases are drawn from a fixed seed, so every run writes the same files.

#include "client/boardcursor.h"
#include "client/boardselection.h"
#include "protocol/wire.h"
#include "server/gameoptions.h"
#include "social/chatinput.h"
#include "social/chatline.h"
#include "social/chatlinks.h"
#include "social/chatsender.h"
#include "social/chatstyles.h"
#include "social/colourtext.h"
#include "social/phrasebuttons.h"
#include "social/soundcues.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

#include <cstdio>
#include <random>

namespace {

std::mt19937 rng(20240529);

int draw(int n)
{
    return int(rng() % unsigned(n));
}

bool write(const QDir &dir, const QString &name, const QJsonObject &content)
{
    QSaveFile file(dir.filePath(name));
    if (!file.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "zarvex-webfixtures: %s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString()));
        return false;
    }
    file.write(QJsonDocument(content).toJson(QJsonDocument::Compact));
    if (!file.commit()) {
        std::fprintf(stderr, "zarvex-webfixtures: %s: %s\n", qPrintable(file.fileName()), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

QJsonArray point(QPoint p)
{
    return QJsonArray{p.x(), p.y()};
}

// ------------------------------------------------------------ selection

// A board of letters, row by row, "." for a blank tile.
struct Board
{
    QStringList rows = QStringList(BoardSelection::rows, QString(BoardSelection::columns, u'.'));
    void set(int column, int row, QChar letter) { rows[row - 1][column - 1] = letter; }
    QChar at(int column, int row) const { return rows[row - 1][column - 1]; }
};

struct Step
{
    enum Kind { Click, Right, Letter };
    Kind kind;
    QPoint at;
    QChar letter;
};

struct SelectionCase
{
    QString name;
    bool scrambled = false;
    Board board;
    QString word;
    QList<Step> steps;
};

const char *clickName(BoardSelection::Click click)
{
    switch (click) {
    case BoardSelection::Click::Nothing: return "nothing";
    case BoardSelection::Click::Unselected: return "unselected";
    case BoardSelection::Click::Cleared: return "cleared";
    case BoardSelection::Click::Refused: return "refused";
    case BoardSelection::Click::ClearedAndRefused: return "clearedAndRefused";
    case BoardSelection::Click::Placed: return "placed";
    case BoardSelection::Click::Completed: return "completed";
    }
    return "";
}

QByteArray loadboard(const Board &board)
{
    QByteArray text = "1";
    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row) {
            const QChar c = board.at(column, row);
            const int code = c == u'.' ? 0 : c.unicode() - 'a' + 1;
            text += '+' + Wire::num(column) + '+' + Wire::num(row) + '+' + Wire::num(code);
        }
    return text;
}

QByteArray theword(const QString &word)
{
    QByteArray text;
    for (int k = 0; k < word.size(); ++k)
        text += (k ? "+" : "") + Wire::num(k + 1) + '+' + Wire::num(word.at(k).unicode() - 'a' + 1);
    return text;
}

QJsonObject state(const BoardSelection &board, const BoardCursor &cursor)
{
    QJsonArray selection;
    for (int k = 1; k <= board.selectedcount(); ++k)
        selection.append(point(board.selection(k)));
    QJsonArray taken;
    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row)
            if (board.code(column, row) > BoardSelection::highlight)
                taken.append(point(QPoint(column, row)));
    QString slotPictures;
    for (int k = 1; k <= BoardSelection::slotCount; ++k) {
        const BoardSelection::Picture p = board.slot(k).picture;
        slotPictures += p == BoardSelection::Picture::Empty ? u'-' : p == BoardSelection::Picture::Plain ? u'p' : u'h';
    }
    return QJsonObject{
        {"selection", selection},
        {"linedirection", board.linedirection()},
        {"taken", taken},
        {"slots", slotPictures},
        {"cursor", point(cursor.tile())},
    };
}

QJsonObject play(const SelectionCase &c)
{
    BoardSelection board;
    BoardCursor cursor;
    board.setScrambled(c.scrambled);
    FieldReader tiles(loadboard(c.board));
    tiles.text();   // the round
    board.loadTiles(tiles);
    FieldReader word(theword(c.word));
    board.theword(word);

    QJsonArray steps;
    for (const Step &s : c.steps) {
        QJsonObject step;
        BoardSelection::Click click = BoardSelection::Click::Nothing;
        bool clicked = true;
        switch (s.kind) {
        case Step::Click:
        case Step::Right:
            step["do"] = s.kind == Step::Click ? "click" : "right";
            step["at"] = point(s.at);
            cursor.moveTo(s.at);
            click = board.click(s.at.x(), s.at.y(), s.kind == Step::Right);
            break;
        case Step::Letter: {
            step["do"] = "letter";
            step["letter"] = QString(s.letter);
            const QPoint at = cursor.nearest(board, s.letter.unicode() - 'a' + 1);
            if (at.isNull()) {
                clicked = false;
            } else {
                cursor.moveTo(at);
                click = board.click(at.x(), at.y(), false);
            }
            break;
        }
        }
        QJsonObject after = state(board, cursor);
        after["click"] = clicked ? clickName(click) : "noTile";
        if (click == BoardSelection::Click::Completed)
            after["sent"] = QString::fromLatin1(board.positionList());
        step["after"] = after;
        steps.append(step);
    }
    return QJsonObject{
        {"name", c.name},
        {"scrambled", c.scrambled},
        {"board", QJsonArray::fromStringList(c.board.rows)},
        {"word", c.word},
        {"steps", steps},
    };
}

Step click(int column, int row) { return {Step::Click, QPoint(column, row), QChar()}; }
Step right(int column, int row) { return {Step::Right, QPoint(column, row), QChar()}; }
Step letter(char l) { return {Step::Letter, QPoint(), QChar(l)}; }

SelectionCase written(const QString &name, bool scrambled, const QString &word,
                      const QList<std::tuple<int, int, char>> &letters, const QList<Step> &steps)
{
    SelectionCase c;
    c.name = name;
    c.scrambled = scrambled;
    c.word = word;
    for (const auto &[column, row, l] : letters)
        c.board.set(column, row, QChar(l));
    c.steps = steps;
    return c;
}

// A board with the word laid in a straight line or as a chain, and decoys:
// many other tiles carry letters of the word.
SelectionCase drawn(int number, bool scrambled)
{
    SelectionCase c;
    c.name = QStringLiteral("drawn %1 %2").arg(scrambled ? "scrambled" : "straight").arg(number);
    c.scrambled = scrambled;
    const int length = 3 + draw(8);
    for (int k = 0; k < length; ++k)
        c.word += QChar(u'a' + draw(6));   // few letters, so that many tiles fit

    for (int column = 1; column <= BoardSelection::columns; ++column)
        for (int row = 1; row <= BoardSelection::rows; ++row)
            c.board.set(column, row, draw(12) == 0 ? QChar(u'.') : QChar(u'a' + draw(draw(2) ? 6 : 26)));

    // The word itself, so that whole words are found and sent.
    QList<QPoint> path;
    for (int attempt = 0; attempt < 500 && path.size() < length; ++attempt) {
        path = {QPoint(1 + draw(BoardSelection::columns), 1 + draw(BoardSelection::rows))};
        const int direction = 1 + draw(8);
        while (path.size() < length) {
            const int d = scrambled ? 1 + draw(8) : direction;
            const QPoint next(path.last().x() + (d == 1 || d == 5 || d == 6) - (d == 2 || d == 7 || d == 8),
                              path.last().y() + (d == 3 || d == 5 || d == 7) - (d == 4 || d == 6 || d == 8));
            if (!BoardSelection::onBoard(next.x(), next.y()) || path.contains(next))
                break;
            path.append(next);
        }
    }
    for (int k = 0; k < path.size(); ++k)
        c.board.set(path[k].x(), path[k].y(), c.word.at(k));

    int along = 0;   // how far along the word's own path the good steps are
    const int steps = 20 + draw(20);
    for (int s = 0; s < steps; ++s) {
        const int kind = draw(20);
        const QPoint anywhere(1 + draw(BoardSelection::columns), 1 + draw(BoardSelection::rows));
        if (kind < 8 && path.size() == length) {
            c.steps.append(click(path[along % length].x(), path[along % length].y()));
            ++along;
        } else if (kind < 11) {
            c.steps.append(click(anywhere.x(), anywhere.y()));
        } else if (kind < 13) {
            const QPoint last = path.value(qMax(0, along % length - 1));
            c.steps.append(right(last.x(), last.y()));
            along = qMax(0, along - 1);
        } else if (kind < 14) {
            c.steps.append(right(anywhere.x(), anywhere.y()));
            along = 0;
        } else if (kind < 18) {
            c.steps.append(letter(char(c.word.at(draw(length)).unicode())));
        } else {
            c.steps.append(letter(char('a' + draw(26))));
        }
    }
    return c;
}

QJsonObject selectionCases()
{
    QList<SelectionCase> cases;
    cases << written("straight keeps its direction", false, "abcd",
                     {{3, 3, 'a'}, {4, 4, 'b'}, {5, 5, 'c'}, {5, 4, 'c'}, {6, 6, 'd'}, {4, 3, 'b'}, {5, 3, 'c'}},
                     {click(3, 3), click(4, 4), click(5, 4), click(5, 5), right(5, 5), right(4, 4), click(4, 3),
                      click(5, 3)});
    cases << written("scrambled chain of neighbours", true, "abcde",
                     {{3, 3, 'a'}, {4, 4, 'b'}, {4, 5, 'c'}, {3, 6, 'd'}, {5, 6, 'e'}, {3, 8, 'e'}},
                     {click(3, 3), click(4, 4), click(4, 5), click(3, 6), click(3, 8), click(5, 6)});
    cases << written("a tile is used once", true, "noon", {{2, 2, 'n'}, {3, 2, 'o'}, {4, 2, 'o'}, {5, 2, 'n'}},
                     {click(2, 2), click(3, 2), click(3, 2), click(4, 2), click(5, 2)});
    cases << written("right button", false, "abcd", {{1, 1, 'a'}, {2, 1, 'b'}, {3, 1, 'c'}, {4, 1, 'd'}},
                     {click(1, 1), click(2, 1), click(3, 1), right(2, 1), right(3, 1), right(7, 7), right(7, 7)});
    cases << written("wrong first letter", false, "cat", {{4, 7, 'c'}, {5, 7, 'a'}, {6, 7, 't'}},
                     {click(5, 7), click(4, 7), click(4, 7), click(6, 7), click(5, 7), click(6, 7), click(1, 1)});
    cases << written("ten letters", false, "abcdefghij",
                     {{1, 2, 'a'}, {2, 2, 'b'}, {3, 2, 'c'}, {4, 2, 'd'}, {5, 2, 'e'}, {6, 2, 'f'}, {7, 2, 'g'},
                      {8, 2, 'h'}, {9, 2, 'i'}, {10, 2, 'j'}},
                     {click(1, 2), click(2, 2), click(3, 2), click(4, 2), click(5, 2), click(6, 2), click(7, 2),
                      click(8, 2), click(9, 2), click(10, 2), click(10, 2), right(10, 2), click(10, 2)});
    cases << written("corners and edges", false, "abc", {{10, 9, 'a'}, {9, 8, 'b'}, {8, 7, 'c'}, {1, 1, 'c'}},
                     {click(10, 9), click(9, 8), click(1, 1), click(8, 7)});
    cases << written("typed letters pick the nearest tile", true, "tea",
                     {{1, 1, 't'}, {5, 5, 't'}, {6, 5, 'e'}, {4, 4, 'e'}, {7, 6, 'a'}, {5, 6, 'a'}},
                     {letter('t'), letter('e'), letter('x'), letter('a'), right(1, 1), letter('a'), letter('t'),
                      letter('e'), letter('a')});
    cases << written("a letter no tile can take", false, "dog", {{2, 2, 'd'}, {3, 3, 'o'}, {9, 9, 'g'}},
                     {letter('o'), letter('d'), letter('o'), letter('g'), letter('q')});
    cases << written("blank tiles", true, "ab", {{2, 2, 'a'}, {3, 3, 'b'}},
                     {click(1, 1), click(2, 2), right(1, 1), click(3, 3)});
    for (int n = 0; n < 30; ++n)
        cases << drawn(n, n % 2 == 1);

    QJsonArray out;
    for (const SelectionCase &c : cases)
        out.append(play(c));
    return QJsonObject{{"cases", out}};
}

// ----------------------------------------------------------- chat lines

QJsonValue describe(const std::optional<ChatLine> &line)
{
    if (!line)
        return QJsonValue::Null;
    QJsonArray items;
    for (const ChatItem &item : line->items()) {
        QJsonObject o{{"kind", QString(QLatin1String("PTLI").at(item.kind))}, {"style", item.style}};
        if (item.kind == ChatItem::Picture) {
            o["picture"] = item.picture;
        } else {
            o["text"] = item.text;
        }
        if (item.kind == ChatItem::Link) {
            ChatLinks links;
            o["opens"] = ChatLinks::webAddress(links.target(links.add(item.text))).isValid();
        }
        items.append(o);
    }
    return QJsonObject{{"code", line->code()}, {"style", line->style()}, {"items", items}};
}

QString randomLine()
{
    static const QStringList pieces = {
        ":)#", "1", "2", "7", "x", " ", "  ", ":", "www.", "http://", "https://", "HTTP://", "|", "+", "é",
        QString::fromUtf8("\xF0\x9F\x98\x80"), "a", "bob", " chats: ", "example.com", "/", ".", "javascript:",
        "(", "\"", "<b>", "&amp;", "0", "9", "Ω",
    };
    QString line = QString::number(draw(11)) + (draw(8) ? "+" : "");
    const int count = draw(14);
    for (int k = 0; k < count; ++k)
        line += pieces.at(draw(pieces.size()));
    return line;
}

QJsonObject chatCases()
{
    QStringList lines = {
        "7+bob chats: hi :)#12",
        "8+cid waves:)#12",
        "0+You are Connected.",
        "3+x:  two",
        "4+",
        "1+a: :)#5x",
        "1+a: :)#30",
        "1+a: end :)#",
        "1+a: :)#2",
        "2+a: :)#27:)#28",
        "2+a: :)#10 after",
        "5+amy chats: see WWW.Example.com and hTTp://x.org/A?b=1 now",
        "5+amy chats: www.a.com:)#11",
        "6+www.head.com: body",
        "09+x",
        "",
        "hello there",
        "+hi",
        "abc+hi",
        "10+hi",
        "-1+hi",
        " 1+hi",
        "1 +hi",
        "$1+hi",
        "99999999999999999999+hi",
        QString::fromUtf8("\u0663+hi"),
        "2+ann chats: <script>alert(1)</script> &lt; \"quoted\"",
        "2+ann chats: javascript:alert(1)//www.x file:///etc/passwd?www.x xhttp://foo.com",
        "2+ann chats: https://secure.example.org/path https://www.ok.org http://[::1]/ www.",
        QString::fromUtf8("3+zoë chats: héllo \xF0\x9F\x98\x80 wörld :)#13"),
    };
    for (int n = 0; n < 150; ++n)
        lines << randomLine();
    QJsonArray display;
    for (const QString &l : lines)
        display.append(QJsonObject{{"line", l}, {"read", describe(ChatLine::read(l))}});

    QStringList payloads = {
        "2+amy chats: hi|clBlue", "2+x|$00030201", "2+amy chats: hi", "2+a|b|clRed", "2+x|", "3+x|255",
        "3+x|clwindowtext", "3+x|-1", "3+x|$GG", "4+bob waves|$00ABCDEF", "",
    };
    QJsonArray received;
    for (const QString &p : payloads) {
        const ChatLine::Received r = ChatLine::received(p);
        received.append(QJsonObject{{"payload", p}, {"line", r.line}, {"colour", double(r.colour)}});
    }
    QStringList words = {"www.a.com ", "wWw.a", "(see:HtTp://a)", "https://a.com", "", "www ", "http:a"};
    QJsonArray links;
    for (const QString &w : words)
        links.append(QJsonObject{{"word", w}, {"islink", ChatLine::islink(w)}});
    return QJsonObject{{"display", display}, {"received", received}, {"islink", links}};
}

// ---------------------------------------------------------- colour text

QJsonObject colourCases()
{
    QList<quint32> values;
    for (const auto &named : ColourText::namedColours())
        values << named.second;
    values << 0x030201 << 0xABCDEF << 0x80000019 << 0xFFFFFFFF << 0x7FFFFFFF << 0x01000000 << 1;
    for (int n = 0; n < 40; ++n)
        values << (draw(2) ? quint32(rng()) : quint32(rng()) & 0xFFFFFF);
    QJsonArray written;
    for (quint32 v : values)
        written.append(QJsonObject{{"value", double(v)}, {"text", ColourText::toText(v)}});

    QStringList texts = {"clblack", "CLBLACK", "CLwindowTEXT", "clNONE", "255", "0", "+16", "-1", "2147483647",
                         "-2147483648", "$ff0000", "$F", "$80000008", "$00000000", "", "clOrange", "red",
                         "clRed ", " 255", "12x", "2147483648", "-2147483649", "-", "+", "$", "$123456789",
                         "$GG", "0x10", QString::fromUtf8("\u0663"), "$-1", "$ 1", "1e3", "00012", "--1",
                         QString::fromUtf8("\uFF11"), "ＣＬＲＥＤ"};
    for (int n = 0; n < 30; ++n) {
        const quint32 v = quint32(rng());
        texts << ColourText::toText(v) << QString::number(qint32(v)) << QStringLiteral("$%1").arg(v % 0x1000, 0, 16);
    }
    QJsonArray read;
    for (const QString &t : texts) {
        const std::optional<quint32> v = ColourText::fromText(t);
        read.append(QJsonObject{{"text", t}, {"value", v ? QJsonValue(double(*v)) : QJsonValue::Null}});
    }
    return QJsonObject{{"write", written}, {"read", read}};
}

// ------------------------------------------------------------ constants

QJsonObject constants()
{
    QJsonArray phrases;
    for (int n = 1; n <= PhraseButtons::Count; ++n)
        phrases.append(PhraseButtons::builtIn(n));
    QJsonArray shouts;
    for (const SoundCues::Shout &s : SoundCues::shouts())
        shouts.append(QJsonObject{{"item", s.item}, {"tag", s.tag}, {"caption", s.caption}});
    auto range = [](GameOptions::Value v) {
        const GameOptions::Range r = GameOptions::range(v);
        return QJsonObject{{"min", r.min}, {"max", r.max}, {"step", r.step}, {"start", r.start}};
    };
    return QJsonObject{
        {"version", QString::fromLatin1(Wire::Version)},
        {"phrases", phrases},
        {"phraseCooldownTicks", PhraseButtons::CooldownTicks},
        {"shouts", shouts},
        {"sounds", QJsonArray::fromStringList(SoundCues::resourceNames())},
        {"playToScore", range(GameOptions::PlayToScore)},
        {"creationTime", range(GameOptions::CreationTime)},
        {"chatMaxLength", ChatSender::MaxLength},
        {"inputMaxLength", ChatInput::MaxLength},
        {"firstSmiley", ChatLine::FirstSmiley},
        {"smileyCount", ChatLine::SmileyCount},
        {"linkStyle", ChatStyles::LinkStyle},
        {"maxSecondsPerRound", Wire::MaxSecondsPerRound},
    };
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: zarvex-webfixtures DIR\n");
        return 2;
    }
    QDir dir(args.at(1));
    if (!dir.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "zarvex-webfixtures: cannot make %s\n", qPrintable(args.at(1)));
        return 1;
    }
    const bool ok = write(dir, "selection.json", selectionCases()) && write(dir, "chatlines.json", chatCases())
                    && write(dir, "colourtext.json", colourCases()) && write(dir, "constants.json", constants());
    return ok ? 0 : 1;
}
