// libFuzzer entry for the window layer: the lobby window and a joined room window,
// offscreen, with members listed, microphones held and a private video window open.
// Each input is a sequence of frames, each (connection, main command, sub command,
// payload), handed to the kernel's dispatch as its receive loop hands them over;
// the lobby relays what it gets to the room window and the loop runs the handlers.
// Before each input the session is put back: the room window, its members and
// microphones.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Answers.h"
#include "FuzzGui.h"
#include "FuzzInput.h"
#include "ServerSet.h"
#include "app/EntryWindows.h"
#include "program/ProgramWiring.h"
#include "catalogs/GiftManager.h"
#include "kernel/CommKernel.h"
#include "kernel/TMLSocket.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserManager.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32/loop.h"
#include "win32/text.h"
#include "win32gui/menu.h"

namespace {

namespace answers = testsupport::answers;
using testsupport::Bytes;

constexpr int kMe = 1001;
constexpr int kRoom = 88;
constexpr int kMembers[] = {501, 502, 503};
constexpr size_t kMaxFrames = 32;
constexpr size_t kMaxPayload = 4096;

// The session could not be set up: the run stops, saying why.
[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "lobby_room session: %s\n", what);
    std::abort();
}

void PumpPending() {
    MSG msg;
    for (int i = 0; i < 10000 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
        if (msg.message == WM_QUIT) continue;  // the session outlives a quit request
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

int AnswerBox(LPCWSTR, LPCWSTR, UINT) {
    return IDOK;
}

// A handler may open a modal window (a skin message box, a dialog); the run answers
// it by closing it. Handles are never reused and grow, so the windows opened during
// the current input are the live ones above the mark taken before it.
uintptr_t g_mark = 0;
bool g_delivering = false;
constexpr uintptr_t kHandleStep = 4;
constexpr uintptr_t kHandlesScanned = 4096;

void MarkHandles() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = L"FuzzHandleProbe";
        return RegisterClassW(&wc) != 0;
    }();
    if (!registered) Fail("no probe class");
    HWND probe = CreateWindowExW(0, L"FuzzHandleProbe", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 nullptr, nullptr);
    if (!probe) Fail("no probe window");
    g_mark = reinterpret_cast<uintptr_t>(probe);
    DestroyWindow(probe);
}

bool OwnersDisabled() {
    CWndLobby* lobby = CWndLobby::Current();
    CWndRoom* room = GetRegisteredRoomWindow();
    return (lobby && !IsWindowEnabled(lobby->GetHWND())) ||
           (room && !IsWindowEnabled(room->GetHWND()));
}

void CALLBACK CloseModal(HWND, UINT, UINT_PTR, DWORD) {
    // A modal window disables its owner; windows that merely opened are left alone.
    if (!g_delivering || !OwnersDisabled()) return;
    HWND newest = nullptr;
    for (uintptr_t h = g_mark + kHandleStep; h < g_mark + kHandleStep * kHandlesScanned;
         h += kHandleStep) {
        HWND hwnd = reinterpret_cast<HWND>(h);
        if (IsWindow(hwnd) && !(GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) &&
            IsWindowVisible(hwnd) && IsWindowEnabled(hwnd))
            newest = hwnd;
    }
    if (newest) PostMessageW(newest, WM_CLOSE, 0, 0);
}

UINT_PTR AnswerMenu(HMENU) {
    return 0;
}

// Programs a handler starts (a browser for a link) are a script that does nothing.
void QuietPrograms() {
    char folder[] = "/tmp/mivora-fuzz-XXXXXX";
    if (!mkdtemp(folder)) Fail("no temporary folder");
    static std::string made;
    made = folder;
    std::atexit([] { std::filesystem::remove_all(made); });
    const std::string opener = made + "/xdg-open";
    std::ofstream(opener) << "#!/bin/sh\nexit 0\n";
    if (chmod(opener.c_str(), 0755) != 0) Fail("no stand-in browser");
    const char* path = std::getenv("PATH");
    setenv("PATH", (std::string(folder) + ":" + (path ? path : "")).c_str(), 1);
}

answers::UserEntry Member(int id) {
    answers::UserEntry u;
    u.userId = id;
    u.roomId = kRoom;
    u.alias = "m" + std::to_string(id);
    u.levels[0] = 5;
    return u;
}

class Session {
public:
    Session() : m_servers(LongLived()) {
        QuietPrograms();
        m_k = CCommKernel::GetInstance();
        m_k->init(nullptr);
        m_k->m_pData->init();
        CCommKernelData* d = m_k->m_pData;
        d->m_LocalUser.userId = kMe;
        d->m_LocalUser.alias = "me";
        d->m_LocalUser.password = "secret";
        d->m_LocalUser.levels[0] = 5;
        d->m_pUserManager->AddUser(&d->m_LocalUser);
        // Gifts the seeds give, so that gift notices and lucky wins reach the windows.
        for (int id : {1, 2}) {
            auto* item = new tag_GiftItemInfo{};
            item->giftId = id;
            item->giftName = id == 1 ? L"rose" : L"lucky";
            item->price = id == 1 ? 100 : 10000000;
            auto& slot = d->m_pGiftManager->gifts[id];
            delete slot;
            slot = item;
        }
        // The stand-ins' host is the session's lobby server, as after a real logon: the
        // lobby joins rooms only on gates of a known host.
        std::memset(d->m_pLobbySvrTable, 0, sizeof(tag_ServerAddr) * kServerTableSize);
        std::strcpy(d->m_pLobbySvrTable[0].szHost, "127.0.0.1");
        winplat::SetMessageBoxHook(AnswerBox);
        winplat::SetPopupMenuHook(AnswerMenu);
        if (!SetTimer(nullptr, 0, 10, CloseModal)) Fail("no timer");
    }

    // The lobby, the room window and its members as the run's first input found them.
    void Restore() {
        CWndLobby* lobby = Lobby();
        if (!GetRegisteredRoomWindow() || !m_k->IsConnected(SERVER_TYPE_ROOM)) {
            lobby->LeaveCurrentRoom();
            PumpPending();
            if (!Join(lobby, 3000)) {
                // A join under way (its wait window) or the end of the connection before
                // stands in the way: a new lobby.
                DestroyWindow(lobby->GetHWND());
                PumpPending();
                if (!Join(Lobby(), 20000)) Fail("the lobby could not join the room");
            }
        }
        CRoomObj* room = m_k->m_pData->m_pRoomManager->FindRoom(kRoom);
        bool listed = room && room->FindUser(kMe);
        for (int id : kMembers) listed = listed && room->FindUser(id);
        if (!listed) List();
        // Two members on the public microphones (their panes), the third on a VIP one
        // with his private window open, and a waiting list.
        constexpr uint8_t kPublicMic = 0x1, kVipMic = 0x2, kNoIndex = 255;
        Play({answers::PublicMicsAnswer({{0, 1, kMembers[0], 3}, {1, 1, kMembers[1], 3}}),
              answers::MicStateAnswer(kRoom, kMembers[0], kMembers[0], kPublicMic, 0),
              answers::MicStateAnswer(kRoom, kMembers[1], kMembers[1], kPublicMic, 1),
              answers::MicStateAnswer(kRoom, kMembers[2], kMembers[2], kVipMic, kNoIndex),
              answers::ConnMediaRespAnswer(kRoom, kMe, kMembers[2]),
              answers::WaitMicListAnswer({kMembers[2], kMe})});
        // What the stand-in recorded is not looked at.
        m_servers.room().ClearReceived();
        MarkHandles();
    }

    // Hands one frame to the dispatch on the connection of `type`, then runs what it
    // posted. The receive loop hands over a copy of exactly the frame's size; so do
    // we, so that a read past it is seen.
    void Deliver(int type, const Bytes& frame) {
        Bytes exact(frame);
        g_delivering = true;
        m_k->OnSocketRead(exact.data(), static_cast<int>(exact.size()), &m_k->m_pSockets[type - 1]);
        PumpPending();
        g_delivering = false;
    }

private:
    static testsupport::TcpStandIn::Options LongLived() {
        testsupport::TcpStandIn::Options o;
        o.lifetimeMs = 7 * 24 * 3600 * 1000;
        return o;
    }

    void Play(const std::vector<Bytes>& frames) {
        for (const Bytes& f : frames) Deliver(SERVER_TYPE_ROOM, f);
    }

    // The lobby joins over a fresh connection to the room stand-in; the answers then
    // come in as the receive loop hands them over.
    CWndLobby* Lobby() {
        if (!CWndLobby::Current()) {
            InstallProgramWiring();
            if (!CreateLobbyWindow(L"lobby") || !CWndLobby::Current()) Fail("no lobby window");
        }
        CWndLobby* lobby = CWndLobby::Current();
        for (int t = 1; t <= 3; ++t)
            m_k->SetNotifyWnd(static_cast<_eServerType>(t), lobby->GetHWND());
        return lobby;
    }

    // False when the request did not go out within `waitMs` or its answer opened no
    // room window.
    bool Join(CWndLobby* lobby, int waitMs) {
        const std::wstring gate =
            winplat::Utf8ToWide(m_servers.Address(testsupport::ServerSet::kRoom));
        // The request goes out on the open connection, or on a new one after its
        // hello frame.
        constexpr size_t kJoinRequest = 115;
        m_servers.room().ClearReceived();
        lobby->JoinRoom(kRoom, 1, gate.c_str());
        if (!winplat::PumpMessagesUntil(
                [&] {
                    return m_servers.room().ReceivedCount() >= kJoinRequest &&
                           m_k->IsConnected(SERVER_TYPE_ROOM);
                },
                waitMs))
            return false;
        answers::JoinRoom join;
        join.userId = kMe;
        join.roomId = kRoom;
        join.roomName = "room";
        Play({answers::JoinRoomAnswer(join)});
        if (!GetRegisteredRoomWindow()) return false;
        List();
        return true;
    }

    void List() {
        std::vector<answers::UserEntry> all{Member(kMe)};
        for (int id : kMembers) all.push_back(Member(id));
        Play({answers::UserListAnswer(all), answers::UserListEndAnswer()});
    }

    testsupport::ServerSet m_servers;
    CCommKernel* m_k = nullptr;
};

// Where the frame's main command comes from: mostly the room's and the logon's,
// sometimes any.
uint16_t MainCommand(fuzzing::FuzzInput& in) {
    const uint8_t pick = in.U8();
    if (pick < 160) return answers::kRoomMain;
    if (pick < 240) return answers::kLogonMain;
    return in.U16();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::FuzzGuiOnce();
    // Lives for the whole run: its windows still stand when the program ends.
    static Session* session = new Session;
    session->Restore();
    fuzzing::FuzzInput in(data, size);
    for (size_t n = 0; n < kMaxFrames && !in.empty(); ++n) {
        const int type = 1 + in.U8() % 3;
        const uint16_t main = MainCommand(in);
        const uint16_t sub = in.U8();
        const std::vector<uint8_t> payload = in.Chunk(kMaxPayload);
        session->Deliver(type, answers::Frame(main, sub, Bytes(payload.begin(), payload.end())));
    }
    return 0;
}
