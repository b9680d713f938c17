// Reading a word list of about 2 MB (some 300,000 words), beside the cost of
// only cutting the same text into lines, measured in the same run; the
// ratios and the time for one whole list are printed at the end.

#include "server/wordlist.h"

#include <QByteArray>
#include <QList>

#include "medianreporter.h"

#include <cstdio>
#include <map>
#include <string>

namespace {

// Distinct words of 4 to 7 letters, every tenth in capitals, every hundredth
// given twice; with `foreign`, every fiftieth line holds a letter beyond
// ASCII and is skipped.
QByteArray listText(bool foreign)
{
    QByteArray text;
    for (int n = 0; text.size() < 2 * 1024 * 1024; ++n) {
        QByteArray word = QByteArray::number(n, 12);
        for (char &c : word)
            c = c >= 'a' ? char(c - 'a' + 'k') : char(c - '0' + 'a');
        const int length = 4 + n % 4;
        if (word.size() < length)
            word.prepend(QByteArray(length - word.size(), 'a'));
        if (n % 10 == 0)
            word = word.toUpper();
        if (foreign && n % 50 == 0)
            word += "\xC3\xA9";
        text += word + '\n';
        if (n % 100 == 0)
            text += word.toLower() + '\n';
    }
    return text;
}

void BM_SplitIntoLines(benchmark::State &state)
{
    const QByteArray text = listText(false);
    for (auto _ : state) {
        const QList<QByteArray> lines = text.split('\n');
        benchmark::DoNotOptimize(lines.constData());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void read(benchmark::State &state, bool foreign)
{
    const QByteArray text = listText(foreign);
    for (auto _ : state) {
        const WordList list = WordList::fromText(text, QStringLiteral("bench.txt"));
        benchmark::DoNotOptimize(list.count());
    }
    state.SetBytesProcessed(state.iterations() * text.size());
}

void BM_ReadList(benchmark::State &state) { read(state, false); }
void BM_ReadListWithForeignLines(benchmark::State &state) { read(state, true); }

BENCHMARK(BM_SplitIntoLines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadList)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ReadListWithForeignLines)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, double> medians;
    if (const int status = runKeepingMedians(argc, argv, medians))
        return status;
    const auto baseline = medians.find("BM_SplitIntoLines");
    if (baseline == medians.end() || baseline->second <= 0)
        return 0;
    std::printf("\nBaseline: cutting a 2 MB list into lines takes %.1f ms.\n", baseline->second / 1e6);
    for (const auto &[name, ns] : medians) {
        if (name == baseline->first)
            continue;
        std::printf("%-30s %8.1f ms a 2 MB list   %5.1f x the cost of cutting it into lines\n", name.c_str(),
                    ns / 1e6, ns / baseline->second);
    }
    return 0;
}
