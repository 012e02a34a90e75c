// The logon window against stand-in logon servers and a small web server for its
// check: the form and saved accounts, the request it sends, the per-user set-up from
// the answer, the refusals, retries and time-out, and the updater.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTextStream>

#include <cstring>
#include <cwchar>
#include <fstream>
#include <memory>
#include <sys/stat.h>

#include "Answers.h"
#include "ServerSet.h"
#include "app/ClientApp.h"
#include "app/EntryWindows.h"
#include "app/SkinTable.h"
#include "config/UserLogonManager.h"
#include "http_test_server.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLogon.h"
#include "lobby_fixture.h"
#include "model/RoomGroupManager.h"
#include "model/UserMVManager.h"
#include "services/HttpGet.h"
#include "session/CommKernelData.h"
#include "win32/clock.h"
#include "win32gui/menu.h"

using namespace DuiLib;
using namespace testsupport;

namespace {

constexpr int kMember = 10001;
const char kVersion[] = "1.0.0.1";
constexpr int32_t kVersionWord = 0x01000001;  // 1.0.0.1 in memory order

std::vector<std::wstring> g_boxes;
int RecordBox(LPCWSTR text, LPCWSTR, UINT) {
    g_boxes.push_back(text ? text : L"");
    return IDOK;
}

class LogonWindowTest : public LobbyTest {
protected:
    void SetUp() override {
        LobbyTest::SetUp();
        http = std::make_unique<HttpTestServer>();
        http->serveBody("/nettest", "ok");
        http->serveBody("/dl_mv_t1.php", "levels");
        http->serveBody("/dl_mv_t2.php", "fonts");
        http->serveBody("/dl_mv_t3.php", "2.3.4.5");
        SetNetworkTestUrl(http->url("/nettest").c_str());
        SetUpdateBaseUrl(http->url("/").c_str());

        // A program folder with a blank in its name, as "Program Files" has.
        progDir = QString::fromStdString(Home() + "/prog dir");
        QDir(progDir).removeRecursively();
        QDir().mkpath(progDir);
        std::wstring win = progDir.toStdWString();
        for (wchar_t& c : win)
            if (c == L'/') c = L'\\';
        std::wcsncpy(d->m_szAppPath, win.c_str(), kModulePathChars - 1);
        std::wcsncpy(d->m_szAppName, L"mivora", kModulePathChars - 1);
        WriteFile("update.ini", std::string("[version]\nupdatesubver=") + kVersion + "\n");

        CUserLogonManager* mgr = d->m_pUserLogonMgr;
        std::string torties = Home() + "/torties.dat";
        std::remove(torties.c_str());
        mgr->setConfigFile(&torties[0]);
        mgr->clearData();
        mgr->m_bAutoStart = false;
        d->m_pRoomGroupManager->ClearData();
        g_boxes.clear();
        winplat::SetMessageBoxHook(RecordBox);
        SelectSkin(kDefaultSkinId);
    }
    void TearDown() override {
        winplat::SetMessageBoxHook(nullptr);
        if (winplat::ManualClockInstalled()) winplat::RemoveManualClock();
        LobbyTest::TearDown();
    }

    void WriteFile(const QString& name, const std::string& text) {
        QFile f(progDir + "/" + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text.data(), static_cast<qint64>(text.size()));
    }
    void UseServers(std::initializer_list<int> indexes, int port) {
        for (int i : indexes) SetLogonServer(i, "127.0.0.1", port);
    }
    static void SaveAccount(CUserLogonManager* mgr, int id, const char* pwd, char flag) {
        tag_LogonUserData rec = {};
        rec.nUserId = id;
        std::strcpy(rec.szPassword, pwd);
        rec.szPassword[17] = flag;
        mgr->m_listLogonData.push_back(rec);
    }

    // Creates the window and runs it modally with the script; its result.
    UINT Run(std::function<void(CWndLogon&)> script) {
        auto* w = new CWndLogon;
        logon = w;
        EXPECT_TRUE(w->Create(nullptr, L"Mivora登录窗口", 0x96C80000, 0, 0, 0, 350, 250));
        w->CenterWindow();
        return RunModalScript(*w, [w, script] { script(*w); });
    }
    CControlUI* C(const wchar_t* name) { return logon->GetPaintManager().FindControl(name); }
    bool Checked(const wchar_t* name) {
        auto* o = static_cast<COptionUI*>(C(name)->GetInterface(L"Option"));
        return o && o->IsSelected();
    }
    // The check has ended and the controls are usable.
    void WaitForCheck() {
        ASSERT_TRUE(Pump([&] { return C(L"login")->IsEnabled(); }, 20000)) << "check never ended";
    }
    void Click(const wchar_t* name) { ClickControl(logon->GetHWND(), C(name)); }

    std::unique_ptr<HttpTestServer> http;
    QString progDir;
    CWndLogon* logon = nullptr;
};

TEST_F(LogonWindowTest, AMemberLogsOnAndIsSetUp) {
    ServerSet servers;
    UseServers({0, 1, 2, 3}, servers.logon().port());
    SaveAccount(d->m_pUserLogonMgr, kMember, "111111", 1);
    SaveAccount(d->m_pUserLogonMgr, 10002, "222222", 0);
    d->m_pUserLogonMgr->m_bAutoStart = true;
    std::string userDir = Home() + "/Documents/KeltSQShow/" + std::to_string(kMember);
    QDir().mkpath(QString::fromStdString(userDir));
    { std::ofstream(userDir + "/skin.txt") << "7"; }

    UINT r = Run([&](CWndLogon& w) {
        auto* combo = dynamic_cast<CComboUI*>(C(L"accountcombo"));
        ASSERT_NE(combo, nullptr);
        EXPECT_EQ(combo->GetCount(), 2);
        EXPECT_EQ(std::wstring(C(L"accountedit")->GetText()), L"10001");
        EXPECT_EQ(std::wstring(C(L"pwdedit")->GetText()), L"111111");
        EXPECT_TRUE(Checked(L"check_savepwd"));
        EXPECT_TRUE(Checked(L"check_autorun"));
        WaitForCheck();
        for (const wchar_t* name : {L"closebtn", L"login", L"gusetlogin", L"register"})
            EXPECT_TRUE(C(name)->IsEnabled()) << name;
        EXPECT_EQ(std::wstring(C(L"stateinfo")->GetText()), L"检查组件成功，当前内核版本2.3.4.5");
        EXPECT_EQ(std::wstring(C(L"wincaption")->GetText()), L"Mivorav10.1");

        // What a person sees: the caption on the picture and the status line.
        LayOut(w.GetHWND(), w.GetPaintManager());
        PumpPending();
        SaveShot(w.GetHWND(), "logon_form");
        auto* caption = static_cast<CLabelUI*>(C(L"wincaption"));
        QImage capShot = ShotOf(w.GetHWND(), caption);
        EXPECT_GT(InkMatch(capShot, RenderLabel(w.GetPaintManager(), caption, L"Mivorav10.1", false,
                                                QColor(capShot.pixel(0, 0)))),
                  0.6);
        auto* status = static_cast<CLabelUI*>(C(L"stateinfo"));
        QImage stShot = ShotOf(w.GetHWND(), status);
        EXPECT_GT(InkMatch(stShot, RenderLabel(w.GetPaintManager(), status,
                                               L"检查组件成功，当前内核版本2.3.4.5", false,
                                               QColor(0xED, 0xF1, 0xF6))),
                  0.9);

        Click(L"login");
        ASSERT_TRUE(Pump([&] { return servers.logon().ReceivedCount() >= 14 + 100; }));
        Bytes sent = servers.logon().Received();
        ASSERT_EQ(sent.size(), 114u) << "hello, then the 100-byte logon request";
        EXPECT_FALSE(C(L"login")->IsEnabled()) << "the controls wait for the answer";
        EXPECT_EQ(w.GetAttemptCount(), 1);

        // Answers this window has no case for: their copies are freed all the same (the
        // sanitizer build's leak check fails the run otherwise).
        servers.logon().Send(answers::Words(answers::kLogonMain, 119, {kMember, 0}));
        servers.logon().Send(answers::LoudspeakerAnswer(1, "x"));
        answers::LogonOk ok;
        ok.userId = kMember;
        ok.versionWord = kVersionWord;
        ok.levels[0] = 3;
        ok.alias = "member";
        servers.logon().Send(answers::LogonOkAnswer(ok));
        ASSERT_TRUE(Pump([&] { return g_pCurSkin->id == 7; })) << "skin.txt chose skin 7";
        EXPECT_EQ(std::wstring(theApp.GetUserDataPath()).find(L"10001"),
                  std::wstring(theApp.GetUserDataPath()).size() - 5);
        EXPECT_EQ(d->m_pUserLogonMgr->m_listLogonData.front().nUserId, kMember);
        EXPECT_TRUE(QFile::exists(QString::fromStdString(Home() + "/torties.dat")));
        EXPECT_TRUE(IsWindow(w.GetHWND())) << "the window waits for the room groups";

        answers::RoomGroup g;
        g.groupId = 1;
        g.name = "top";
        g.address = "R";
        servers.logon().Send(answers::RoomGroupAnswer(g));
        servers.logon().Send(answers::RoomGroupListEndAnswer());
    });
    EXPECT_EQ(r, 1u) << "room groups complete: closed with 1";
    EXPECT_EQ(d->m_pUserMVManager->delegate, theApp.m_pUserMVDelegate);
    QDir autostart(QString::fromStdString(Home() + "/.config/autostart"));
    EXPECT_FALSE(autostart.entryList(QDir::Files).isEmpty()) << "check_autorun adds the entry";
    d->m_pUserMVManager->SetDelegate(nullptr);
}

TEST_F(LogonWindowTest, TheFirstAccountsPasswordNeedsItsFlagExactlyOne) {
    struct Case {
        char flag;
        const char* pwd;
        bool filled;
    } cases[] = {{1, "111111", true}, {2, "111111", false}, {0, "111111", false}, {1, "", false}};
    for (const Case& c : cases) {
        d->m_pUserLogonMgr->clearData();
        SaveAccount(d->m_pUserLogonMgr, kMember, c.pwd, c.flag);
        Run([&](CWndLogon& w) {
            EXPECT_EQ(std::wstring(C(L"pwdedit")->GetText()).empty(), !c.filled) << int(c.flag);
            EXPECT_EQ(Checked(L"check_savepwd"), c.filled);
            WaitForCheck();
            w.Close(2);
        });
    }
}

TEST_F(LogonWindowTest, ChoosingAnAccountUsesTheChosenItemsId) {
    SaveAccount(d->m_pUserLogonMgr, kMember, "", 0);
    SaveAccount(d->m_pUserLogonMgr, 10002, "222222", 1);
    Run([&](CWndLogon& w) {
        auto* combo = dynamic_cast<CComboUI*>(C(L"accountcombo"));
        EXPECT_TRUE(std::wstring(C(L"pwdedit")->GetText()).empty());
        combo->SelectItem(1);
        PumpPending();
        EXPECT_EQ(std::wstring(C(L"accountedit")->GetText()), L"10002");
        EXPECT_EQ(std::wstring(C(L"pwdedit")->GetText()), L"222222");
        EXPECT_TRUE(Checked(L"check_savepwd"));
        WaitForCheck();
        w.Close(2);
    });
}

TEST_F(LogonWindowTest, TabGoesFromTheAccountToThePasswordAndBack) {
    SaveAccount(d->m_pUserLogonMgr, kMember, "111111", 1);
    Run([&](CWndLogon& w) {
        WaitForCheck();
        LayOut(w.GetHWND(), w.GetPaintManager());
        auto* account = static_cast<CEditUI*>(C(L"accountedit"));
        auto* pwd = static_cast<CEditUI*>(C(L"pwdedit"));
        Click(L"accountedit");
        ASSERT_TRUE(Pump([&] { return account->IsFocused(); }));
        TabKey(w.GetHWND());
        EXPECT_TRUE(pwd->IsFocused()) << "one Tab: the drop-down arrow and the link are no stops";
        long start = -1, end = -1;
        pwd->GetSel(start, end);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(end, 6) << "the saved password is selected, typing replaces it";
        TabKey(w.GetHWND(), true);
        EXPECT_TRUE(account->IsFocused());
        w.Close(2);
    });
}

TEST_F(LogonWindowTest, BadInputIsRefusedBeforeAnythingIsSent) {
    ServerSet servers;
    UseServers({0}, servers.logon().port());
    struct Case {
        const wchar_t* account;
        const wchar_t* password;
    } cases[] = {
        {L"12abc", L"111111"},     {L"2147483648", L"111111"},        {L"0", L"111111"},
        {L"10001", L""},           {L"10001", L"密码密码密码密码密"},  // 9 characters, 18 bytes
        {L"10001", L"pass\u0100"},
    };
    Run([&](CWndLogon& w) {
        WaitForCheck();
        for (const Case& c : cases) {
            messages.clear();
            C(L"accountedit")->SetText(c.account);
            C(L"pwdedit")->SetText(c.password);
            Click(L"login");
            ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
            EXPECT_EQ(messages[0], L"帐号/密码输入有误,请检查重新输入!") << c.account;
            EXPECT_TRUE(C(L"login")->IsEnabled());
        }
        PumpPending();
        EXPECT_EQ(servers.logon().Connections(), 0);
        w.Close(2);
    });
}

TEST_F(LogonWindowTest, ForgottenPasswordOpensItsPageOrSaysThereIsNone) {
    struct Case {
        const wchar_t* page;
        const wchar_t* message;  // null: the page opens instead
    } cases[] = {
        {L"http://127.0.0.1:9/getpwd.html", nullptr},
        {L"", L"找回密码功能尚未开通！"},
    };
    for (const Case& c : cases) {
        std::wcsncpy(d->m_GlobalConfig.getpwd_page, c.page, 255);
        messages.clear();
        browsed.clear();
        Run([&](CWndLogon& w) {
            WaitForCheck();
            Click(L"getpwd");
            ASSERT_TRUE(Pump([&] { return !messages.empty() || !browsed.empty(); })) << c.page;
            if (c.message) {
                EXPECT_EQ(messages, std::vector<std::wstring>{c.message});
                EXPECT_TRUE(browsed.empty());
            } else {
                EXPECT_EQ(browsed, std::vector<std::wstring>{c.page});
                EXPECT_TRUE(messages.empty());
            }
            w.Close(2);
        });
    }
    d->m_GlobalConfig.getpwd_page[0] = L'\0';
}

TEST_F(LogonWindowTest, RefusalsShowTheirTextAndStopRetrying) {
    struct Case {
        int code;
        const wchar_t* text;
    } cases[] = {
        {101, L"你被限制进入,登录失败!请联系在线客服."},
        {103, L"帐号不存在!"},
        {104, L"密码错误!"},
        {7, L""},
    };
    for (const Case& c : cases) {
        ServerSet servers;
        UseServers({0, 1, 2, 3}, servers.logon().port());
        messages.clear();
        Run([&](CWndLogon& w) {
            WaitForCheck();
            C(L"accountedit")->SetText(L"10001");
            C(L"pwdedit")->SetText(L"111111");
            Click(L"login");
            ASSERT_TRUE(Pump([&] { return servers.logon().ReceivedCount() >= 114; }));
            servers.logon().Send(answers::LogonFailedAnswer(c.code, 0, 0));
            ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
            EXPECT_EQ(messages[0], c.text) << c.code;
            EXPECT_TRUE(C(L"login")->IsEnabled());
            // The server's close after a refusal starts no new attempt.
            servers.logon().CloseConnection();
            Pump([] { return false; }, 300);
            EXPECT_EQ(servers.logon().Connections(), 1) << c.code;
            EXPECT_EQ(w.GetAttemptCount(), kLogonMaxAttempts);
            w.Close(2);
        });
    }
}

TEST_F(LogonWindowTest, AClosedConnectionRetriesOnTheNextFilledServer) {
    ServerSet a, b;
    SetLogonServer(0, "127.0.0.1", a.logon().port());
    SetLogonServer(2, "127.0.0.1", b.logon().port());
    Run([&](CWndLogon& w) {
        WaitForCheck();
        Click(L"gusetlogin");
        auto total = [&] { return a.logon().Connections() + b.logon().Connections(); };
        ASSERT_TRUE(Pump([&] { return total() == 1; }));
        int first = w.GetServerIndex();
        EXPECT_TRUE(first == 0 || first == 2) << "an empty entry is never tried";
        TcpStandIn& firstServer = first == 0 ? a.logon() : b.logon();
        ASSERT_TRUE(Pump([&] { return firstServer.ReceivedCount() >= 114; }));
        firstServer.CloseConnection();
        ASSERT_TRUE(Pump([&] { return total() == 2; })) << "a close mid-logon retries";
        EXPECT_EQ(w.GetServerIndex(), first == 0 ? 2 : 0);
        EXPECT_EQ(w.GetAttemptCount(), 2);
        EXPECT_EQ(a.logon().Connections(), 1);
        EXPECT_EQ(b.logon().Connections(), 1);
        w.Close(2);
    });
}

TEST_F(LogonWindowTest, TenConnectErrorsStopThenTheTimeOutSpeaks) {
    RefusingPort refusing;
    UseServers({0, 1, 2, 3}, refusing.port());
    Run([&](CWndLogon& w) {
        WaitForCheck();
        winplat::InstallManualClock(1700000000);
        Click(L"gusetlogin");
        ASSERT_TRUE(Pump([&] { return w.GetAttemptCount() == kLogonMaxAttempts; }));
        Pump([] { return false; }, 300);
        EXPECT_EQ(w.GetAttemptCount(), kLogonMaxAttempts) << "no eleventh attempt";
        EXPECT_TRUE(messages.empty());
        winplat::AdvanceManualClock(29000);
        Pump([] { return false; }, 100);
        EXPECT_TRUE(messages.empty()) << "not before 30 s";
        winplat::AdvanceManualClock(1000);
        ASSERT_TRUE(Pump([&] { return !messages.empty(); }));
        EXPECT_EQ(messages[0], L"登录超时，请重试！");
        EXPECT_TRUE(C(L"login")->IsEnabled());
        winplat::RemoveManualClock();
        w.Close(2);
    });
}

UINT_PTR g_escapeTimer = 0;
HWND g_escapedLogon = nullptr;
void CALLBACK PressEscapeOnLogon(HWND, UINT, UINT_PTR, DWORD) {
    auto* logon = static_cast<CWndLogon*>(CCommKernel::GetInstance()->m_pWndTable[0]);
    if (!logon) return;
    KillTimer(nullptr, g_escapeTimer);
    g_escapedLogon = logon->GetHWND();
    PressKey(g_escapedLogon, VK_ESCAPE);
}

TEST_F(LogonWindowTest, CloseButtonAndEscape) {
    UINT r = Run([&](CWndLogon&) {
        WaitForCheck();
        Click(L"closebtn");
    });
    EXPECT_EQ(r, 2u);
    // Escape through the entry's call: the quit message ends the modal loop, reaches
    // the outer loop, and the window is gone.
    g_escapeTimer = SetTimer(nullptr, 0, 20, PressEscapeOnLogon);
    int result = RunLogonWindow(L"Mivora登录窗口");
    EXPECT_EQ(result, IDCANCEL);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "and reaches the outer loop";
    EXPECT_EQ(k->m_pWndTable[0], nullptr);
    EXPECT_FALSE(IsWindow(g_escapedLogon)) << "the logon window is destroyed";
}

TEST_F(LogonWindowTest, AnotherVersionStartsTheUpdaterAndEnds) {
    struct Case {
        bool updater;     // an updater program is there
        bool updateIni;   // "update.ini" is there (holding 1.0.0.1)
        int32_t version;  // version word of the answer
    } cases[] = {
        {true, true, 0x02000001},
        {true, false, kVersionWord},  // no "update.ini": always different
        {false, true, 0x02000001},
    };
    for (const Case& c : cases) {
        g_boxes.clear();
        QFile::remove(progDir + "/update.ini");
        if (c.updateIni)
            WriteFile("update.ini", std::string("[version]\nupdatesubver=") + kVersion + "\n");
        QString args = QString::fromStdString(Home()) + "/updater-args.txt";
        QFile::remove(args);
        QFile::remove(progDir + "/OnlineUpdate.exe");
        if (c.updater) {
            // The list appears whole (renamed into place once written).
            const std::string to = args.toStdString();
            WriteFile("OnlineUpdate.exe", "#!/bin/sh\nfor a in \"$@\"; do echo \"$a\"; done > '" +
                                              to + ".part' && mv '" + to + ".part' '" + to + "'\n");
            chmod((progDir + "/OnlineUpdate.exe").toLocal8Bit().constData(), 0755);
        }
        ServerSet servers;
        UseServers({0, 1, 2, 3}, servers.logon().port());
        UINT r = Run([&](CWndLogon&) {
            WaitForCheck();
            C(L"accountedit")->SetText(L"10001");
            C(L"pwdedit")->SetText(L"111111");
            Click(L"login");
            ASSERT_TRUE(Pump([&] { return servers.logon().ReceivedCount() >= 114; }));
            answers::LogonOk ok;
            ok.userId = kMember;
            ok.versionWord = c.version;
            servers.logon().Send(answers::LogonOkAnswer(ok));
        });
        EXPECT_EQ(r, 2u) << "the program ends after an update start";
        if (c.updater) {
            ASSERT_TRUE(Pump([&] { return QFile::exists(args); }, 10000)) << "updater not started";
            QFile f(args);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
            if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
            ASSERT_EQ(lines.size(), 5) << lines.join('|').toStdString();
            EXPECT_EQ(lines[0].toStdString(), c.updateIni ? kVersion : "");
            EXPECT_TRUE(lines[1].contains("ver.php?time="));
            EXPECT_EQ(lines[3].toStdString(), "mivora");
            EXPECT_TRUE(g_boxes.empty());
        } else {
            ASSERT_EQ(g_boxes.size(), 1u) << "the error box comes first";
            EXPECT_EQ(g_boxes[0].rfind(L"启动更新失败", 0), 0u);
        }
    }
}

}  // namespace
