// The cost of adding one line to the chat and of a seat changing its colour,
// with an empty history and with 20,000 lines already shown, measured in the
// same run. A long evening's chat must stay as quick as a fresh one, so the
// ratios should stay near 1.
#include "social/chatpane.h"
#include "social/colourtext.h"
#include "social/richtextview.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QMainWindow>

#include <cstdio>
#include <map>
#include <memory>

namespace {

constexpr int Seats = 6;
const quint32 seatColours[Seats] = {0x0000FF, 0x008000, 0xFF0000, 0x800080, 0x808000, 0x000080};

// A relayed chat line of an ordinary length, with a link and a smiley.
QString lineFor(int n)
{
    return QStringLiteral("%1+player%1 chats: nice one, see www.example%2.com for more :)#12 ok")
        .arg(n % Seats + 1)
        .arg(n);
}

void addLine(ChatPane &pane, int n)
{
    pane.addlinetochat(lineFor(n), seatColours[n % Seats]);
}

// A shown main window with the chat pane, as in the game.
struct ShownChat
{
    QMainWindow window;
    ChatPane *pane = new ChatPane(&window);

    explicit ShownChat(int history)
    {
        window.setCentralWidget(pane);
        window.show();
        for (int n = 0; n < history; ++n)
            addLine(*pane, n);
        QApplication::processEvents();
    }
};

// One line per iteration, the event loop turning once after it so that the
// view also paints, as it does between two ticks of the dispatch timer. The
// empty chat is cleared, outside the timing, every 50 lines.
void BM_AddLine(benchmark::State &state)
{
    const int history = int(state.range(0));
    ShownChat chat(history);
    int n = history;
    for (auto _ : state) {
        addLine(*chat.pane, n++);
        QApplication::processEvents();
        if (history == 0 && n % 50 == 0) {
            state.PauseTiming();
            chat.pane->ClearMainChat1Click();
            state.ResumeTiming();
        }
    }
    state.counters["items"] = chat.pane->mainchat()->itemCount();
}
BENCHMARK(BM_AddLine)->Arg(0)->Arg(20000)->Unit(benchmark::kMicrosecond)->Iterations(2000);

// A seat that really changes its colour shows all of its earlier lines in
// the new one; with a long history that must cost what it costs in a short
// one.
void BM_RecolourSeat(benchmark::State &state)
{
    ShownChat chat(int(state.range(0)));
    int n = 0;
    for (auto _ : state) {
        chat.pane->addlinetochat(QStringLiteral("1+player1 chats: new colour"), n++ % 2 ? 0x0000FF : 0x00FF00);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_RecolourSeat)->Arg(0)->Arg(20000)->Unit(benchmark::kMicrosecond)->Iterations(20);

// Prints the usual table, then the ratio of the full chat to the empty one.
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            times[run.benchmark_name()] = {run.GetAdjustedRealTime(), run.GetAdjustedCPUTime()}; // microseconds
    }
    void Finalize() override
    {
        ConsoleReporter::Finalize();
        ratio("adding a line", "BM_AddLine/0/iterations:2000", "BM_AddLine/20000/iterations:2000", false);
        ratio("a seat's colour change", "BM_RecolourSeat/0/iterations:20", "BM_RecolourSeat/20000/iterations:20",
              true);
    }
    // figure: the ratio is one of the figures the benchmark script gathers.
    void ratio(const char *what, const std::string &emptyName, const std::string &fullName, bool figure)
    {
        const auto empty = times.find(emptyName);
        const auto full = times.find(fullName);
        if (empty == times.end() || full == times.end())
            return;
        std::printf("%s, 20,000 lines of history / empty chat: real time %.2f (%.2f ms), cpu time %.2f\n", what,
                    full->second.first / empty->second.first, full->second.first / 1000.0,
                    full->second.second / empty->second.second);
        if (figure)
            std::printf("figure | %s with 20,000 chat lines | %.2f ms (empty chat %.2f ms) = %.2fx\n", what,
                        full->second.first / 1000.0, empty->second.first / 1000.0,
                        full->second.first / empty->second.first);
    }
    std::map<std::string, std::pair<double, double>> times; // real and cpu time
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
