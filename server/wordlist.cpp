#include "server/wordlist.h"

#include "server/board.h"
#include "shell/boundedfile.h"

#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr int SampleLength = 40;

bool isAsciiBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Folds an ASCII word to small letters in place; false when it holds
// anything but letters.
bool foldAscii(char *c, char *end)
{
    for (; c < end; ++c) {
        if (*c >= 'A' && *c <= 'Z')
            *c = char(*c - 'A' + 'a');
        else if (*c < 'a' || *c > 'z')
            return false;
    }
    return true;
}

// A line with letters beyond ASCII: folded by Unicode's rules, kept only
// when what remains is plain "a" to "z" (the Kelvin sign becomes a "k", an
// "é" stays what it is and the word is skipped).
bool foldUnicode(const QString &text, QByteArray &word)
{
    const QString folded = text.toLower();
    word.resize(folded.size());
    for (int i = 0; i < folded.size(); ++i) {
        const char16_t c = folded.at(i).unicode();
        if (c < u'a' || c > u'z')
            return false;
        word[i] = char(c);
    }
    return true;
}

QString number(int n)
{
    return QLocale::c().toString(n);
}

QString plural(int n, const QString &one, const QString &many)
{
    return number(n) + ' ' + (n == 1 ? one : many);
}

// A line as the host is shown it: cut short, its control characters visible.
QString sample(const QString &text)
{
    QString shown = text.left(SampleLength);
    for (QChar &c : shown)
        if (c.category() == QChar::Other_Control)
            c = u'?';
    return text.size() > SampleLength ? shown + QStringLiteral("...") : shown;
}

} // namespace

WordList WordList::fromText(const QByteArray &text, const QString &name)
{
    WordList list;
    list.m_name = name;
    const char *p = text.constData();
    const char *const end = p + text.size();
    if (text.startsWith("\xEF\xBB\xBF"))
        p += 3;

    // The folded words go one after the other into one buffer and are sorted
    // as views into it: a list of many thousand words costs two allocations
    // until the unique words are copied out.
    QByteArray folded;
    folded.reserve(text.size());
    std::vector<std::pair<qsizetype, qsizetype>> spans;   // start, length
    spans.reserve(size_t(text.size() / 8));
    QByteArray word;
    int lineNumber = 0;
    while (p < end) {
        const char *eol = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        if (!eol)
            eol = end;
        ++lineNumber;
        const char *b = p;
        const char *e = eol;
        p = eol + 1;
        while (b < e && isAsciiBlank(*b))
            ++b;
        while (e > b && isAsciiBlank(e[-1]))
            --e;
        if (b == e || *b == '#')
            continue;

        const qsizetype at = folded.size();
        const bool ascii = std::none_of(b, e, [](char c) { return c & 0x80; });
        bool kept = false;
        if (ascii) {
            folded.append(b, e - b);
            kept = foldAscii(folded.data() + at, folded.data() + folded.size());
        } else {
            const QString unicode = QString::fromUtf8(b, e - b).trimmed();
            if (unicode.isEmpty() || unicode.startsWith(u'#'))
                continue;
            kept = foldUnicode(unicode, word);
            if (kept)
                folded.append(word);
        }
        if (kept) {
            spans.emplace_back(at, folded.size() - at);
            continue;
        }
        folded.truncate(at);
        ++list.m_skipped;
        if (list.m_skippedLines.size() < SkippedSamples)
            list.m_skippedLines.append({lineNumber, sample(QString::fromUtf8(b, int(e - b)))});
    }

    std::vector<std::string_view> views;
    views.reserve(spans.size());
    for (const auto &[at, length] : spans)
        views.emplace_back(folded.constData() + at, size_t(length));
    std::sort(views.begin(), views.end());
    const auto last = std::unique(views.begin(), views.end());
    list.m_duplicates = int(views.end() - last);
    views.erase(last, views.end());
    size_t letters = 0;
    for (const std::string_view view : views)
        letters += view.size();
    list.m_letters.reserve(qsizetype(letters));
    list.m_starts.reserve(views.size() + 1);
    for (const std::string_view view : views) {
        list.m_letters.append(view.data(), qsizetype(view.size()));
        list.m_starts.push_back(quint32(list.m_letters.size()));
        ++list.m_lengths[std::min(view.size(), size_t(LongestCounted))];
    }
    return list;
}

WordList WordList::readFile(const QString &path)
{
    const BoundedFile file = BoundedFile::read(path, MaxFileBytes);
    if (!file.isRead()) {
        WordList list;
        list.m_path = path;
        list.m_name = QFileInfo(path).fileName();
        list.m_error = QStringLiteral("Cannot read the word list ") + path + QStringLiteral(": ") + file.reason()
                       + QLatin1Char('.');
        return list;
    }
    WordList read = fromText(file.bytes(), QFileInfo(path).fileName());
    read.m_path = path;
    return read;
}

QByteArray WordList::word(int id) const
{
    if (id < 0 || id >= count())
        return QByteArray();
    return m_letters.mid(qsizetype(m_starts[size_t(id)]), qsizetype(m_starts[size_t(id) + 1] - m_starts[size_t(id)]));
}

QList<QByteArray> WordList::words() const
{
    QList<QByteArray> all;
    all.reserve(count());
    for (int id = 0; id < count(); ++id)
        all.append(word(id));
    return all;
}

int WordList::countBetween(int shortest, int longest) const
{
    int n = 0;
    for (int length = std::max(shortest, 0); length <= std::min(longest, LongestCounted); ++length)
        n += m_lengths[size_t(length)];
    return n;
}

bool WordList::serves(bool scrambled, bool onlyletters) const
{
    return shortfall(scrambled, onlyletters).isEmpty();
}

bool WordList::usable() const
{
    return m_error.isEmpty() && (serves(false, false) || serves(true, false));
}

QString WordList::shortfall(bool scrambled, bool onlyletters) const
{
    const auto lacks = [this](int shortest, int longest) {
        const int n = countBetween(shortest, longest);
        if (n >= MinimumWords)
            return QString();
        return m_name + QStringLiteral(" has ") + (n == 0 ? QStringLiteral("no") : QStringLiteral("only ") + number(n))
            + (n == 1 ? QStringLiteral(" word") : QStringLiteral(" words"))
            + QStringLiteral(" of %1 to %2 letters").arg(shortest).arg(longest);
    };
    QString missing = lacks(Board::shortestWord(scrambled), Board::longestWord(scrambled));
    if (missing.isEmpty() && onlyletters)
        missing = lacks(Board::OnlyLettersShortest, Board::OnlyLettersLongest);
    return missing;
}

QString WordList::skippedText() const
{
    if (m_skipped == 0)
        return QString();
    QString text = plural(m_skipped, QStringLiteral("line"), QStringLiteral("lines"))
        + QStringLiteral(" skipped for letters outside a to z");
    QStringList shown;
    for (const SkippedLine &line : m_skippedLines)
        shown << QStringLiteral("line %1 \"%2\"").arg(line.line).arg(line.text);
    text += QStringLiteral(" (") + shown.join(QStringLiteral(", "));
    if (m_skipped > m_skippedLines.size())
        text += QStringLiteral(", ...");
    return text + ')';
}

QString WordList::summary() const
{
    QString text = m_name + QStringLiteral(": ") + plural(count(), QStringLiteral("word"), QStringLiteral("words"));
    text += QStringLiteral(", %1 of %2 to %3 letters, %4 of %5 to %6 letters")
                .arg(number(countBetween(Board::StraightShortest, Board::StraightLongest)))
                .arg(Board::StraightShortest)
                .arg(Board::StraightLongest)
                .arg(number(countBetween(Board::ScrambledShortest, Board::ScrambledLongest)))
                .arg(Board::ScrambledShortest)
                .arg(Board::ScrambledLongest);
    if (m_duplicates > 0)
        text += QStringLiteral("; ") + plural(m_duplicates, QStringLiteral("duplicate"), QStringLiteral("duplicates"))
            + QStringLiteral(" dropped");
    if (m_skipped > 0)
        text += QStringLiteral("; ") + skippedText();
    return text + '.';
}

QString WordList::refusal() const
{
    if (!m_error.isEmpty())
        return m_error;
    if (usable())
        return QString();
    return QStringLiteral("The word list %1 cannot be used: a game needs at least %2 words of %3 to %4 "
                          "letters or %2 of %5 to %6 letters. %7")
        .arg(m_path.isEmpty() ? m_name : m_path)
        .arg(MinimumWords)
        .arg(Board::StraightShortest)
        .arg(Board::StraightLongest)
        .arg(Board::ScrambledShortest)
        .arg(Board::ScrambledLongest)
        .arg(summary());
}
