// The whole logon: the program entry run in-process on a laid-out program folder,
// against the local test world on free ports. A script drives the windows as a
// person would: the logon form, the lobby with its tree and group page, a room link
// up to the join request, and the tray's exit.
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

#include "globalconf/GlobalConfCodec.h"
#include "LocalWorld.h"
#include "app/ClientApp.h"
#include "app/WinMain.h"
#include "app_fixture.h"
#include "kernel/CommKernel.h"
#include "lobby/LobbyPrompts.h"
#include "controls/RoomGroupTreeUI.h"
#include "lobby/WndLobby.h"
#include "lobby/WndLogon.h"
#include "model/RoomGroupManager.h"
#include "services/HttpGet.h"
#include "session/CommKernelData.h"
#include "win32gui/shell.h"

namespace fs = std::filesystem;
using namespace DuiLib;

namespace {

class WholeLogonTest : public AppTest {};

// The script: one step per tick of a thread timer, each waiting for what it needs.
struct Script {
    std::vector<std::function<bool()>> steps;  // true: done, go on
    size_t next = 0;
    std::string failure;
};
Script* g_script = nullptr;

void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD) {
    if (!g_script || g_script->next >= g_script->steps.size()) {
        KillTimer(nullptr, id);
        return;
    }
    if (g_script->steps[g_script->next]()) ++g_script->next;
}

void** Table() {
    return CCommKernel::GetInstance()->m_pWndTable;
}

void ClickAtControl(HWND hwnd, CControlUI* c) {
    RECT rc = c->GetPos();
    POINT pt{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    PostMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    PostMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
}

TEST_F(WholeLogonTest, LogsOnIntoTheLobbyJoinsAndQuitsFromTheTray) {
    std::vector<std::string> worldLog;
    std::mutex logLock;
    testsupport::LocalWorld::Options options;
    options.log = [&](const std::string& line) {
        std::lock_guard<std::mutex> g(logLock);
        worldLog.push_back(line);
    };
    testsupport::LocalWorld world(options);
    ASSERT_TRUE(world.Start());
    auto seen = [&](const std::string& part) {
        std::lock_guard<std::mutex> g(logLock);
        for (const std::string& l : worldLog)
            if (l.find(part) != std::string::npos) return true;
        return false;
    };

    TempDir program;
    CopyProgramFolder(program);
    // The folder's configuration, with the world's free ports in place of the fixed ones.
    std::ifstream in(std::string(MIVORA_SOURCE_DIR) + "/tools/localworld/globalconf.txt");
    std::stringstream text;
    text << in.rdbuf();
    ASSERT_TRUE(
        globalconf::WriteFile(winplat::ToWindowsPath(program.native()) + L"\\globalconf.ini",
                              world.WithOwnPorts(text.str())));
    UseProgramFolder(program);
    SetNetworkTestUrl(world.BaseUrl().append("nettest.html").c_str());
    SetUpdateBaseUrl(world.BaseUrl().c_str());
    std::vector<std::wstring> boxes;
    SetLobbyMessageHook([&](HWND, const std::wstring& t) { boxes.push_back(t); });

    CWndLogon* logon = nullptr;
    CWndLobby* lobby = nullptr;
    bool pageRowClicked = false;
    Script script;
    script.steps = {
        // The logon window: its frame and the check.
        [&] {
            logon = static_cast<CWndLogon*>(Table()[0]);
            if (!logon) return false;
            RECT rc;
            GetWindowRect(logon->GetHWND(), &rc);
            wchar_t cls[64] = {};
            GetClassNameW(logon->GetHWND(), cls, 64);
            if (std::wstring(cls) != L"OrinLogonFrame" || rc.right - rc.left != 350 ||
                rc.bottom - rc.top != 250)
                script.failure = "logon window class or size";
            return true;
        },
        [&] {
            CPaintManagerUI& pm = logon->GetPaintManager();
            if (!pm.FindControl(L"login")->IsEnabled() ||
                IsRectEmpty(&pm.FindControl(L"login")->GetPos())) {
                InvalidateRect(logon->GetHWND(), nullptr, FALSE);
                return false;
            }
            if (std::wstring(pm.FindControl(L"stateinfo")->GetText()) !=
                L"检查组件成功，当前内核版本1.0.0.1")
                script.failure = "check status";
            pm.FindControl(L"accountedit")->SetText(L"10001");
            pm.FindControl(L"pwdedit")->SetText(L"111111");
            ClickAtControl(logon->GetHWND(), pm.FindControl(L"login"));
            return true;
        },
        // The lobby: maximised, the user, the tree.
        [&] {
            lobby = static_cast<CWndLobby*>(Table()[1]);
            if (!lobby || !lobby->GetTree() || lobby->GetTree()->GetCount() == 0) return false;
            return IsZoomed(lobby->GetHWND()) != FALSE;
        },
        [&] {
            CPaintManagerUI& pm = lobby->GetPaintManager();
            if (std::wstring(pm.FindControl(L"myuserid")->GetText()) != L"(10001)")
                script.failure = "user id";
            if (pm.FindControl(L"myuseralias")->GetText().IsEmpty()) script.failure = "alias";
            bool tip = false;
            for (const auto& icon : winplat::TrayIcons())
                if (icon.hwnd == lobby->GetHWND() &&
                    icon.tip.find(L"(10001)") != std::wstring::npos)
                    tip = true;
            if (!tip) script.failure = "tray tip";
            CRoomGroupTreeUI* tree = lobby->GetTree();
            CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
            for (tag_RoomGroupData* g : *d->m_pRoomGroupManager->GetRoomGroupList()) {
                CRoomGroupNode* n = tree->FindNodeById(g->groupId);
                if (!n) {
                    script.failure = "group missing from the tree";
                    continue;
                }
                bool top = g->parentId == 0;
                if (n->data().bold != top) script.failure = "bold only at the top";
                int parent = n->parent() && n->parent()->data().id > 0 ? n->parent()->data().id : 0;
                if (parent != g->parentId) script.failure = "child under its parent";
                CControlUI* num = pm.FindSubControlByName(n->data().row, L"cusernum");
                if (!num || std::wstring(num->GetText()) != std::to_wstring(g->userNum))
                    script.failure = "rolled-up count";
            }
            return true;
        },
        // A row with a room list: its page comes from the world.
        [&] {
            CRoomGroupTreeUI* tree = lobby->GetTree();
            for (int i = 0; i < tree->GetCount() && !pageRowClicked; ++i) {
                CRoomGroupNode* n = tree->NodeOfRow(tree->GetItemAt(i));
                if (n && n->data().value.GetData()[0] == L'R' && n->data().row->IsVisible()) {
                    InvalidateRect(lobby->GetHWND(), nullptr, FALSE);
                    if (IsRectEmpty(&n->data().row->GetPos())) return false;
                    ClickAtControl(lobby->GetHWND(), n->data().row);
                    pageRowClicked = true;
                }
            }
            return pageRowClicked;
        },
        [&] { return seen("/roomlist.php"); },
        // A room link reaches the join request.
        [&] {
            auto* web =
                dynamic_cast<CWebBrowserUI*>(lobby->GetPaintManager().FindControl(L"ielobby2"));
            std::wstring link =
                L"enterchatroom://1001,127.0.0.1:" + std::to_wstring(world.ports().room);
            web->Navigate2(link.c_str());
            return true;
        },
        [&] { return seen("user 10001 joined room 1001"); },
        // The tray's exit ends the program.
        [&] {
            SendMessageW(lobby->GetHWND(), WM_COMMAND, kTrayQuit, 0);
            return true;
        },
    };
    g_script = &script;
    SetTimer(nullptr, 0, 30, Tick);

    int code = WinMain(GetModuleHandleW(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOWNORMAL);
    g_script = nullptr;
    SetLobbyMessageHook(nullptr);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(script.next, script.steps.size()) << "stopped at step " << script.next;
    EXPECT_EQ(script.failure, "");
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(fs::exists(program.nativePath("userenv.ini"))) << "the chat font is saved";
    EXPECT_TRUE(fs::exists(DocumentsDir() + "/KeltSQShow/10001")) << "the per-user folder";
    world.Stop();
}

}  // namespace
