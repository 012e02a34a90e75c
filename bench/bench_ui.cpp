// Cost of one chat line written into the web-browser control when the page already
// holds N lines: it should stay flat as the page grows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "fenlo/UIlib.h"

namespace {

std::wstring Line(int i) {
    return L"<DIV style=\"FONT-SIZE: 11pt\" class=Default_FontColor><SPAN>[12:" +
           std::to_wstring(i % 60) + L"]</SPAN> [<A href=\"orinid:" + std::to_wstring(1000 + i) +
           L"\">用户" + std::to_wstring(i) + L"</A>] 说：大家好，今天的节目很精彩！</DIV>";
}

void BM_WriteBlockAtPageSize(benchmark::State& state) {
    const int existing = static_cast<int>(state.range(0));
    DuiLib::CWebBrowserUI web;
    web.SetPos(RECT{0, 0, 600, 400});
    web.InitDocument();
    for (int i = 0; i < existing; ++i) web.WriteBlock(Line(i).c_str(), 0);
    int i = existing;
    for (auto _ : state) {
        web.WriteBlock(Line(i++).c_str(), 0);
    }
    state.counters["lines"] = static_cast<double>(web.GetBlockCount());
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteBlockAtPageSize)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(5000)
    ->Arg(10000)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    winplat::InstallGui();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
