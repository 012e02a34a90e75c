// The web-page windows: the page each one opens, relative links and pictures of a
// web page, the finder's and the registration page's links, Alt+F4 and the game
// window's own maximise buttons.
#include <QFile>

#include <cwchar>
#include <functional>
#include <memory>
#include <string>

#include "app/TrustedGates.h"
#include "dialogs/DialogMessages.h"
#include "dialogs/WndFinder.h"
#include "dialogs/WndGame.h"
#include "dialogs/WndGetPaid.h"
#include "dialogs/WndIconHelp.h"
#include "dialogs/WndMyAccount.h"
#include "dialogs/WndUserRegister.h"
#include "dialogs/WebFrame.h"
#include "dialogs/WndWellcomTip.h"
#include "dialogs_fixture.h"
#include "kernel/CommKernel.h"
#include "lobby/WndLobby.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace {

class WebWindowTest : public DialogTest {
protected:
    // Creates and shows a window as its owner does (no owner window here).
    static bool Open(CSkinWnd* w) {
        if (!w->Create(nullptr, L"", WS_POPUP, 0, 0, 0, 0, 0)) return false;
        w->CenterWindow();
        w->ShowWindow(true, true);
        return true;
    }
    static CWebBrowserUI* Browser(CSkinWnd& w, const wchar_t* name = L"ielobby") {
        return dynamic_cast<CWebBrowserUI*>(w.GetPaintManager().FindControl(name));
    }
    static bool QuitPending() {
        MSG msg;
        return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
    }
    std::vector<tagJoinRoomPost> Joins() {
        std::vector<tagJoinRoomPost> out;
        for (const PostedMsg& m : lobby.posted)
            if (m.msg == UM_FINDER_JOIN_ROOM)
                out.push_back(*reinterpret_cast<tagJoinRoomPost*>(m.lParam));
        return out;
    }
};

TEST_F(WebWindowTest, EachWindowOpensItsPageAndAltF4ClosesItWithoutQuitting) {
    struct Case {
        const char* name;
        std::function<CSkinWnd*()> make;
        bool selfDeleting;
        std::string path;
        const wchar_t* browser;
    };
    const Case cases[] = {
        {"account", [] { return new CWndMyAccount; }, true, "/acc?nuserid=7", L"ielobby"},
        {"icon help", [] { return new CWndIconHelp; }, true, "/help", L"ielobby"},
        {"top-up", [] { return new CWndGetPaid; }, true, "/paid?roomid=55&nuserid=7", L"ielobby"},
        {"game", [this] { return new CWndGame(winplat::Utf8ToWide(http.url("/game")), L"棋牌"); },
         true, "/game", L"ielobby_game"},
        {"finder", [] { return new CWndFinder; }, false, "/find", L"ielobby"},
        {"registration", [] { return new CWndUserRegister; }, false, "/reg", L"ielobby"},
        {"welcome", [] { return new CWndWellcomTip; }, true, "/well", L"ielobby"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // The server answers by path without the query.
        http.serveBody(c.path.substr(0, c.path.find('?')), "<html><body><p>page</p></body></html>");
        CSkinWnd* w = c.make();
        CSkinWnd* slot = w;
        if (c.selfDeleting) w->SetOwnerSlot(&slot);
        ASSERT_TRUE(Open(w));
        ASSERT_TRUE(Pump([&] { return http.count(c.path) == 1; })) << c.path;
        CWebBrowserUI* web = Browser(*w, c.browser);
        ASSERT_NE(web, nullptr);
        ASSERT_TRUE(Pump([&] { return web->GetDocumentText().Find(L"page") >= 0; }));

        HWND h = w->GetHWND();
        PostMessageW(h, WM_SYSKEYDOWN, VK_F4, 1 | (1 << 29));
        ASSERT_TRUE(Pump([&] { return !IsWindow(h); }));
        EXPECT_FALSE(QuitPending());
        if (c.selfDeleting)
            EXPECT_EQ(slot, nullptr);
        else
            delete w;
    }
}

TEST_F(WebWindowTest, RelativeLinksAndPicturesOfAWebPageUseThePagesAddress) {
    // The account page moves: the page's own address is the one after the redirect.
    http.redirect("/acc", "/dir/page.html");
    http.serveBody("/dir/page.html",
                   "<html><body><a href=\"next.html\"><img src=\"pic.png\" width=\"80\" "
                   "height=\"80\"></a><p>text</p></body></html>");
    QFile png(QString::fromWCharArray(MIVORA_SKIN_DIR) + "Face/80/5.png");
    ASSERT_TRUE(png.open(QIODevice::ReadOnly));
    testsupport::HttpAnswer pic;
    pic.body = png.readAll().toStdString();
    http.serve("/dir/pic.png", pic);
    http.serveBody("/dir/next.html", "<html><body>next</body></html>");

    CWndMyAccount* w = new CWndMyAccount;
    CWndMyAccount* slot = w;
    w->SetOwnerSlot(&slot);
    ASSERT_TRUE(Open(w));
    ASSERT_TRUE(Pump([&] { return http.count("/dir/pic.png") == 1; }));
    CWebBrowserUI* web = Browser(*w);
    ASSERT_TRUE(WaitLaidOut(*w));

    QImage ref(QString::fromWCharArray(MIVORA_SKIN_DIR) + "Face/80/5.png");
    ref = ref.convertToFormat(QImage::Format_ARGB32);
    RECT rc = web->GetPos();
    double best = 0;
    POINT at{0, 0};
    ASSERT_TRUE(Pump(
        [&] {
            QImage shot = Shot(w->GetHWND(), "web_page_picture.png");
            for (int dy = 0; dy <= 12 && best < 0.9; ++dy)
                for (int dx = 0; dx <= 12 && best < 0.9; ++dx) {
                    double m = PictureMatch(shot, rc.left + dx, rc.top + dy, ref);
                    if (m > best) {
                        best = m;
                        at = POINT{rc.left + dx + 40, rc.top + dy + 40};
                    }
                }
            return best >= 0.9;
        },
        3000))
        << "best match " << best;

    // The picture is the link: a click fetches the page next to this one.
    QtClickAt(w->GetHWND(), at);
    ASSERT_TRUE(Pump([&] { return http.count("/dir/next.html") == 1; }));
    DestroyWindow(w->GetHWND());
    EXPECT_EQ(slot, nullptr);
}

TEST_F(WebWindowTest, FinderLinksJoinAValidRoomOnlyAndCloseOnlyThen) {
    std::wstring gate140;
    for (int i = 0; i < 10; ++i) gate140 += L"10.0.0.1:8000;";
    struct Case {
        const char* name;
        std::wstring link;
        int room;  // 0: nothing posted, the finder stays open
        std::wstring gate;
    };
    const std::wstring page = winplat::Utf8ToWide(http.url("/x?enterchatroom://5,g:1"));
    const Case cases[] = {
        {"good", L"enterchatroom://12345,1.2.3.4:80;5.6.7.8:81", 12345, L"1.2.3.4:80;5.6.7.8:81"},
        {"upper case", L"EnterChatRoom://9,g:1", 9, L"g:1"},
        {"largest id", L"enterchatroom://2147483647,g:1", 2147483647, L"g:1"},
        {"long gate keeps whole entries", L"enterchatroom://8," + gate140, 8,
         gate140.substr(0, 9 * 14 - 1)},
        {"no comma", L"enterchatroom://12345", 0, L""},
        {"not a number", L"enterchatroom://abc,g:1", 0, L""},
        {"room 0", L"enterchatroom://0,g:1", 0, L""},
        {"too large", L"enterchatroom://2147483648,g:1", 0, L""},
        {"signed", L"enterchatroom://-5,g:1", 0, L""},
        {"prefix inside", page, 0, L""},
    };
    http.serveBody("/find", "<html><body>find</body></html>");
    http.serveBody("/x", "<html><body>other</body></html>");
    static int boxes = 0;
    winplat::SetMessageBoxHook([](LPCWSTR, LPCWSTR, UINT) { return ++boxes, IDOK; });
    ForgetLearntGates();
    const std::wstring findPage = GlobalConfig().find_url;
    // The finder's own page (the configured one) gives the links: a click comes once
    // it shows.
    auto openFinder = [&](CWndFinder* w) {
        ASSERT_TRUE(Open(w));
        ASSERT_TRUE(Pump([&] { return findPage == Browser(*w)->GetLocationUrl().GetData(); }));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* w = new CWndFinder;
        openFinder(w);
        size_t before = lobby.posted.size();
        Browser(*w)->Navigate2(c.link.c_str());
        if (c.room) {
            ASSERT_TRUE(
                Pump([&] { return !IsWindow(w->GetHWND()) && lobby.posted.size() > before; }));
            std::vector<tagJoinRoomPost> joins = Joins();
            ASSERT_EQ(joins.size(), 1u);
            EXPECT_EQ(joins[0].nRoomId, c.room);
            EXPECT_EQ(joins[0].nFlag, 1);
            EXPECT_EQ(std::wstring(joins[0].szGateAddr), c.gate);
            EXPECT_EQ(joins[0].szGateAddr[127], L'\0');
        } else {
            Pump([] { return false; }, 150);
            EXPECT_TRUE(IsWindow(w->GetHWND()));
            EXPECT_TRUE(Joins().empty());
            DestroyWindow(w->GetHWND());
        }
        delete w;
        for (const PostedMsg& m : lobby.posted)
            if (m.msg == UM_FINDER_JOIN_ROOM) delete reinterpret_cast<tagJoinRoomPost*>(m.lParam);
        lobby.posted.clear();
    }
    // The page link with the prefix inside went ahead as an ordinary navigation.
    EXPECT_EQ(http.count("/x?enterchatroom://5,g:1"), 1);
    EXPECT_EQ(boxes, 0);

    // On a page of another host a link leads only to a gate known already: "g" came
    // from the finder's page above, "evil" from nowhere.
    const std::wstring foreign = L"http://localhost:" + std::to_wstring(http.port()) + L"/x";
    for (const auto& [link, joins] :
         {std::pair<const wchar_t*, size_t>{L"enterchatroom://12,evil:1", 0},
          {L"enterchatroom://13,g:1", 1}}) {
        SCOPED_TRACE(std::wstring(link));
        auto* w = new CWndFinder;
        openFinder(w);
        Browser(*w)->Navigate2(foreign.c_str());
        ASSERT_TRUE(Pump([&] { return foreign == Browser(*w)->GetLocationUrl().GetData(); }));
        const int boxesBefore = boxes;
        Browser(*w)->Navigate2(link);
        if (joins) {
            ASSERT_TRUE(Pump([&] { return !IsWindow(w->GetHWND()); }));
        } else {
            EXPECT_EQ(boxes, boxesBefore + 1) << "the unknown server is told";
            EXPECT_TRUE(IsWindow(w->GetHWND()));
            DestroyWindow(w->GetHWND());
        }
        EXPECT_EQ(Joins().size(), joins);
        delete w;
        for (const PostedMsg& m : lobby.posted)
            if (m.msg == UM_FINDER_JOIN_ROOM) delete reinterpret_cast<tagJoinRoomPost*>(m.lParam);
        lobby.posted.clear();
    }
    winplat::SetMessageBoxHook(nullptr);
}

TEST_F(WebWindowTest, AFinderBlockThatCannotBePostedIsFreed) {
    // A lobby whose window is gone: the post fails and the block must not leak (the
    // sanitizer build checks).
    CFakeLobby gone;
    ASSERT_TRUE(gone.Create(nullptr, L"gone", WS_POPUP, 0, 0, 0, 10, 10));
    DestroyWindow(gone.GetHWND());
    CCommKernel::GetInstance()->m_pWndTable[1] = static_cast<CWindowWnd*>(&gone);
    http.serveBody("/find", "<html><body>find</body></html>");
    auto* w = new CWndFinder;
    ASSERT_TRUE(Open(w));
    const std::wstring findPage = GlobalConfig().find_url;
    ASSERT_TRUE(Pump([&] { return findPage == Browser(*w)->GetLocationUrl().GetData(); }));
    Browser(*w)->Navigate2(L"enterchatroom://12,g:1");
    PumpPending();
    CCommKernel::GetInstance()->m_pWndTable[1] = static_cast<CWindowWnd*>(&lobby);
    if (IsWindow(w->GetHWND())) DestroyWindow(w->GetHWND());
    delete w;
}

TEST_F(WebWindowTest, RegistrationLinksHandBackAccountAndPassword) {
    http.serveBody("/reg", "<html><body>reg</body></html>");
    http.serveBody("/webapp:x", "<html><body>web</body></html>");
    struct Case {
        const char* name;
        std::wstring link;  // empty: closed without a link
        bool result;
        std::wstring account, password;
    };
    const Case cases[] = {
        {"account and password", L"app:10001:pw", true, L"10001", L"pw"},
        {"upper case, colon in password", L"APP:10002:a:b", true, L"10002", L"a:b"},
        {"password only", L"app:pw", true, L"", L"pw"},
        {"prefix inside a web link", winplat::Utf8ToWide(http.url("/webapp:x")), false, L"", L""},
        {"closed without a link", L"", false, L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* w = new CWndUserRegister;
        ASSERT_TRUE(Open(w));
        if (!c.link.empty()) Browser(*w)->Navigate2(c.link.c_str());
        if (c.result) {
            ASSERT_TRUE(Pump([&] { return !IsWindow(w->GetHWND()); }));
        } else {
            if (!c.link.empty()) {
                ASSERT_TRUE(Pump([&] { return http.count("/webapp:x") > 0; }));
            }
            EXPECT_TRUE(IsWindow(w->GetHWND()));
            w->Close(1);
            ASSERT_TRUE(Pump([&] { return !IsWindow(w->GetHWND()); }));
        }
        EXPECT_EQ(w->HasResult(), c.result);
        EXPECT_EQ(w->GetAccount(), c.account);
        EXPECT_EQ(w->GetPassword(), c.password);
        delete w;
    }
}

TEST_F(WebWindowTest, GameWindowShowsItsTitleAndSwapsItsOwnMaximiseButtons) {
    http.serveBody("/game", "<html><body>game</body></html>");
    CWndGame* w = new CWndGame(winplat::Utf8ToWide(http.url("/game")), L"斗地主");
    CWndGame* slot = w;
    w->SetOwnerSlot(&slot);
    ASSERT_TRUE(Open(w));
    CPaintManagerUI& pm = w->GetPaintManager();
    EXPECT_EQ(std::wstring(pm.FindControl(L"game_title")->GetText().GetData()), L"斗地主");
    CControlUI* maxBtn = pm.FindControl(L"btnmax");
    CControlUI* restoreBtn = pm.FindControl(L"btnrestore");
    ASSERT_TRUE(WaitLaidOut(*w));
    ClickControl(w->GetHWND(), maxBtn);
    ASSERT_TRUE(Pump([&] { return IsZoomed(w->GetHWND()) != FALSE; }));
    EXPECT_FALSE(maxBtn->IsVisible());
    EXPECT_TRUE(restoreBtn->IsVisible());
    ASSERT_TRUE(WaitRelaidOut(w->GetHWND(), restoreBtn));
    ClickControl(w->GetHWND(), restoreBtn);
    ASSERT_TRUE(Pump([&] { return !IsZoomed(w->GetHWND()); }));
    EXPECT_TRUE(maxBtn->IsVisible());
    EXPECT_FALSE(restoreBtn->IsVisible());
    DestroyWindow(w->GetHWND());
    EXPECT_EQ(slot, nullptr);
}

}  // namespace
