// Cost of one chat line written into the web-browser control when the page already
// holds N lines: it should stay flat as the page grows.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "fenlo/UIlib.h"
#include "win32/loop.h"

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

// The same on screen: the page shown in its window, laid out and painted as it grows.
class PageWindow : public DuiLib::CWindowWnd {
public:
    DuiLib::CPaintManagerUI pm;
    DuiLib::CWebBrowserUI* web = nullptr;
    LPCTSTR GetWindowClassName() const override { return L"UIBenchPage"; }
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override {
        if (uMsg == WM_CREATE) {
            pm.Init(m_hWnd);
            auto* root = new DuiLib::CVerticalLayoutUI;
            web = new DuiLib::CWebBrowserUI;
            root->Add(web);
            pm.AttachDialog(root);
            return 0;
        }
        LRESULT res = 0;
        if (pm.MessageHandler(uMsg, wParam, lParam, res)) return res;
        return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
    }
};

void BM_WriteBlockShownAtPageSize(benchmark::State& state) {
    const int existing = static_cast<int>(state.range(0));
    PageWindow wnd;
    wnd.Create(nullptr, L"page", WS_POPUP | WS_VISIBLE, 0, 0, 0, 600, 400);
    wnd.web->InitDocument();
    for (int i = 0; i < existing; ++i) wnd.web->WriteBlock(Line(i).c_str(), 0);
    // Shown, laid out and painted once before the timing starts.
    ::InvalidateRect(wnd.GetHWND(), nullptr, FALSE);
    winplat::PumpMessagesUntil([] { return false; }, 300);
    int i = existing;
    for (auto _ : state) {
        wnd.web->WriteBlock(Line(i++).c_str(), 0);
        // What the loop does between lines: layout, scrolling and painting.
        winplat::PumpMessagesUntil([] { return false; }, 0);
    }
    state.counters["lines"] = static_cast<double>(wnd.web->GetBlockCount());
    state.SetItemsProcessed(state.iterations());
    ::DestroyWindow(wnd.GetHWND());
}
BENCHMARK(BM_WriteBlockShownAtPageSize)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

}  // namespace
