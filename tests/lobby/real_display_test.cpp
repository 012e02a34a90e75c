// On a real X display (xvfb-run with QT_QPA_PLATFORM=xcb and MIVORA_REAL_DISPLAY=1)
// a real keyboard and pointer log on: xdotool types the account and password, clicks
// "login", then clicks a row of the lobby's tree. Skipped otherwise.
#include <QDir>
#include <QString>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Answers.h"
#include "ServerSet.h"
#include "http_test_server.h"
#include "config/UserLogonManager.h"
#include "kernel/CommKernel.h"
#include "controls/RoomGroupTreeUI.h"
#include "lobby/WndLobby.h"
#include "lobby/WndLogon.h"
#include "lobby_fixture.h"
#include "model/RoomGroupManager.h"
#include "real_display.h"
#include "services/HttpGet.h"
#include "session/CommKernelData.h"

using namespace DuiLib;
using namespace testsupport;
namespace rd = realdisplay;

namespace {

class RealDisplayLogon : public LobbyTest {};

TEST_F(RealDisplayLogon, TypesTheLogonAndClicksARow) {
    if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";

    HttpTestServer http;
    http.serveBody("/nettest", "ok");
    http.serveBody("/dl_mv_t1.php", "a");
    http.serveBody("/dl_mv_t2.php", "b");
    http.serveBody("/dl_mv_t3.php", "1.0.0.1");
    http.serveBody("/roomlist.php", "<html><body>rooms</body></html>");
    SetNetworkTestUrl(http.url("/nettest").c_str());
    SetUpdateBaseUrl(http.url("/").c_str());
    std::wstring list = QString::fromStdString(http.url("/roomlist.php")).toStdWString();
    std::wcsncpy(d->m_GlobalConfig.roomlist_url, list.c_str(), 255);
    ServerSet servers;
    for (int i = 0; i < 4; ++i) SetLogonServer(i, "127.0.0.1", servers.logon().port());
    d->m_pUserLogonMgr->clearData();
    d->m_pRoomGroupManager->ClearData();
    // A program folder whose "update.ini" matches the answer's version (0.0.0.0).
    std::string prog = Home() + "/real-display-program";
    QDir().mkpath(QString::fromStdString(prog));
    {
        FILE* f = std::fopen((prog + "/update.ini").c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fputs("[version]\nupdatesubver=0.0.0.0\n", f);
        std::fclose(f);
    }
    std::wstring winProg = QString::fromStdString(prog).replace('/', '\\').toStdWString();
    std::wcsncpy(d->m_szAppPath, winProg.c_str(), kModulePathChars - 1);

    auto* logon = new CWndLogon;
    ASSERT_TRUE(logon->Create(nullptr, L"Mivora登录窗口", 0x96C80000, 0, 0, 0, 350, 250));
    logon->CenterWindow();
    std::string account;
    bool answered = false;
    auto body = [&] {
        CPaintManagerUI& pm = logon->GetPaintManager();
        ASSERT_TRUE(Pump([&] { return pm.FindControl(L"login")->IsEnabled(); }, 20000));
        LayOut(logon->GetHWND(), pm);
        ASSERT_TRUE(Pump([&] { return rd::OnScreen(logon->GetHWND()); }));
        // Each edit takes the keyboard from the click before it is typed into.
        for (const auto& [edit, text] :
             {std::pair{L"accountedit", "10001"}, {L"pwdedit", "111111"}}) {
            CControlUI* control = pm.FindControl(edit);
            rd::ClickControl(logon->GetHWND(), control);
            ASSERT_TRUE(Pump([&] { return control->IsFocused(); })) << text;
            rd::TypeText(text, 30);
        }
        Pump([&] { return pm.FindControl(L"pwdedit")->GetText() == L"111111"; }, 3000);
        account = QString::fromWCharArray(pm.FindControl(L"accountedit")->GetText().GetData())
                      .toStdString();
        rd::ClickControl(logon->GetHWND(), pm.FindControl(L"login"));
        ASSERT_TRUE(Pump([&] { return servers.logon().ReceivedCount() >= 114; }, 10000));
        answers::LogonOk ok;
        ok.userId = 10001;
        ok.levels[0] = 3;
        ok.alias = "xdotool";
        servers.logon().Send(answers::LogonOkAnswer(ok));
        answers::RoomGroup g;
        g.groupId = 1;
        g.name = "hall";
        g.address = "R";
        g.showCount = 1;
        g.userNum = 3;
        servers.logon().Send(answers::RoomGroupAnswer(g));
        servers.logon().Send(answers::RoomGroupListEndAnswer());
        answered = true;
    };
    UINT r = RunModalScript(*logon, [&] {
        body();
        // A step that failed leaves the window open: it must not hold the test.
        if (!answered && IsWindow(logon->GetHWND())) logon->Close(2);
    });
    EXPECT_EQ(account, "10001") << "the typed account";
    EXPECT_EQ(r, 1u) << "logged on";

    auto* lobby = new CWndLobby;
    ASSERT_TRUE(lobby->Create(nullptr, L"Mivora大厅窗口", 0x10CF0000, 0, 0, 0, 1024, 725));
    lobby->CenterWindow();
    k->m_pWndTable[1] = lobby;
    ASSERT_TRUE(Pump([&] { return lobby->GetTree() && lobby->GetTree()->GetCount() == 1; }, 10000));
    CRoomGroupNode* node = lobby->GetTree()->FindNodeById(1);
    ASSERT_NE(node, nullptr);
    ASSERT_TRUE(Pump([&] {
        return rd::OnScreen(lobby->GetHWND()) && !IsRectEmpty(&node->data().row->GetPos());
    }));
    rd::ClickControl(lobby->GetHWND(), node->data().row);
    EXPECT_TRUE(Pump(
        [&] {
            for (const auto& q : http.requests())
                if (q.path.find("/roomlist.php?ngroupid=1") == 0) return true;
            return false;
        },
        10000))
        << "the row's page was asked for";
    rd::SettleScreen();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "lobby-xvfb");
    DestroyWindow(lobby->GetHWND());
    k->m_pWndTable[1] = nullptr;
    PumpPending();
}

}  // namespace
