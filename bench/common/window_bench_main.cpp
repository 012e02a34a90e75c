// The main of the benchmarks that open windows: offscreen Qt unless a platform was
// chosen, the window layer installed, and the skin folder when the benchmark has one.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "win32gui/user.h"
#ifdef MIVORA_SKIN_DIR
#include "fenlo/UIlib.h"
#endif

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    winplat::InstallGui();
#ifdef MIVORA_SKIN_DIR
    DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SKIN_DIR);
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
