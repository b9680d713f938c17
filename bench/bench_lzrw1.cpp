// Throughput of the LZRW1/KH block coder beside LZ4 and zlib at level 1,
// on the same inputs in one run: a 1 MiB English text, the game's word list
// (when the source tree has it) and a 1 MiB tally-like table. LZHUF and the
// whole component in stream mode are measured too, for reference.
//
// The LZRW1/KH rows code 32 KiB blocks one after another, as the component
// does; LZ4 and zlib code the whole input in one call. After the usual
// table, a summary prints each codec's size ratio and its speed relative
// to LZ4 on the same input, each the fastest of five repetitions.

#include "tally/tlzr.h"
#include "tally/tlzrw1.h"

#include <benchmark/benchmark.h>
#include <lz4.h>
#include <zlib.h>

#include <QByteArray>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <functional>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int InputSize = 1 << 20;
using Bytes = std::vector<uint8_t>;

// --- inputs -----------------------------------------------------------------

std::vector<QByteArray> dictionaryWords()
{
    std::vector<QByteArray> words;
    QFile file(QStringLiteral("/usr/share/dict/words"));
    if (file.open(QIODevice::ReadOnly)) {
        for (const QByteArray &line : file.readAll().split('\n')) {
            if (!line.isEmpty() && !line.contains('\''))
                words.push_back(line);
        }
    }
    if (words.empty()) {
        for (const char *w : {"letter", "board", "round", "player", "winner", "search", "hidden"})
            words.emplace_back(w);
    }
    return words;
}

// Sentences of English words: common words often, rarer ones seldom
// (a rank drawn with a roughly 1/rank law), lines wrapped at 72 columns.
Bytes englishText()
{
    static const char *const common[] = {
        "the", "of", "and", "to", "a", "in", "is", "it", "you", "that", "he", "was", "for", "on",
        "are", "with", "as", "I", "his", "they", "be", "at", "one", "have", "this", "from", "or",
        "had", "by", "word", "but", "what", "some", "we", "can", "out", "other", "were", "all",
        "there", "when", "up", "use", "your", "how", "said", "an", "each", "she", "which"};
    const std::vector<QByteArray> rare = dictionaryWords();
    QRandomGenerator random(2024);
    QByteArray text;
    int column = 0;
    bool sentenceStart = true;
    while (text.size() < InputSize) {
        QByteArray word;
        const double u = random.generateDouble();
        if (u < 0.55) {
            word = common[int(std::size(common) * u * u / 0.3025)];
        } else {
            const int rank = int(std::pow(double(rare.size()), random.generateDouble())) - 1;
            word = rare[size_t(rank * 7919L % long(rare.size()))];
        }
        if (sentenceStart && !word.isEmpty())
            word[0] = char(std::toupper(word[0]));
        sentenceStart = random.bounded(12) == 0;
        word += sentenceStart ? ". " : random.bounded(9) == 0 ? ", " : " ";
        if (column + word.size() > 72) {
            text += '\n';
            column = 0;
        }
        text += word;
        column += int(word.size());
    }
    return Bytes(text.begin(), text.begin() + InputSize);
}

// Rows of a name and counters separated by tabs and blanks, CR LF ends.
Bytes tallyTable()
{
    const std::vector<QByteArray> words = dictionaryWords();
    QRandomGenerator random(7);
    QByteArray table;
    while (table.size() < InputSize) {
        table += words[random.bounded(int(words.size()))];
        table += QByteArray::number(random.bounded(100));
        for (int column = 1; column <= 8; ++column) {
            table += column % 4 == 0 ? "  " : "\t";
            table += QByteArray::number(random.bounded(column < 5 ? 500 : 20));
        }
        table += "\r\n";
    }
    return Bytes(table.begin(), table.begin() + InputSize);
}

Bytes wordList()
{
    QFile file(QStringLiteral(ZARVEX_SOURCE_DIR "/resources/dictionary.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray all = file.readAll();
    return Bytes(all.begin(), all.end());
}

// --- codecs: compress into a buffer, answer the size; restore from it -------

size_t lzrw1Compress(TLZR &lzr, const Bytes &in, Bytes &out)
{
    size_t pos = 0;
    size_t at = 0;
    int n;
    do {
        n = int(std::min<size_t>(TLZR::ChunkSize, in.size() - at));
        const int length = lzr.compress(in.data() + at, n, out.data() + pos + 2);
        out[pos] = uint8_t(length);
        out[pos + 1] = uint8_t(length >> 8);
        pos += 2 + size_t(length);
        at += size_t(n);
    } while (n == TLZR::ChunkSize);
    return pos;
}

void lzrw1Decompress(const Bytes &in, size_t size, Bytes &out)
{
    size_t pos = 0;
    size_t at = 0;
    int n;
    do {
        const int length = in[pos] | in[pos + 1] << 8;
        n = TLZR::decompress(in.data() + pos + 2, length, out.data() + at);
        pos += 2 + size_t(length);
        at += size_t(n);
    } while (n == TLZR::ChunkSize && pos < size);
}

struct Codec
{
    const char *name;
    std::function<size_t(const Bytes &in, Bytes &out)> compress;
    std::function<void(const Bytes &in, size_t size, Bytes &out)> decompress;
};

std::vector<Codec> codecs()
{
    static TLZR lzr;
    const auto stream = [](Tlzrw1::TCompressMode mode) {
        return [mode](const Bytes &in, Bytes &out) {
            Tlzrw1 lzrw1;
            lzrw1.UseStream = true;
            lzrw1.CompressMode = mode;
            lzrw1.setInputData(QByteArray::fromRawData(reinterpret_cast<const char *>(in.data()), int(in.size())));
            lzrw1.Compress();
            const QByteArray result = lzrw1.outputData();
            std::copy(result.begin(), result.end(), out.begin());
            return size_t(result.size());
        };
    };
    const auto streamRestore = [](const Bytes &in, size_t size, Bytes &out) {
        Tlzrw1 lzrw1;
        lzrw1.UseStream = true;
        lzrw1.setInputData(QByteArray::fromRawData(reinterpret_cast<const char *>(in.data()), int(size)));
        lzrw1.Decompress();
        const QByteArray result = lzrw1.outputData();
        std::copy(result.begin(), result.end(), out.begin());
    };
    return {
        {"LZRW1-KH", [](const Bytes &in, Bytes &out) { return lzrw1Compress(lzr, in, out); }, lzrw1Decompress},
        {"LZ4",
         [](const Bytes &in, Bytes &out) {
             return size_t(LZ4_compress_default(reinterpret_cast<const char *>(in.data()),
                                                reinterpret_cast<char *>(out.data()), int(in.size()),
                                                int(out.size())));
         },
         [](const Bytes &in, size_t size, Bytes &out) {
             if (LZ4_decompress_safe(reinterpret_cast<const char *>(in.data()), reinterpret_cast<char *>(out.data()),
                                     int(size), int(out.size())) < 0)
                 throw std::runtime_error("LZ4 failed");
         }},
        {"zlib-1",
         [](const Bytes &in, Bytes &out) {
             uLongf length = uLongf(out.size());
             if (compress2(out.data(), &length, in.data(), uLong(in.size()), 1) != Z_OK)
                 throw std::runtime_error("zlib failed");
             return size_t(length);
         },
         [](const Bytes &in, size_t size, Bytes &out) {
             uLongf length = uLongf(out.size());
             if (uncompress(out.data(), &length, in.data(), uLong(size)) != Z_OK)
                 throw std::runtime_error("zlib failed");
         }},
        {"Tlzrw1-fast", stream(Tlzrw1::Fast), streamRestore},
        {"Tlzrw1-good", stream(Tlzrw1::Good), streamRestore},
    };
}

// --- benchmarks and the summary ----------------------------------------------

struct Figures
{
    double ratio = 0;
    double compressRate = 0;
    double decompressRate = 0;
};
std::map<std::string, std::map<std::string, Figures>> summary; // input, codec

void registerInput(const std::string &input, const Bytes &data)
{
    for (const Codec &codec : codecs()) {
        const std::string name = std::string(codec.name) + "/" + input;
        auto *compress = benchmark::RegisterBenchmark((name + "/compress").c_str(), [=](benchmark::State &state) {
            Bytes out(data.size() + data.size() / 8 + 65536);
            size_t size = 0;
            for (auto _ : state) {
                size = codec.compress(data, out);
                benchmark::DoNotOptimize(out.data());
            }
            state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
            state.counters["ratio"] = double(size) / double(data.size());
            summary[input][codec.name].ratio = state.counters["ratio"];
        });
        auto *decompress = benchmark::RegisterBenchmark((name + "/decompress").c_str(), [=](benchmark::State &state) {
            Bytes packed(data.size() + data.size() / 8 + 65536);
            const size_t size = codec.compress(data, packed);
            Bytes out(data.size() + TLZR::ChunkSize);
            codec.decompress(packed, size, out);
            if (!std::equal(data.begin(), data.end(), out.begin())) {
                state.SkipWithError("restored data differs");
                return;
            }
            for (auto _ : state) {
                codec.decompress(packed, size, out);
                benchmark::DoNotOptimize(out.data());
            }
            state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(data.size()));
        });
        // Other work on the machine only ever slows a run down, so the
        // summary takes the fastest of several.
        for (auto *b : {compress, decompress}) {
            b->Repetitions(5)->MinTime(0.2)->DisplayAggregatesOnly(true)->ComputeStatistics(
                "max", [](const std::vector<double> &v) { return *std::max_element(v.begin(), v.end()); });
        }
    }
}

class SummaryReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            // Of repetitions, the highest rate stands for them all.
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "max")
                continue;
            // name: codec/input/direction, and a suffix for an aggregate
            const std::string &name = run.run_name.function_name;
            const size_t a = name.find('/');
            const size_t b = name.rfind('/');
            const auto rate = run.counters.find("bytes_per_second");
            if (a == b || rate == run.counters.end())
                continue;
            Figures &f = summary[name.substr(a + 1, b - a - 1)][name.substr(0, a)];
            (name.compare(b + 1, std::string::npos, "compress") == 0 ? f.compressRate : f.decompressRate) =
                rate->second.value;
        }
    }

    void Finalize() override
    {
        ConsoleReporter::Finalize();
        for (const auto &[input, byCodec] : summary) {
            const auto lz4 = byCodec.find("LZ4");
            if (lz4 == byCodec.end() || lz4->second.compressRate == 0 || lz4->second.decompressRate == 0)
                continue;
            std::printf("\n%s: size ratio, and speed relative to LZ4 (compress, decompress)\n", input.c_str());
            for (const auto &[codec, f] : byCodec) {
                std::printf("  %-12s %6.3f   %6.2fx  %6.2fx   (%7.1f / %7.1f MB/s)\n", codec.c_str(), f.ratio,
                            f.compressRate / lz4->second.compressRate,
                            f.decompressRate / lz4->second.decompressRate, f.compressRate / 1e6,
                            f.decompressRate / 1e6);
            }
        }
    }
};

} // namespace

int main(int argc, char **argv)
{
    registerInput("english", englishText());
    registerInput("tally", tallyTable());
    const Bytes words = wordList();
    if (words.empty())
        std::printf("(resources/dictionary.txt not found: the word list is left out)\n");
    else
        registerInput("wordlist", words);

    benchmark::Initialize(&argc, argv);
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
