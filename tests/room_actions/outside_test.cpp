// Pages and programs outside the program that the room opens: each either opens or is
// told by one hint line, never silence.
#include <cstring>
#include <cwchar>
#include <string>

#include "StandInOpener.h"
#include "actions_fixture.h"
#include "app/ClientApp.h"
#include "catalogs/GiftManager.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/text.h"

namespace roomtest {
namespace {

using testsupport::StandInOpener;

const wchar_t kNoBrowser[] = L"无法打开网页：没有找到可用的浏览器！";

class OutsideTest : public ActionsTest {
protected:
    void SetUp() override {
        ActionsTest::SetUp();
        EnterStandardRoom();
        if (!theApp.m_pKernel) theApp.Init();
    }
    // Hint lines until one holds `text` (bounded); all of them.
    std::wstring HintsUntil(const wchar_t* text) {
        std::wstring hints;
        Pump([&] {
            hints += NewHints();
            return hints.find(text) != std::wstring::npos;
        });
        return hints;
    }
};

TEST_F(OutsideTest, AWebPageThatCannotBeOpenedIsToldByAHintLine) {
    std::wcscpy(d->m_GlobalConfig.agent_url, L"http://127.0.0.1:9/sales");
    std::wcscpy(d->m_GlobalConfig.usercenter_url, L"http://127.0.0.1:9/center");
    struct Page {
        const char* what;
        const char* address;
        void (*open)(CWndRoom&);
    } pages[] = {
        {"商城", "http://127.0.0.1:9/sales", [](CWndRoom& r) { r.OnAppTileClick(-6); }},
        {"个人中心", "http://127.0.0.1:9/center", [](CWndRoom& r) { r.OnAppTileClick(-5); }},
        {"a chat line's link", "http://example.com/a?b=1",
         [](CWndRoom& r) {
             bool cancel = false;
             r.BeforeNavigate2(r.m_pPubTextOut, L"http://example.com/a?b=1", 0, nullptr, nullptr,
                               nullptr, cancel);
         }},
    };
    struct Opener {
        const char* what;
        StandInOpener::Kind kind;
    } openers[] = {
        {"no opener", StandInOpener::kNone},
        {"no browser", StandInOpener::kFindsNoBrowser},
        {"a browser", StandInOpener::kOpens},
    };
    for (const Page& page : pages) {
        for (const Opener& o : openers) {
            SCOPED_TRACE(std::string(page.what) + ", " + o.what);
            NewHints();
            StandInOpener opener(o.kind);
            page.open(*room);
            if (o.kind == StandInOpener::kNone) {
                // Known at once: nothing was started.
                EXPECT_NE(NewHints().find(kNoBrowser), std::wstring::npos);
                continue;
            }
            ASSERT_TRUE(Pump([&] { return !opener.Opened().empty(); })) << "the opener never ran";
            EXPECT_EQ(opener.Opened(), page.address);
            if (o.kind == StandInOpener::kFindsNoBrowser) {
                const std::wstring hints = HintsUntil(kNoBrowser);
                EXPECT_NE(hints.find(kNoBrowser), std::wstring::npos) << winplat::WideToUtf8(hints);
                // One line for one click.
                EXPECT_EQ(hints.find(kNoBrowser, hints.find(kNoBrowser) + 1), std::wstring::npos);
            } else {
                PumpPending();
                EXPECT_EQ(NewHints().find(kNoBrowser), std::wstring::npos);
            }
        }
    }
}

TEST_F(OutsideTest, MissingOutsideProgramsAreToldByAHintLine) {
    // The program folder of the tests holds neither the game nor the effect players.
    AddGift(5, 100);  // a gift without an animation of its own plays the fireworks
    struct Case {
        const char* what;
        void (*start)(CWndRoom&);
        const wchar_t* hint;
    } cases[] = {
        {"更多游戏", [](CWndRoom& r) { r.LaunchGame(); }, L"无法启动游戏程序：程序不存在！"},
        {"a gift's fireworks",
         [](CWndRoom& r) {
             char payload[64] = {};
             const int32_t gift = 5;
             std::memcpy(payload + 8, &gift, sizeof gift);
             r.OnPlayFireworksNotify(payload);
         },
         L"无法播放礼物特效：特效播放程序不存在！"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        NewHints();
        c.start(*room);
        const std::wstring hints = HintsUntil(c.hint);
        EXPECT_NE(hints.find(c.hint), std::wstring::npos) << winplat::WideToUtf8(hints);
    }
}

}  // namespace
}  // namespace roomtest
