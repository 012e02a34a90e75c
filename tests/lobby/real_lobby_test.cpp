// The lobby on a real X display (xvfb-run, QT_QPA_PLATFORM=xcb, MIVORA_REAL_DISPLAY=1),
// clicked by the X pointer as a person clicks it: the skin button, the page tabs and the
// group tree's marks. Screenshots go to the artifact folder. Skipped otherwise.
#include <QColor>
#include <QImage>
#include <QWidget>
#include <QWindow>

#include <cstring>
#include <memory>
#include <string>

#include "app/ClientApp.h"
#include "dialogs/WndSelSkin.h"
#include "http_test_server.h"
#include "kernel/CommKernel.h"
#include "controls/RoomGroupTreeUI.h"
#include "lobby/WndLobby.h"
#include "lobby_fixture.h"
#include "model/RoomGroupManager.h"
#include "model/UserManager.h"
#include "real_display.h"
#include "session/CommKernelData.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;
namespace rd = realdisplay;
using testsupport::HttpTestServer;

namespace {

constexpr int kMe = 10001;

class RealLobby : public LobbyTest {
protected:
    void SetUp() override {
        LobbyTest::SetUp();
        if (!rd::Wanted()) GTEST_SKIP() << "set MIVORA_REAL_DISPLAY=1 under an X server";
        http = std::make_unique<HttpTestServer>();
        http->serveBody("/hall.php", "<html><body>hall</body></html>");
        http->serveBody("/roomlist.php", "<html><body>rooms</body></html>");
        SetUrl(d->m_GlobalConfig.roomlist_url, http->url("/roomlist.php"));
        SetUrl(d->m_GlobalConfig.dating_url, http->url("/hall.php"));
        CUserObj* me = d->GetLocalUser();
        me->ClearData();
        me->userId = kMe;
        me->levels[0] = 3;
        me->alias = "real";
        if (!d->m_pUserManager->FindUser(kMe)) d->m_pUserManager->AddUser(me);
        d->m_pRoomGroupManager->ClearData();
        AddGroup(1, 0, "语音大厅");
        AddGroup(2, 1, "新手区");
        AddGroup(3, 0, "音乐大厅");
        AddGroup(4, 3, "歌手区");
        d->m_pRoomGroupManager->CalcRoomGroupUserNum();

        lobby = new CWndLobby;
        ASSERT_TRUE(lobby->Create(nullptr, L"Mivora大厅窗口", 0x10CF0000, 0, 0, 0, 1024, 725));
        k->m_pWndTable[1] = lobby;
        ASSERT_TRUE(
            Pump([&] { return lobby->GetTree() && lobby->GetTree()->GetCount() == 4; }, 10000));
        LayOut(lobby->GetHWND(), lobby->GetPaintManager());
        Settle();
    }
    void TearDown() override {
        if (theApp.m_pWndSelSkin) DestroyWindow(theApp.m_pWndSelSkin->GetHWND());
        if (lobby && IsWindow(lobby->GetHWND())) DestroyWindow(lobby->GetHWND());
        PumpPending();
        k->m_pWndTable[1] = nullptr;
        d->m_pUserManager->ClearData();
        LobbyTest::TearDown();
    }
    static void SetUrl(wchar_t* field, const std::string& url) {
        std::wstring w(url.begin(), url.end());
        std::wcsncpy(field, w.c_str(), 255);
    }
    void AddGroup(int id, int parent, const char* utf8Name) {
        tag_RoomGroupData g = {};
        g.groupId = id;
        g.parentId = parent;
        g.userNum = 3;
        g.showCount = 1;
        std::string name = winplat::WideToAnsi(winplat::Utf8ToWide(utf8Name), 936);
        std::strncpy(g.groupName, name.c_str(), sizeof(g.groupName) - 1);
        std::strncpy(g.groupAddress, "R", sizeof(g.groupAddress) - 1);
        d->m_pRoomGroupManager->AddRoomGroupData(&g);
    }
    // Lets what was clicked reach the screen.
    static void Settle() { rd::SettleScreen(); }
    CControlUI* Find(const wchar_t* name) { return lobby->GetPaintManager().FindControl(name); }
    // Shown and laid out with a size of its own.
    static bool OnStrip(CControlUI* c) { return c && c->IsVisible() && !IsRectEmpty(&c->GetPos()); }
    static bool Selected(CControlUI* c) {
        auto* option = c ? static_cast<COptionUI*>(c->GetInterface(L"Option")) : nullptr;
        return option && option->IsSelected();
    }
    CControlUI* Row(int groupId) { return lobby->GetTree()->FindNodeById(groupId)->data().row; }
    void Click(CControlUI* c, int button = 1) {
        InvalidateRect(lobby->GetHWND(), nullptr, FALSE);
        Settle();
        rd::ClickControl(lobby->GetHWND(), c, button);
    }

    std::unique_ptr<HttpTestServer> http;
    CWndLobby* lobby = nullptr;
};

// A picture's share of pixels unlike its first one: text or a mark drawn on a plain ground.
double Ink(const QImage& img) {
    if (img.isNull()) return 0;
    const QRgb bg = img.pixel(0, 0);
    long ink = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (std::abs(qGray(img.pixel(x, y)) - qGray(bg)) > 40) ++ink;
    return static_cast<double>(ink) / (static_cast<double>(img.width()) * img.height());
}

TEST_F(RealLobby, SkinButtonOpensTheChooserOnScreen) {
    ASSERT_EQ(theApp.m_pWndSelSkin, nullptr);
    Click(Find(L"selskin"));
    ASSERT_TRUE(Pump([] { return theApp.m_pWndSelSkin != nullptr; }, 5000))
        << "no chooser was made";
    HWND chooser = theApp.m_pWndSelSkin->GetHWND();
    ASSERT_TRUE(Pump([&] { return rd::OnScreen(chooser); }, 5000))
        << "the chooser has no window on screen";
    QWidget* shown = winplat::WidgetOf(chooser);
    Settle();
    const QImage screen = rd::GrabScreen(MIVORA_ARTIFACT_DIR, "lobby-skin-chooser");
    RECT rc;
    GetWindowRect(chooser, &rc);
    EXPECT_GT(rc.right - rc.left, 100);
    // What the X server shows where the chooser is: its own picture, not the lobby's.
    const QImage own = shown->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QImage there = screen.copy(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top)
                             .convertToFormat(QImage::Format_RGB32);
    EXPECT_LT(rd::Difference(own.scaled(there.size()), there), 0.1);

    // Closed and asked again: the same window comes back.
    ShowWindow(chooser, SW_HIDE);
    Settle();
    Click(Find(L"selskin"));
    EXPECT_TRUE(Pump([&] { return IsWindowVisible(chooser) != FALSE; }, 5000));
    EXPECT_EQ(theApp.m_pWndSelSkin->GetHWND(), chooser);
}

TEST_F(RealLobby, HallTabStaysBesideTheGroupTabUntilItCloses) {
    CControlUI* hall = Find(L"hallswitch");
    CControlUI* group = Find(L"roomswitch");
    ASSERT_TRUE(OnStrip(hall));
    ASSERT_FALSE(OnStrip(group));

    Click(Row(1));
    ASSERT_TRUE(Pump([&] { return OnStrip(group) && Selected(group); }, 5000));
    Settle();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "lobby-tabs-after-group");
    EXPECT_TRUE(OnStrip(hall)) << "the hall tab went with the first group click";
    EXPECT_GT(Ink(ShotOf(lobby->GetHWND(), hall)), 0.01) << "the hall tab's text is not drawn";
    EXPECT_GT(Ink(ShotOf(lobby->GetHWND(), group)), 0.01);

    // Back to the hall and again to the group: both tabs stay.
    Click(hall);
    ASSERT_TRUE(Pump([&] { return Selected(hall); }, 5000));
    EXPECT_TRUE(Find(L"ielobby")->IsVisible());
    EXPECT_TRUE(OnStrip(group));
    Click(group);
    ASSERT_TRUE(Pump([&] { return Selected(group); }, 5000));
    EXPECT_TRUE(OnStrip(hall));

    Click(Find(L"roomswclosebtn"));
    ASSERT_TRUE(Pump([&] { return !group->IsVisible(); }, 5000));
    Settle();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "lobby-tabs-after-close");
    EXPECT_TRUE(OnStrip(hall)) << "the strip is empty after the group tab closed";
    EXPECT_TRUE(Selected(hall));
    EXPECT_GT(Ink(ShotOf(lobby->GetHWND(), hall)), 0.01);
    EXPECT_TRUE(Find(L"ielobby")->IsVisible());
}

// The bounding box of the expander mark in a row's first 60 pixels: the pixels of the
// mark's blue, in the screenshot of the row.
QRect MarkBox(const QImage& row) {
    QRect box;
    for (int y = 0; y < row.height(); ++y)
        for (int x = 0; x < std::min(60, row.width()); ++x) {
            const QColor c = row.pixelColor(x, y);
            if (c.blue() > 150 && c.red() < 90 && c.green() > 100 && c.green() < 160)
                box |= QRect(x, y, 1, 1);
        }
    return box;
}

TEST_F(RealLobby, OpenAndClosedGroupsShowDifferentMarks) {
    // Both groups start open; a click on the second closes it.
    Click(Row(3));
    ASSERT_TRUE(Pump([&] { return !lobby->GetTree()->FindNodeById(3)->data().expanded; }, 5000));
    ASSERT_TRUE(lobby->GetTree()->FindNodeById(1)->data().expanded);
    rd::RunTool({"xdotool", "mousemove", "0", "0"});  // no row under the pointer
    Settle();
    rd::GrabScreen(MIVORA_ARTIFACT_DIR, "lobby-tree-marks");
    const QImage open = ShotOf(lobby->GetHWND(), Row(1));
    const QImage closed = ShotOf(lobby->GetHWND(), Row(3));
    const QRect openBox = MarkBox(open), closedBox = MarkBox(closed);
    ASSERT_FALSE(openBox.isEmpty()) << "no mark on the open group";
    ASSERT_FALSE(closedBox.isEmpty()) << "no mark on the closed group";
    // One mark each, not the whole strip of marks.
    EXPECT_LE(openBox.width(), 12);
    EXPECT_LE(closedBox.width(), 12);
    ASSERT_EQ(openBox.size(), closedBox.size());
    EXPECT_GT(rd::Difference(open.copy(openBox), closed.copy(closedBox)), 0.05)
        << "open and closed groups draw the same mark";
}

}  // namespace
