// The rotating picture: a list of distinct picture names, one shown at a time, the
// next one every five seconds once it runs in a window.
#include <QImage>

#include <memory>
#include <string>
#include <vector>

#include "controls/DialogBuilderCallbackEx.h"
#include "controls/MultiImageUI.h"
#include "picker_fixture.h"
#include "win32/clock.h"
#include "win32gui/qt_bridge.h"

using namespace DuiLib;

namespace {

class MultiImageTest : public UiTest {
protected:
    void TearDown() override {
        winplat::RemoveManualClock();
        UiTest::TearDown();
    }
};

const wchar_t* kWindow =
    L"<Window size=\"120,80\"><VerticalLayout bkcolor=\"#FFFFFFFF\">"
    L"<MultiImage name=\"ads\" width=\"40\" height=\"40\" />"
    L"</VerticalLayout></Window>";

// The accent colours of the three gift pictures used here, as drawn in their middle.
enum Picture { kRed, kBlue, kGreen, kNone };

Picture Seen(HWND hwnd, CControlUI* control) {
    QImage shot = winplat::GrabWindowImage(hwnd);
    if (shot.isNull()) return kNone;
    int counts[3] = {0, 0, 0};
    RECT rc = control->GetPos();
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            QRgb p = shot.pixel(x, y);
            int r = qRed(p), g = qGreen(p), b = qBlue(p);
            if (r > 180 && g < 90 && b < 120) ++counts[kRed];
            if (b > 180 && r < 100) ++counts[kBlue];
            if (g > 130 && r < 90 && b < 120) ++counts[kGreen];
        }
    for (int i = 0; i < 3; ++i)
        if (counts[i] > 30) return static_cast<Picture>(i);
    return kNone;
}

}  // namespace

TEST_F(MultiImageTest, ClassAndInterfaceAnswerOnlyTheirOwnName) {
    CDialogBuilderCallbackEx factory;
    std::unique_ptr<CControlUI> made(factory.CreateControl(L"MultiImage"));
    auto* image = dynamic_cast<CMultiImageUI*>(made.get());
    ASSERT_NE(image, nullptr);
    EXPECT_STREQ(image->GetClass(), L"MultiImageUI");
    EXPECT_EQ(image->GetInterface(L"MultiImageUI"), image);
    EXPECT_EQ(image->GetInterface(L"Control"), nullptr);
    EXPECT_EQ(image->GetInterface(nullptr), nullptr);
}

TEST_F(MultiImageTest, APictureNameIsKeptOnce) {
    struct Case {
        std::vector<const wchar_t*> added;
        int kept;
    };
    const Case cases[] = {
        {{L"logon/111.jpg", L"logon/111.jpg"}, 1},
        {{L"logon/111.jpg", L"logon/222.jpg", L"logon/111.jpg"}, 2},
        {{L"logon/111.jpg", L"LOGON/111.JPG"}, 2},  // names compare exactly
        {{L"logon/111.jpg", nullptr}, 1},
    };
    for (const Case& c : cases) {
        CMultiImageUI image;
        for (const wchar_t* name : c.added) image.AddImage(name);
        EXPECT_EQ(image.GetImageCount(), c.kept) << c.added.size();
    }
}

TEST_F(MultiImageTest, ThreePicturesShowInTurnAtFiveSecondSteps) {
    winplat::InstallManualClock(1000);
    CTestWnd wnd(kWindow);
    ASSERT_TRUE(wnd.Create(nullptr, L"ads", WS_POPUP, 0, 0, 0, 0, 0));
    auto* ads = static_cast<CMultiImageUI*>(wnd.GetPaintManager().FindControl(L"ads"));
    ASSERT_NE(ads, nullptr);
    for (const wchar_t* name : {L"gift/1.png", L"gift/4.png", L"gift/10.png"}) ads->AddImage(name);
    ads->StartTimer();
    wnd.ShowWindow(true, true);
    ASSERT_TRUE(WaitForLayout(wnd.GetHWND(), ads));

    const Picture expected[] = {kRed, kBlue, kGreen, kRed, kBlue};
    for (size_t step = 0; step < 5; ++step) {
        EXPECT_EQ(Seen(wnd.GetHWND(), ads), expected[step]) << "step " << step;
        if (step == 0)
            winplat::GrabWindowToFile(wnd.GetHWND(), MIVORA_ARTIFACT_DIR "multi_image.png");
        int before = ads->GetCurrentIndex();
        // Just short of the period nothing moves.
        winplat::AdvanceManualClock(4999);
        PumpPending();
        EXPECT_EQ(ads->GetCurrentIndex(), before) << "step " << step;
        winplat::AdvanceManualClock(1);
        EXPECT_TRUE(Pump([&] { return ads->GetCurrentIndex() != before; }));
    }
    DestroyWindow(wnd.GetHWND());
}

TEST_F(MultiImageTest, TheIndexWrapsOnlyWhenPaintedSoAHiddenControlGoesOnInTurn) {
    winplat::InstallManualClock(1000);
    CTestWnd wnd(kWindow);
    ASSERT_TRUE(wnd.Create(nullptr, L"ads", WS_POPUP, 0, 0, 0, 0, 0));
    auto* ads = static_cast<CMultiImageUI*>(wnd.GetPaintManager().FindControl(L"ads"));
    for (const wchar_t* name : {L"gift/1.png", L"gift/4.png", L"gift/10.png"}) ads->AddImage(name);
    ads->StartTimer();
    wnd.ShowWindow(true, true);
    ASSERT_TRUE(WaitForLayout(wnd.GetHWND(), ads));
    ads->SetVisible(false);
    // Four periods while hidden: the index runs past the end of the list.
    for (int i = 1; i <= 4; ++i) {
        winplat::AdvanceManualClock(5000);
        ASSERT_TRUE(Pump([&] { return ads->GetCurrentIndex() == i; }));
    }
    ads->SetVisible(true);
    // 4 wraps to 0 when painted: the first picture again.
    EXPECT_EQ(Seen(wnd.GetHWND(), ads), kRed);
    EXPECT_EQ(ads->GetCurrentIndex(), 0);
    DestroyWindow(wnd.GetHWND());
}

TEST_F(MultiImageTest, WithoutAWindowOrPicturesNothingRotatesOrShows) {
    winplat::InstallManualClock(1000);
    CTestWnd wnd(kWindow);
    ASSERT_TRUE(wnd.Create(nullptr, L"ads", WS_POPUP, 0, 0, 0, 0, 0));
    auto* empty = static_cast<CMultiImageUI*>(wnd.GetPaintManager().FindControl(L"ads"));
    empty->StartTimer();
    // Started before it had a manager: no timer, even once it is in the window.
    auto* loose = new CMultiImageUI;
    loose->AddImage(L"gift/1.png");
    loose->AddImage(L"gift/4.png");
    loose->StartTimer();
    loose->SetFixedHeight(40);
    auto* root = static_cast<CContainerUI*>(wnd.GetPaintManager().GetRoot());
    ASSERT_TRUE(root->Add(loose));
    wnd.ShowWindow(true, true);
    ASSERT_TRUE(WaitForLayout(wnd.GetHWND(), loose));
    // An empty list draws nothing over the white background.
    EXPECT_EQ(Seen(wnd.GetHWND(), empty), kNone);
    EXPECT_EQ(Seen(wnd.GetHWND(), loose), kRed);
    for (int i = 0; i < 3; ++i) {
        winplat::AdvanceManualClock(5000);
        Pump([] { return false; }, 100);  // let any due timer arrive
    }
    // The empty one's timer runs; its index wraps back to 0 at every paint.
    Seen(wnd.GetHWND(), empty);
    EXPECT_EQ(empty->GetCurrentIndex(), 0);
    EXPECT_EQ(loose->GetCurrentIndex(), 0);
    EXPECT_EQ(Seen(wnd.GetHWND(), loose), kRed);
    DestroyWindow(wnd.GetHWND());
}
