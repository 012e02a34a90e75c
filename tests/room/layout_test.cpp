// The room window's layout by room kind and how it follows the window's size.
#include <algorithm>
#include <string>

#include "controls/CtrlListFriend.h"
#include "controls/LuckyMsgBox.h"
#include "room_fixture.h"
#include "ui_fixture.h"

using namespace DuiLib;

namespace roomtest {
namespace {

RECT ChildRect(HWND parent, HWND child) {
    RECT rc{};
    ::GetWindowRect(child, &rc);
    POINT tl{rc.left, rc.top}, br{rc.right, rc.bottom};
    ::ScreenToClient(parent, &tl);
    ::ScreenToClient(parent, &br);
    return RECT{tl.x, tl.y, br.x, br.y};
}

class LayoutTest : public RoomTest {};

// The three public panes lie side by side, in order, inside the video zone, each of the
// given size (a width of 0: any width above 0).
void ExpectPanesInsideZone(CPaintManagerUI& pm, int paneWidth, int paneHeight) {
    const RECT z = pm.FindControl(L"videozone")->GetPos();
    int left = z.left;
    for (const wchar_t* name : {L"pubvideo1", L"pubvideo2", L"pubvideo3"}) {
        SCOPED_TRACE(testing::Message() << winplat::WideToUtf8(name));
        const RECT p = pm.FindControl(name)->GetPos();
        if (paneWidth > 0)
            EXPECT_EQ(p.right - p.left, paneWidth);
        else
            EXPECT_GT(p.right - p.left, 0);
        EXPECT_EQ(p.bottom - p.top, paneHeight);
        EXPECT_GE(p.left, left);  // right of the zone's edge or of the pane before
        EXPECT_LE(p.right, z.right);
        EXPECT_GE(p.top, z.top);
        EXPECT_LE(p.bottom, z.bottom);
        left = p.right;
    }
}

TEST_F(LayoutTest, EveryKindBuildsItsLayoutAndAnUnknownKindTheStandardOne) {
    struct Case {
        int kind;
        int shownAs;
        bool fourTabs;  // the four-list kind has all four list tabs
        int inputX;
    } cases[] = {
        {1, 1, false, 226},
        {2, 2, false, 226},
        {31, 31, true, 270},
        {7, 1, false, 226},  // a type this program has no layout for
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        EnterRoom(c.kind, {Member(kAlice, "alice")});
        EXPECT_EQ(room->GetRoomKind(), c.shownAs);
        for (const wchar_t* name : {L"winBG", L"btnclose", L"roomuserlist", L"roommgrlist",
                                    L"waitmiclist", L"onmiclist", L"pubtextout", L"privtextout",
                                    L"labazone", L"chatusercombo", L"giftusercombo", L"roomctrl"})
            EXPECT_NE(room->GetPaintManager().FindControl(name), nullptr) << name;
        EXPECT_EQ(room->GetPaintManager().FindControl(L"apcusersel") != nullptr, c.fourTabs);
        EXPECT_EQ(room->GetPaintManager().FindControl(L"videozone") != nullptr, c.kind != 2);
        ASSERT_NE(room->GetLuckyMsgBox(), nullptr);
        const RECT input = ChildRect(room->GetHWND(), room->GetChatInput().GetHWND());
        EXPECT_EQ(input.left, c.inputX);
        EXPECT_EQ(input.bottom - input.top, 45);
        CloseRoomWindow();
    }
}

TEST_F(LayoutTest, GiftNoticesAreBoundByTheLargestCountOfTheLayoutsList) {
    // Every layout's count list ends at 1314; the bound follows the list, not the code.
    for (int kind : {1, 2, 31}) {
        SCOPED_TRACE(kind);
        EnterRoom(kind, {Member(kAlice, "alice")});
        EXPECT_EQ(room->GetLargestGiftCount(), 1314);
        auto* combo = static_cast<CComboUI*>(room->GetPaintManager().FindControl(L"giftnumcombo"));
        ASSERT_NE(combo, nullptr);
        for (const wchar_t* text : {L"3000", L"很多", L""}) {
            auto* item = new CListLabelElementUI;
            item->SetText(text);
            combo->Add(item);
        }
        EXPECT_EQ(room->GetLargestGiftCount(), 3000) << "a text that is no count is passed over";
        CloseRoomWindow();
    }
}

TEST_F(LayoutTest, VideoZoneFollowsTheClientWidthWhenMaximised) {
    EnterRoom(1, {});
    CControlUI* zone = room->GetPaintManager().FindControl(L"videozone");
    ASSERT_NE(zone, nullptr);
    // Not maximised and wide enough for three: the panes keep 200 x 150.
    ::SetWindowPos(room->GetHWND(), nullptr, 0, 0, 1200, 700, SWP_NOZORDER);
    EXPECT_EQ(zone->GetFixedHeight(), 170);

    room->SendMessageW(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    PumpPending();
    RECT rc;
    ::GetClientRect(room->GetHWND(), &rc);
    const int zoneWidth = rc.right - 403;
    int paneHeight = 4 * (zoneWidth / 12) * 3 / 4;
    if (paneHeight > 240) paneHeight = 240;
    EXPECT_EQ(zone->GetFixedHeight(), paneHeight + 20);
    EXPECT_TRUE(room->GetPaintManager().FindControl(L"btnrestore")->IsVisible());
    EXPECT_FALSE(room->GetPaintManager().FindControl(L"btnmax")->IsVisible());
}

TEST_F(LayoutTest, PaneSizesFollowTheClientWidthAndTheThreePanesFitTheZone) {
    struct Case {
        int clientWidth;
        bool maximised;
        int zoneWidth, paneWidth, paneHeight;
        bool onWindow;  // a room window of this width shows the panes in its zone
    } cases[] = {
        {800, false, 397, 132, 99, true},  // the smallest size: three 200-px would not fit
        {1000, false, 597, 196, 147, true},  {1024, false, 621, 200, 150, true},
        {1920, false, 1517, 200, 150, true}, {800, true, 397, 132, 99, true},
        {1024, true, 621, 204, 153, true},   {1280, true, 877, 292, 219, true},
        {1366, true, 963, 320, 240, true},  // capped at 240
        {1920, true, 1517, 320, 240, true},  {403, true, 0, 0, 0, false},
        {300, true, 0, 0, 0, false},  // narrower than the side columns
        {-5, true, 0, 0, 0, false},
    };
    EnterRoom(1, {});
    CPaintManagerUI& pm = room->GetPaintManager();
    CControlUI* zone = pm.FindControl(L"videozone");
    ASSERT_NE(zone, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.clientWidth << (c.maximised ? " maximised" : ""));
        const CWndRoom::VideoLayout v = CWndRoom::ComputeVideoLayout(c.clientWidth, c.maximised);
        EXPECT_EQ(v.zoneWidth, c.zoneWidth);
        EXPECT_EQ(v.paneWidth, c.paneWidth);
        EXPECT_EQ(v.paneHeight, c.paneHeight);
        if (!c.onWindow) continue;

        // The window at that client width with the panes sized as the resize would
        // size them; the skin's columns must leave the zone wide enough.
        ::SetWindowPos(room->GetHWND(), nullptr, 0, 0, c.clientWidth, 700, SWP_NOZORDER);
        RECT client;
        ::GetClientRect(room->GetHWND(), &client);
        ASSERT_EQ(client.right, c.clientWidth);
        zone->SetFixedHeight(v.paneHeight + 20);
        for (const wchar_t* name : {L"pubvideo1", L"pubvideo2", L"pubvideo3"})
            pm.FindControl(name)->SetFixedWidth(v.paneWidth);
        pm.GetRoot()->SetPos(client);

        EXPECT_GE(zone->GetPos().right - zone->GetPos().left, v.zoneWidth);
        ExpectPanesInsideZone(pm, v.paneWidth, v.paneHeight);
    }
}

TEST_F(LayoutTest, TheWindowsResizeFitsTheThreePanesIntoTheZoneKeepingTheirShape) {
    struct Case {
        int width, height;
        bool maximise;
    } cases[] = {
        {800, 600, false},  // the smallest: three 200-px panes would hide the third
        {900, 650, false},   {1200, 700, false},
        {1920, 1000, false}, {800, 600, true},  // maximised on the screen, whatever it is
    };
    EnterRoom(1, {});
    const HWND hwnd = room->GetHWND();
    CPaintManagerUI& pm = room->GetPaintManager();
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.width << "x" << c.height << (c.maximise ? " maximised" : ""));
        ::ShowWindow(hwnd, SW_RESTORE);
        ::SetWindowPos(hwnd, nullptr, 0, 0, c.width, c.height, SWP_NOZORDER);
        if (c.maximise) ::ShowWindow(hwnd, SW_MAXIMIZE);
        ASSERT_TRUE(WaitRelaidOut(hwnd, pm.FindControl(L"pubvideo3")));
        const RECT z = pm.FindControl(L"videozone")->GetPos();
        int left = z.left;
        for (const wchar_t* name : {L"pubvideo1", L"pubvideo2", L"pubvideo3"}) {
            SCOPED_TRACE(winplat::WideToUtf8(name));
            CControlUI* pane = pm.FindControl(name);
            const RECT p = pane->GetPos();
            const int w = p.right - p.left, h = p.bottom - p.top;
            EXPECT_TRUE(pane->IsVisible());
            EXPECT_GT(w, 0);
            EXPECT_EQ(w * 3, h * 4) << w << "x" << h;
            EXPECT_LE(w, c.maximise ? 320 : 200);
            EXPECT_GE(p.left, left);
            EXPECT_LE(p.right, z.right);
            EXPECT_GE(p.top, z.top);
            EXPECT_LE(p.bottom, z.bottom);
            left = p.right;
        }
    }
}

TEST_F(LayoutTest, FourListKindKeepsItsThreePanesInsideTheZoneAtAnyWidth) {
    EnterRoom(31, {});
    CPaintManagerUI& pm = room->GetPaintManager();
    for (int width : {800, 1024, 1280, 1920}) {
        SCOPED_TRACE(width);
        ::SetWindowPos(room->GetHWND(), nullptr, 0, 0, width, 700, SWP_NOZORDER);
        RECT client;
        ::GetClientRect(room->GetHWND(), &client);
        pm.GetRoot()->SetPos(client);
        ExpectPanesInsideZone(pm, 0, 192);
        // Never wider than the pane's 4:3 picture.
        const RECT first = pm.FindControl(L"pubvideo1")->GetPos();
        EXPECT_LE(first.right - first.left, 256);
    }
}

TEST(RoomLayoutMaths, ChatInputStartsAt226Or270AndKeepsAWidthOfZeroAtLeast) {
    struct Case {
        int kind;
        RECT client;
        RECT expected;  // x, y, width, height
    } cases[] = {
        {1, {0, 0, 800, 600}, {226, 550, 304, 45}},  {2, {0, 0, 1024, 700}, {226, 650, 528, 45}},
        {31, {0, 0, 800, 600}, {270, 550, 195, 45}}, {1, {0, 0, 300, 200}, {226, 150, 0, 45}},
        {31, {0, 0, 500, 200}, {270, 150, 0, 45}},
    };
    for (const Case& c : cases) {
        const RECT r = CWndRoom::ComputeChatInputRect(c.kind, c.client);
        EXPECT_EQ(r.left, c.expected.left);
        EXPECT_EQ(r.top, c.expected.top);
        EXPECT_EQ(r.right, c.expected.right);
        EXPECT_EQ(r.bottom, c.expected.bottom);
    }
}

}  // namespace
}  // namespace roomtest
