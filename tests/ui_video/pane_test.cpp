// Public panes and pop-up video windows: frames from engine threads painted scaled,
// malformed frames refused, mutes, the volume meter, popping out, closing, zoom and drag.
#include <QTest>
#include <QWidget>

#include <atomic>
#include <thread>

#include "app/SkinTable.h"
#include "room/WndUserPopupVideo.h"
#include "fenlo/UIExtra.h"
#include "room/PopPubVideoContainerUI.h"
#include "room/VideoMessages.h"
#include "video_fixture.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

constexpr uint32_t kRed = 0xE02020, kBlue = 0x2040E0;

bool Near(const QColor& c, uint32_t rgb, int tolerance = 40) {
    return std::abs(c.red() - static_cast<int>((rgb >> 16) & 0xFF)) <= tolerance &&
           std::abs(c.green() - static_cast<int>((rgb >> 8) & 0xFF)) <= tolerance &&
           std::abs(c.blue() - static_cast<int>(rgb & 0xFF)) <= tolerance;
}

CControlUI* Sub(CContainerUI* box, const wchar_t* name) {
    return box ? box->FindSubControl(name) : nullptr;
}

std::vector<char> LoudPcm() {
    std::vector<char> pcm(3840, 0);
    for (size_t i = 0; i + 1 < pcm.size(); i += 4) {
        pcm[i] = 0x00;
        pcm[i + 1] = 0x60;  // 0x6000: a level of 75
    }
    return pcm;
}

}  // namespace

TEST(VideoFrameStoreTest, RefusesFramesThatDoNotHoldTheirSize) {
    struct Case {
        int width, height, size;
        bool kept;
    } cases[] = {
        {320, 240, 320 * 240 * 4, true},
        {320, 240, 320 * 240 * 4 + 100, true},  // longer than needed is fine
        {320, 240, 320 * 240 * 4 - 1, false},   // shorter than w x h x 4
        {0, 240, 1000, false},
        {320, -1, 1000, false},
        {800, 600, 800 * 600 * 4, true},
        {801, 600, 801 * 600 * 4, false},  // over the buffer
        {100000, 100000, 1900000, false},  // w x h x 4 beyond int
        {2, 2, 0, false},
    };
    for (const Case& c : cases) {
        CVideoFrameStore store;
        std::vector<char> data(static_cast<size_t>(std::max(c.size, 1)), 7);
        EXPECT_EQ(store.Put(data.data(), c.size, c.width, c.height), c.kept)
            << c.width << "x" << c.height << " size " << c.size;
        EXPECT_EQ(store.HasFrame(), c.kept);
    }
}

TEST(VideoFrameStoreTest, ScaledCopyStaysInItsBufferForALargeControl) {
    CVideoFrameStore store;
    std::vector<char> frame = TwoColourFrame(320, 240, kRed, kBlue);
    ASSERT_TRUE(store.Put(frame.data(), static_cast<int>(frame.size()), 320, 240));
    // 1200 x 900 x 4 is far beyond the scaled buffer; the copy shrinks, painting stretches.
    EXPECT_TRUE(store.Rescale(1200, 900));
    QImage target(1200, 900, QImage::Format_ARGB32_Premultiplied);
    target.fill(Qt::black);
    QPainter painter(&target);
    HDC dc = winplat::CreatePainterDC(&painter);
    HDRAWDIB dib = DrawDibOpen();
    EXPECT_TRUE(store.Paint(dib, dc, 0, 0, 1200, 900));
    DrawDibClose(dib);
    winplat::DeletePainterDC(dc);
    painter.end();
    EXPECT_TRUE(Near(MeanColour(target, QRect(100, 100, 1000, 300)), kRed));
    EXPECT_TRUE(Near(MeanColour(target, QRect(100, 500, 1000, 300)), kBlue));
}

TEST_F(VideoRoomTest, FramePaintedScaledIntoThePane) {
    panes[1]->SetVideoUser(L"小明(1002)", 1002);
    std::vector<char> frame = TwoColourFrame(320, 240, kRed, kBlue);
    auto* img = Sub(panes[1], L"video_img");
    ASSERT_NE(img, nullptr);
    QRect area = RectOf(img->GetPos());
    ASSERT_TRUE(PushUntilShown(1002, frame, 320, 240, [&] {
        QImage shot = Grab();
        return Near(MeanColour(shot, area.adjusted(4, 4, -4, -area.height() / 2 - 4)), kRed);
    }));
    QImage shot = Grab();
    SaveArtifact(shot, "room_panes.png");
    EXPECT_TRUE(Near(MeanColour(shot, area.adjusted(4, area.height() / 2 + 4, -4, -4)), kBlue));
    // The idle panes beside it stay dark.
    EXPECT_FALSE(Near(MeanColour(shot, RectOf(Sub(panes[0], L"video_img")->GetPos())), kRed));
    EXPECT_EQ(Sub(panes[1], L"video_username")->GetText(), CDuiString(L"小明(1002)"));
    EXPECT_EQ(Sub(panes[0], L"video_username")->GetText(), CDuiString(L"空闲"));
}

TEST_F(VideoRoomTest, FrameForSomeoneNotShownIsDropped) {
    std::vector<char> frame = TwoColourFrame(32, 24, kRed, kRed);
    mgr.DrawUserVideo(4242, frame.data(), static_cast<int>(frame.size()), 32, 24);
    for (CPubVideoContainerUI* pane : panes) EXPECT_FALSE(pane->Frames().HasFrame());
}

TEST_F(VideoRoomTest, MutedPaneTakesNeitherFramesNorLevels) {
    panes[0]->SetVideoUser(L"a(1002)", 1002);
    panes[0]->MuteVideo(true, false, false);
    panes[0]->MuteAudio(true, false, false);
    std::vector<char> frame = TwoColourFrame(32, 24, kRed, kRed);
    std::vector<char> pcm = LoudPcm();
    mgr.DrawUserVideo(1002, frame.data(), static_cast<int>(frame.size()), 32, 24);
    mgr.SetUserVolume(1002, pcm.data(), static_cast<int>(pcm.size()));
    PumpPending();
    EXPECT_FALSE(panes[0]->Frames().HasFrame());
    auto* meter = static_cast<CVolumeLabelUI*>(Sub(panes[0], L"volumeval"));
    EXPECT_EQ(meter->GetVolumeValue(), 0);

    // Unmuted, the level reaches the meter on the user-interface thread.
    panes[0]->MuteAudio(false, false, false);
    mgr.SetUserVolume(1002, pcm.data(), static_cast<int>(pcm.size()));
    EXPECT_TRUE(Pump([&] { return meter->GetVolumeValue() == 75; }));
}

TEST_F(VideoRoomTest, MuteButtonsNotifyTheRoomExceptOnTheOwnPane) {
    panes[0]->SetVideoUser(L"me(1001)", kLocalUserId);
    panes[1]->SetVideoUser(L"b(1002)", 1002);
    for (CPubVideoContainerUI* pane : {panes[0], panes[1]}) pane->ShowToolbar(true);
    PumpPending();
    ClickControl(room->GetHWND(), Sub(panes[0], L"videobtn_2"));
    ClickControl(room->GetHWND(), Sub(panes[1], L"videobtn_2"));
    ClickControl(room->GetHWND(), Sub(panes[1], L"videobtn_1"));
    Pump([&] { return received.size() >= 2; });
    PumpPending();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].first, static_cast<UINT>(UM_MUTE_USER_VIDEO));
    EXPECT_EQ(received[0].second, std::make_pair(WPARAM(1002), LPARAM(1)));
    EXPECT_EQ(received[1].first, static_cast<UINT>(UM_MUTE_USER_AUDIO));
    EXPECT_EQ(panes[0]->IsVideoMuted(), 0);
    EXPECT_EQ(panes[1]->IsVideoMuted(), 1);
    EXPECT_FALSE(Sub(panes[1], L"videobtn_2")->IsVisible());
    EXPECT_TRUE(Sub(panes[1], L"videobtn2_2")->IsVisible());
}

TEST_F(VideoRoomTest, PoppedOutPaneShowsFramesOnlyInItsWindow) {
    panes[1]->SetVideoUser(L"b(1002)", 1002);
    panes[1]->PopOut();
    CWndUserPopupVideo* popup = panes[1]->GetPopup();
    ASSERT_NE(popup, nullptr);
    ASSERT_NE(popup->GetPane(), nullptr);
    EXPECT_EQ(Sub(popup->GetPane(), L"video_username")->GetText(), CDuiString(L"b(1002)"));
    std::vector<char> frame = TwoColourFrame(320, 240, kRed, kBlue);
    auto* img = Sub(popup->GetPane(), L"video_img");
    ASSERT_TRUE(Pump(
        [&] {
            mgr.DrawUserVideo(1002, frame.data(), static_cast<int>(frame.size()), 320, 240);
            PumpPending();
            InvalidateRect(popup->GetHWND(), nullptr, FALSE);
            PumpPending();
            QImage shot = winplat::GrabWindowImage(popup->GetHWND());
            QRect area = RectOf(img->GetPos());
            return !shot.isNull() &&
                   Near(MeanColour(shot, area.adjusted(4, 4, -4, -area.height() / 2 - 4)), kRed);
        },
        5000));
    SaveArtifact(winplat::GrabWindowImage(popup->GetHWND()), "popup_video.png");
    EXPECT_FALSE(panes[1]->Frames().HasFrame());

    // Muting the video in the window closes it, and the pane shows the mute.
    popup->GetPane()->ShowToolbar(true);
    PumpPending();
    ClickControl(popup->GetHWND(), Sub(popup->GetPane(), L"videobtn_2"));
    EXPECT_TRUE(Pump([&] { return panes[1]->GetPopup() == nullptr; }));
    EXPECT_EQ(panes[1]->IsVideoMuted(), 1);
    panes[1]->ShowToolbar(true);
    EXPECT_TRUE(Sub(panes[1], L"videobtn2_2")->IsVisible());
    EXPECT_FALSE(Sub(panes[1], L"videobtn_2")->IsVisible());
}

TEST_F(VideoRoomTest, IdlePaneClosesItsPopup) {
    panes[2]->SetVideoUser(L"c(1003)", 1003);
    panes[2]->PopOut();
    ASSERT_NE(panes[2]->GetPopup(), nullptr);
    panes[2]->SetVideoUser(L"", 0);
    EXPECT_TRUE(Pump([&] { return panes[2]->GetPopup() == nullptr; }));
    EXPECT_EQ(Sub(panes[2], L"video_username")->GetText(), CDuiString(L"空闲"));
    // Popping out an idle pane opens nothing.
    panes[2]->PopOut();
    EXPECT_EQ(panes[2]->GetPopup(), nullptr);

    // Nor does it offer the buttons: nobody is on it to mute or pop out, and the
    // toolbar shown for a member who leaves goes with him.
    panes[1]->SetVideoUser(L"b(1002)", 1002);
    panes[1]->ShowToolbar(true);
    ASSERT_TRUE(Sub(panes[1], L"videotool")->IsVisible());
    panes[1]->SetVideoUser(L"", 0);
    EXPECT_FALSE(Sub(panes[1], L"videotool")->IsVisible());
    panes[2]->ShowToolbar(true);
    EXPECT_FALSE(Sub(panes[2], L"videotool")->IsVisible());
}

// A private window as the room opens it.
static CWndUserPopupVideo* OpenPrivate(CUserVideoWndMgr& mgr, HWND room, int id) {
    auto* wnd = new CWndUserPopupVideo;
    if (!wnd->Create(room, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) return nullptr;
    wnd->SetVideoUser(L"p", id);
    mgr.Add(id, wnd);
    wnd->SetPrivate(1, room);
    wnd->ShowWindow(true, false);
    return wnd;
}

TEST_F(VideoRoomTest, PrivateWindowClosesThroughTheRoomByButtonAndAltF4) {
    enum Way { kCloseButton, kAltF4 };
    for (Way way : {kCloseButton, kAltF4}) {
        received.clear();
        CWndUserPopupVideo* wnd = OpenPrivate(mgr, room->GetHWND(), 2001);
        ASSERT_NE(wnd, nullptr);
        HWND hwnd = wnd->GetHWND();
        if (way == kCloseButton)
            ClickControl(hwnd, wnd->GetPaintManager().FindControl(L"closebtn"));
        else
            PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(Pump([&] { return !IsWindow(hwnd); })) << way;
        ASSERT_EQ(received.size(), 1u) << way;
        EXPECT_EQ(received[0].first, static_cast<UINT>(UM_POPUP_VIDEO_CLOSED));
        EXPECT_EQ(received[0].second.first, WPARAM(2001));
        EXPECT_EQ(mgr.HasWnd(2001), 0) << way;
    }
}

// The window's pane takes the dark colour of the skin in use when it opens.
TEST_F(VideoRoomTest, PaneBackgroundIsTheSkinsDarkColour) {
    const tagSkinInfo* before = g_pCurSkin;
    for (int skinId : {12, 19}) {
        SelectSkin(skinId);
        CWndUserPopupVideo* wnd = OpenPrivate(mgr, room->GetHWND(), 2300 + skinId);
        ASSERT_NE(wnd, nullptr);
        CControlUI* pane = wnd->GetPaintManager().FindControl(L"videopane");
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(pane->GetBkColor(), FindSkin(skinId)->crDark) << skinId;
        mgr.Remove(2300 + skinId);
        wnd->Close(1);
        PumpPending();
    }
    g_pCurSkin = before;
}

TEST_F(VideoRoomTest, WindowDestroyedOtherwiseLeavesTheManager) {
    CWndUserPopupVideo* wnd = OpenPrivate(mgr, room->GetHWND(), 2002);
    ASSERT_NE(wnd, nullptr);
    DestroyWindow(wnd->GetHWND());
    EXPECT_EQ(mgr.HasWnd(2002), 0);
    std::vector<char> frame = TwoColourFrame(8, 8, kRed, kRed);
    mgr.DrawUserVideo(2002, frame.data(), static_cast<int>(frame.size()), 8, 8);  // no crash
}

TEST_F(VideoRoomTest, ZoomStopsAtBothEnds) {
    struct Case {
        int start;
        const wchar_t* button;
        int expected;
    } cases[] = {
        {0, L"btnzoomin", 0}, {5, L"btnzoomout", 5}, {1, L"btnzoomout", 2}, {1, L"btnzoomin", 0}};
    for (const Case& c : cases) {
        CWndUserPopupVideo* wnd = OpenPrivate(mgr, room->GetHWND(), 2100 + c.start);
        ASSERT_NE(wnd, nullptr);
        wnd->SetSizeIndex(c.start);
        ClickControl(wnd->GetHWND(), wnd->GetPaintManager().FindControl(c.button));
        Pump([&] { return wnd->GetSizeIndex() == c.expected; });
        EXPECT_EQ(wnd->GetSizeIndex(), c.expected) << c.start;
        RECT rc;
        GetWindowRect(wnd->GetHWND(), &rc);
        EXPECT_EQ(rc.right - rc.left, CWndUserPopupVideo::kSizes[c.expected].cx);
        EXPECT_EQ(rc.bottom - rc.top, CWndUserPopupVideo::kSizes[c.expected].cy);
        mgr.Remove(2100 + c.start);
        wnd->Close(1);
        PumpPending();
    }
}

TEST_F(VideoRoomTest, BodyDragsTheWindowButtonsDoNot) {
    CWndUserPopupVideo* wnd = OpenPrivate(mgr, room->GetHWND(), 2200);
    ASSERT_NE(wnd, nullptr);
    SetWindowPos(wnd->GetHWND(), nullptr, 100, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    PumpPending();
    QWidget* host = winplat::WidgetOf(wnd->GetHWND());
    ASSERT_NE(host, nullptr);
    CControlUI* img = Sub(wnd->GetPane(), L"video_img");
    CControlUI* zoom = wnd->GetPaintManager().FindControl(L"btnzoomin");
    InvalidateRect(wnd->GetHWND(), nullptr, FALSE);
    Pump([&] { return !IsRectEmpty(&img->GetPos()); });

    auto drag = [&](CControlUI* from) {
        RECT before;
        GetWindowRect(wnd->GetHWND(), &before);
        const RECT& rc = from->GetPos();
        QPoint start((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        QTest::mousePress(host, Qt::LeftButton, Qt::NoModifier, start);
        PumpPending();
        QMouseEvent move(QEvent::MouseMove, QPointF(start + QPoint(30, 20)),
                         QPointF(host->mapToGlobal(start + QPoint(30, 20))), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(host, &move);
        PumpPending();
        QTest::mouseRelease(host, Qt::LeftButton, Qt::NoModifier, start + QPoint(30, 20));
        PumpPending();
        RECT after;
        GetWindowRect(wnd->GetHWND(), &after);
        return QPoint(after.left - before.left, after.top - before.top);
    };
    EXPECT_EQ(drag(img), QPoint(30, 20));
    EXPECT_EQ(drag(zoom), QPoint(0, 0));
}

// Engine threads feed both callbacks fast while the user-interface thread pops out,
// closes, mutes and idles panes: the sanitizer build checks nothing is touched freed.
TEST_F(VideoRoomTest, EngineThreadsAndUserInterfaceRaceSafely) {
    panes[0]->SetVideoUser(L"a(1002)", 1002);
    panes[1]->SetVideoUser(L"b(1003)", 1003);
    std::atomic<bool> stop{false};
    std::thread engine([&] {
        std::vector<char> frame = TwoColourFrame(64, 48, kRed, kBlue);
        std::vector<char> pcm = LoudPcm();
        const int ids[] = {1002, 1003, 3001};
        while (!stop.load()) {
            for (int id : ids) {
                mgr.DrawUserVideo(id, frame.data(), static_cast<int>(frame.size()), 64, 48);
                mgr.SetUserVolume(id, pcm.data(), static_cast<int>(pcm.size()));
            }
        }
    });
    for (int round = 0; round < 15; ++round) {
        panes[0]->PopOut();
        CWndUserPopupVideo* wnd = OpenPrivate(mgr, room->GetHWND(), 3001);
        PumpPending();
        panes[1]->MuteVideo(round % 2 == 0, false, false);
        if (CWndUserPopupVideo* popup = panes[0]->GetPopup()) popup->CloseVideo();
        PumpPending();
        if (wnd) wnd->CloseVideo();
        PumpPending();
        panes[1]->SetVideoUser(L"", 0);
        panes[1]->SetVideoUser(L"b(1003)", 1003);
        mgr.CloseAll();
        PumpPending();
    }
    stop.store(true);
    engine.join();
    PumpPending();
    EXPECT_EQ(mgr.GetCount(), 0);
    EXPECT_EQ(panes[0]->GetPopup(), nullptr);
}
