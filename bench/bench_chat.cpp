// Cost of one received chat line through the room window (record to sanitised HTML to
// its own block in the public chat view) when the view already holds N lines, hidden
// and shown. Flat as the page grows is what matters.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>

#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32/loop.h"
#include "win32/text.h"

namespace {

constexpr int kRoom = 88;

void SetUpSession() {
    static bool done = false;
    if (done) return;
    done = true;
    CCommKernel* k = CCommKernel::GetInstance();
    k->init(nullptr);
    CCommKernelData* d = k->m_pData;
    d->init();
    d->m_LocalUser.userId = 1001;
    // The source tree stands for the program folder: its skin has the room's layout.
    DuiLib::CPaintManagerUI::SetResourcePath(MIVORA_SOURCE_DIR L"/skin/MVChat/");
    std::wstring folder = MIVORA_SOURCE_DIR;
    for (wchar_t& c : folder)
        if (c == L'/') c = L'\\';
    // The module's folder is there already: what follows the source tree's path goes.
    std::wmemset(d->m_szAppPath, 0, kModulePathChars);
    folder.copy(d->m_szAppPath, kModulePathChars - 1);
    auto* room = new CRoomObj;
    room->roomId = kRoom;
    room->roomName = "bench";
    d->m_pRoomManager->AddRoom(room);
    for (int id : {7, 8}) {
        auto* u = new CUserObj;
        u->userId = id;
        u->alias = id == 7 ? "Bob" : "Carol";
        d->m_pUserManager->AddUser(u);
        room->AddUser(u);
    }
}

// A public line between two other members, with a little markup and `pictures`
// emoticon pictures (0 to 3).
struct Line {
    tag_CMDRoomChatMsg record;
    Line(int i, int pictures) {
        static const wchar_t* const kCodes[] = {L"[$3$]", L"[$5$]", L"[$8$]"};
        std::wstring faces;
        for (int k = 0; k < pictures && k < 3; ++k) faces += kCodes[k];
        std::memset(&record, 0, sizeof record);
        record.roomId = kRoom;
        record.senderId = 7;
        record.targetId = 8;
        const std::string text = winplat::WideToAnsi(
            L"<SPAN style=\"FONT-FAMILY: 宋体; COLOR: #000080; FONT-SIZE: 10pt\"><b>大家好，第" +
            std::to_wstring(i) + L"句</b> " + faces + L" 今天的节目很精彩！</SPAN>");
        std::memcpy(record.text, text.data(), text.size());
        record.textLen = static_cast<uint16_t>(text.size() + 1);
    }
};

void Run(benchmark::State& state, bool shown) {
    SetUpSession();
    const int existing = static_cast<int>(state.range(0));
    const int pictures = static_cast<int>(state.range(1));
    auto* room = new CWndRoom;
    room->Create(nullptr, L"room", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0, 0, 1000,
                 700);
    SetCurrentRoomWindow(room);
    room->InitRoom(kRoom);
    if (!room->m_pPubTextOut) {
        state.SkipWithError("the room has no public chat view");
        return;
    }
    if (shown) room->ShowWindow(true, false);
    Line line(0, pictures);
    for (int i = 0; i < existing; ++i) room->OnRoomChatMsg(&line.record, 0);
    winplat::PumpMessagesUntil([] { return false; }, 300);
    // A reader following the room: the shown view at the end of the page.
    if (shown) {
        room->m_pPubTextOut->ScrollToBottom();
        winplat::PumpMessagesUntil([] { return false; }, 50);
    }
    for (auto _ : state) {
        room->OnRoomChatMsg(&line.record, 0);
        // What the loop does between lines: layout, scrolling and painting.
        if (shown) winplat::PumpMessagesUntil([] { return false; }, 0);
    }
    state.counters["lines"] = static_cast<double>(room->m_pPubTextOut->GetBlockCount());
    state.SetItemsProcessed(state.iterations());
    ::DestroyWindow(room->GetHWND());
    winplat::PumpMessagesUntil([] { return false; }, 50);
}

void BM_ReceivedLineAtPageSize(benchmark::State& state) {
    Run(state, false);
}
void BM_ReceivedLineShownAtPageSize(benchmark::State& state) {
    Run(state, true);
}
// Arguments: lines already on the page, emoticon pictures in each line.
BENCHMARK(BM_ReceivedLineAtPageSize)
    ->ArgsProduct({{1000, 10000}, {0, 1, 3}})
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReceivedLineShownAtPageSize)
    ->ArgsProduct({{1000, 10000}, {0, 1, 3}})
    ->Iterations(200)
    ->Unit(benchmark::kMillisecond);

}  // namespace
