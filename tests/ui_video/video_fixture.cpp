#include "video_fixture.h"

#include <QDir>

#include "room/WndUserPopupVideo.h"
#include "kernel/CommKernel.h"
#include "room/VideoMessages.h"
#include "session/CommKernelData.h"
#include "win32gui/qt_bridge.h"

std::vector<char> TwoColourFrame(int width, int height, uint32_t top, uint32_t bottom) {
    std::vector<char> frame(static_cast<size_t>(width) * height * 4);
    for (int row = 0; row < height; ++row) {
        // Bottom-up: the first stored row is the bottom of the picture.
        const uint32_t c = row < height / 2 ? bottom : top;
        for (int x = 0; x < width; ++x) {
            char* p = &frame[(static_cast<size_t>(row) * width + x) * 4];
            p[0] = static_cast<char>(c & 0xFF);
            p[1] = static_cast<char>((c >> 8) & 0xFF);
            p[2] = static_cast<char>((c >> 16) & 0xFF);
            p[3] = static_cast<char>(0xFF);
        }
    }
    return frame;
}

QColor MeanColour(const QImage& img, const QRect& rect) {
    long long r = 0, g = 0, b = 0, n = 0;
    const QRect area = rect.intersected(img.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            QRgb p = img.pixel(x, y);
            r += qRed(p);
            g += qGreen(p);
            b += qBlue(p);
            ++n;
        }
    if (n == 0) return QColor();
    return QColor(static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(b / n));
}

QRect RectOf(const RECT& rc) {
    return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

void SaveArtifact(const QImage& img, const char* name) {
    QDir().mkpath(MIVORA_ARTIFACT_DIR);
    img.save(QString(MIVORA_ARTIFACT_DIR) + name);
}

void VideoRoomTest::SetUp() {
    UiTest::SetUp();
    CCommKernel* k = CCommKernel::GetInstance();
    if (!k->m_pData) k->m_pData = new CCommKernelData();
    k->m_pData->GetLocalUser()->userId = kLocalUserId;
    room = std::make_unique<CTestWnd>(
        L"<Window size=\"660,220\"><HorizontalLayout bkcolor=\"#FFFFFFFF\" inset=\"4,4,4,4\" "
        L"childpadding=\"4\"><PubVideo name=\"pubvideo0\" /><PubVideo name=\"pubvideo1\" />"
        L"<PubVideo name=\"pubvideo2\" /></HorizontalLayout></Window>");
    room->onExtra = [this](UINT m, WPARAM w, LPARAM l, BOOL& handled) -> LRESULT {
        handled = FALSE;
        if (m == UM_VIDEO_FRAME_READY) {
            for (CPubVideoContainerUI* pane : panes)
                if (l == reinterpret_cast<LPARAM>(static_cast<DuiLib::CControlUI*>(pane)))
                    pane->RefreshVideo();
            handled = TRUE;
        } else if (m == UM_POPUP_VIDEO_CLOSED) {
            // What the room does: end the member's media, then close his window.
            received.push_back({m, {w, l}});
            if (CWndUserPopupVideo* wnd = mgr.Remove(static_cast<int>(w))) wnd->Close(1);
            handled = TRUE;
        } else if (m == UM_MUTE_USER_AUDIO || m == UM_MUTE_USER_VIDEO || m == UM_PANE_QUICK_GIFT ||
                   m == UM_SELECT_TARGET_USER) {
            received.push_back({m, {w, l}});
            handled = TRUE;
        }
        return 0;
    };
    // As the room window does: the panes see every notification first.
    room->onNotify = [this](DuiLib::TNotifyUI& msg) {
        for (CPubVideoContainerUI* pane : panes)
            if (pane && pane->HandleNotify(msg)) return;
    };
    ASSERT_TRUE(room->Create(nullptr, L"room", WS_POPUP, 0, 40, 40, 660, 220));
    room->ShowWindow(true, false);
    dib = DrawDibOpen();
    for (int i = 0; i < 3; ++i) {
        wchar_t name[16];
        swprintf(name, 16, L"pubvideo%d", i);
        DuiLib::CControlUI* c = room->GetPaintManager().FindControl(name);
        ASSERT_NE(c, nullptr);
        panes[i] = static_cast<CPubVideoContainerUI*>(c->GetInterface(L"PubVideo"));
        ASSERT_NE(panes[i], nullptr);
        ASSERT_TRUE(panes[i]->Build(L"publicvideownd.xml"));
        panes[i]->SetOwnerValue(room->GetHWND());
        panes[i]->SetDrawDib(dib);
    }
    mgr.SetPublicPanes(panes);
    InvalidateRect(room->GetHWND(), nullptr, FALSE);
    Pump([&] { return !IsRectEmpty(&panes[2]->GetPos()); });
}

void VideoRoomTest::TearDown() {
    for (CPubVideoContainerUI* pane : panes)
        if (pane) pane->SetVideoUser(L"", 0);
    mgr.CloseAll();
    PumpPending();
    room.reset();
    DrawDibClose(dib);
    UiTest::TearDown();
}

QImage VideoRoomTest::Grab() {
    InvalidateRect(room->GetHWND(), nullptr, FALSE);
    PumpPending();
    return winplat::GrabWindowImage(room->GetHWND());
}

bool VideoRoomTest::PushUntilShown(int userId, const std::vector<char>& frame, int w, int h,
                                   const std::function<bool()>& shown) {
    return Pump(
        [&] {
            mgr.DrawUserVideo(userId, const_cast<char*>(frame.data()),
                              static_cast<int>(frame.size()), w, h);
            PumpPending();
            return shown();
        },
        5000);
}
