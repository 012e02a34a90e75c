// The emoticon picker: which page it loads, picks from a real click, who receives
// them, and receivers that go away.
#include <memory>
#include <string>
#include <vector>

#include "chat_fixture.h"
#include "dialogs/WndChatEmotion.h"
#include "dialogs/WndSendLaba.h"
#include "http_test_server.h"
#include "kernel/CommKernel.h"
#include "session/CommKernelData.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

struct Receiver : IEmoReceiver {
    std::vector<std::wstring> codes;
    void OnEmoSelected(const wchar_t* code) override { codes.emplace_back(code); }
};

std::string Page(const char* title) {
    std::string page = "<html><body><p>";
    page += title;
    page += "</p><p>";
    for (int i = 1; i <= 12; ++i)
        page += "<a href=\"clickemotion:" + std::to_string(i) + ".gif\">[" + std::to_string(i) +
                "]</a> ";
    return page + "</p></body></html>";
}

void SetPages(const testsupport::HttpTestServer& server) {
    CCommKernelData* d = CCommKernel::GetInstance()->m_pData;
    auto put = [](wchar_t* field, const std::string& url) {
        std::wstring w(url.begin(), url.end());
        w.copy(field, 255);
        field[std::min<size_t>(w.size(), 255)] = 0;
    };
    put(d->m_GlobalConfig.emotion_url0, server.url("/emo-vip.html"));
    put(d->m_GlobalConfig.emotion_url1, server.url("/emo.html"));
}

// The point of the window where the browser shows the link, or -1,-1.
POINT FindLink(HWND hwnd, CWebBrowserUI* web, const std::wstring& link) {
    RECT rc = web->GetPos();
    for (int y = rc.top; y < rc.bottom; y += 2)
        for (int x = rc.left; x < rc.right; x += 2)
            if (std::wstring(web->GetLinkAt(POINT{x, y}).GetData()) == link) return POINT{x, y};
    (void)hwnd;
    return POINT{-1, -1};
}

class PickerTest : public ChatTest {
protected:
    void SetUp() override {
        ChatTest::SetUp();
        server.serveBody("/emo-vip.html", Page("VIP"));
        server.serveBody("/emo.html", Page("plain"));
        SetPages(server);
    }
    testsupport::HttpTestServer server;
};

TEST_F(PickerTest, PrivilegeChoosesThePageWhichStaysHiddenUntilLoaded) {
    for (bool vip : {true, false}) {
        SCOPED_TRACE(vip ? "privilege 37" : "without it");
        if (vip)
            grants.granted.insert(37);
        else
            grants.granted.clear();
        CWndChatEmotion picker;
        ASSERT_TRUE(picker.Create(nullptr, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 414, 220));
        CWebBrowserUI* web = picker.GetBrowser();
        ASSERT_NE(web, nullptr);
        EXPECT_FALSE(web->IsVisible());
        const char* path = vip ? "/emo-vip.html" : "/emo.html";
        ASSERT_TRUE(Pump([&] { return web->IsVisible(); }));
        EXPECT_EQ(server.count(path), 1);
        EXPECT_NE(std::wstring(web->GetDocumentText().GetData()).find(vip ? L"VIP" : L"plain"),
                  std::wstring::npos);
        DestroyWindow(picker.GetHWND());
    }
    EXPECT_EQ(server.count("/emo-vip.html") + server.count("/emo.html"), 2);
}

TEST_F(PickerTest, OnlyAValidLinkAtTheStartIsAPick) {
    CWndChatEmotion picker;
    Receiver r;
    picker.SetReceiver(&r);
    struct Case {
        const wchar_t* url;
        bool cancel;
        const wchar_t* code;  // null: nothing delivered
    } cases[] = {
        {L"clickemotion:12.gif", true, L"12"},
        {L"clickemotion:ok_1.png", true, L"ok_1"},
        {L"clickemotion:12", true, nullptr},
        {L"clickemotion:.gif", true, nullptr},
        {L"clickemotion:a\"onerror=x.gif", true, nullptr},
        {L"clickemotion:../../x.gif", true, nullptr},
        {L"http://h/?clickemotion:12.gif", false, nullptr},
        {L"about:blank", false, nullptr},
    };
    for (const Case& c : cases) {
        r.codes.clear();
        bool cancel = false;
        picker.BeforeNavigate2(nullptr, c.url, 0, nullptr, nullptr, nullptr, cancel);
        EXPECT_EQ(cancel, c.cancel) << std::wstring(c.url);
        if (c.code) {
            ASSERT_EQ(r.codes.size(), 1u) << std::wstring(c.url);
            EXPECT_EQ(r.codes[0], c.code);
        } else {
            EXPECT_TRUE(r.codes.empty()) << std::wstring(c.url);
        }
    }
}

// The program-wide picker: created on the first opening, shared by every opener.
TEST_F(PickerTest, PicksReachTheLastOpenerOnlyAndNobodyAfterItGoes) {
    grants.granted.clear();
    CWndSendLaba* laba = nullptr;
    ASSERT_NE(OpenChatSender(laba, nullptr), nullptr);
    auto room = std::make_unique<Receiver>();

    CWndChatEmotion* picker = ShowChatEmotion(laba->GetHWND(), nullptr, laba);
    ASSERT_NE(picker, nullptr);
    EXPECT_EQ(CWndChatEmotion::Instance(), picker);
    EXPECT_EQ(picker->GetReceiver(), laba);
    // Placed 222 pixels above the opener's button, 414 by 220.
    RECT rc;
    GetWindowRect(picker->GetHWND(), &rc);
    EXPECT_EQ(rc.top, -222);
    EXPECT_EQ(rc.right - rc.left, 414);
    EXPECT_EQ(rc.bottom - rc.top, 220);

    EXPECT_EQ(ShowChatEmotion(nullptr, nullptr, room.get()), picker) << "one picker";
    CWebBrowserUI* web = picker->GetBrowser();
    ASSERT_TRUE(Pump([&] { return web->IsVisible(); }));
    PumpPending();
    SaveShot(winplat::GrabWindowImage(picker->GetHWND()), "picker.png");
    POINT at = FindLink(picker->GetHWND(), web, L"clickemotion:12.gif");
    ASSERT_GE(at.x, 0) << "the page shows the emoticon link";
    QtClickAt(picker->GetHWND(), at);
    ASSERT_TRUE(Pump([&] { return !room->codes.empty(); }));
    EXPECT_EQ(room->codes, std::vector<std::wstring>{L"12"});
    EXPECT_EQ(std::wstring(laba->GetInput()->GetEditContent().GetData()), L"");
    // The page stays: the click was no navigation.
    EXPECT_NE(std::wstring(web->GetDocumentText().GetData()).find(L"plain"), std::wstring::npos);

    // Alt+F4 does nothing; deactivation hides it and forgets the receiver.
    SendMessageW(picker->GetHWND(), WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpPending();
    EXPECT_TRUE(IsWindow(picker->GetHWND()));
    EXPECT_TRUE(IsWindowVisible(picker->GetHWND()));
    SendMessageW(picker->GetHWND(), WM_ACTIVATE, WA_INACTIVE, 0);
    EXPECT_FALSE(IsWindowVisible(picker->GetHWND()));
    EXPECT_EQ(picker->GetReceiver(), nullptr);

    // Picks from the loudspeaker composer reach its input.
    ShowChatEmotion(laba->GetHWND(), nullptr, laba);
    web->Navigate2(L"clickemotion:3.gif");
    EXPECT_EQ(std::wstring(laba->GetInput()->GetEditContent().GetData()), L"[$3$]");

    // A receiver that goes away detaches itself: a later pick reaches nobody.
    ShowChatEmotion(nullptr, nullptr, room.get());
    room.reset();
    EXPECT_EQ(picker->GetReceiver(), nullptr);
    web->Navigate2(L"clickemotion:4.gif");
    ShowChatEmotion(laba->GetHWND(), nullptr, laba);
    DestroyWindow(laba->GetHWND());
    PumpPending();
    EXPECT_EQ(laba, nullptr) << "the owner slot is cleared";
    EXPECT_EQ(picker->GetReceiver(), nullptr);
    web->Navigate2(L"clickemotion:5.gif");
    SendMessageW(picker->GetHWND(), WM_ACTIVATE, WA_INACTIVE, 0);
}

}  // namespace
