// Boards built per second for each game type, beside the cost of drawing 90
// random letters (the fill of a board alone), measured in the same run; the
// ratios are printed at the end.

#include "server/board.h"
#include "server/dictionary.h"
#include "server/random.h"

#include "medianreporter.h"

#include <array>
#include <cstdio>
#include <map>
#include <string>

namespace {

void BM_NinetyRandomLetters(benchmark::State &state)
{
    Random::seed(1);
    std::array<int, 90> tiles{};
    for (auto _ : state) {
        for (int &tile : tiles)
            tile = Random::uniform(26) + 1;
        benchmark::DoNotOptimize(tiles.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations());
}

void buildBoards(benchmark::State &state, bool scrambled, bool onlyletters)
{
    Dictionary::count();   // load the list outside the timing
    Random::seed(1);
    Board board;
    board.setScrambled(scrambled);
    board.setOnlyLetters(onlyletters);
    for (auto _ : state) {
        board.createboard();
        benchmark::DoNotOptimize(board.boardText().constData());
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_StraightBoard(benchmark::State &state) { buildBoards(state, false, false); }
void BM_StraightBoardOnlyLetters(benchmark::State &state) { buildBoards(state, false, true); }
void BM_ScrambledBoard(benchmark::State &state) { buildBoards(state, true, false); }
void BM_ScrambledBoardOnlyLetters(benchmark::State &state) { buildBoards(state, true, true); }

// Repeated, and compared by their medians, so that a busy machine skews the
// ratios less.
BENCHMARK(BM_NinetyRandomLetters)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StraightBoard)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_StraightBoardOnlyLetters)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScrambledBoard)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ScrambledBoardOnlyLetters)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char **argv)
{
    std::map<std::string, double> medians;
    if (const int status = runKeepingMedians(argc, argv, medians))
        return status;
    const auto baseline = medians.find("BM_NinetyRandomLetters");
    if (baseline == medians.end() || baseline->second <= 0)
        return 0;
    std::printf("\nBaseline: 90 random letters take %.0f ns.\n", baseline->second);
    for (const auto &[name, ns] : medians) {
        if (name == baseline->first)
            continue;
        std::printf("%-30s %10.0f boards/s   %6.1f x the cost of 90 random letters\n",
                    name.c_str(), 1e9 / ns, ns / baseline->second);
    }
    return 0;
}
