// The lucky-win banner: how long a line stays and scrolls, the queue, the shake,
// and what a person sees.
#include <QDir>
#include <QImage>

#include <functional>

#include "controls/LuckyMsgBox.h"
#include "ui_fixture.h"
#include "win32/clock.h"
#include "win32gui/qt_bridge.h"

namespace {

const int kLeft = 200, kTop = 300;

class LuckyBoxTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        winplat::InstallManualClock(1000);
        box = new CLuckyMsgBox;
        hwnd = box->Create(nullptr, L"", WS_POPUP | WS_CLIPSIBLINGS,
                           WS_EX_LAYERED | WS_EX_TOOLWINDOW, kLeft, kTop, 586, 34);
        ASSERT_NE(hwnd, nullptr);
        start = GetTickCount();
    }
    void TearDown() override {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);  // the box deletes itself
        winplat::RemoveManualClock();
        UiTest::TearDown();
    }

    // Moves the clock on to `ms` after the start, in steps the timers can follow.
    void At(uint32_t ms) {
        while (GetTickCount() - start < ms) {
            winplat::AdvanceManualClock(10);
            PumpPending();
        }
    }

    QImage Shot() { return winplat::GrabWindowImage(hwnd); }

    CLuckyMsgBox* box = nullptr;
    HWND hwnd = nullptr;
    uint32_t start = 0;
};

// The first row (from the top) with a pixel that passes `is`, right of the margin
// the text leaves; -1 when there is none.
int FirstRow(const QImage& img, const std::function<bool(QRgb)>& is) {
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (is(img.pixel(x, y))) return y;
    return -1;
}
bool Dark(QRgb p) {
    return qAlpha(p) > 128 && qRed(p) + qGreen(p) + qBlue(p) < 150;
}
bool Red(QRgb p) {
    return qAlpha(p) > 128 && qRed(p) > 150 && qGreen(p) < 90 && qBlue(p) < 90;
}
bool Green(QRgb p) {
    return qAlpha(p) > 128 && qGreen(p) > 110 && qRed(p) < 90 && qBlue(p) < 90;
}
bool Blue(QRgb p) {
    return qAlpha(p) > 128 && qBlue(p) > 150 && qRed(p) < 90 && qGreen(p) < 90;
}
bool Has(const QImage& img, bool (*is)(QRgb)) {
    return FirstRow(img, is) >= 0;
}

const wchar_t kRed[] = L"<c #FF0000>RRRR 恭喜红 RRRR</c>";
const wchar_t kGreen[] = L"<c #00C000>GGGG 恭喜绿 GGGG</c>";
const wchar_t kBlue[] = L"<c #0000FF>BBBB 恭喜蓝 BBBB</c>";

TEST_F(LuckyBoxTest, ALineStaysTwoSecondsAndScrollsUpInTheLast) {
    box->Show(L"恭喜 <b>WINNER</b> 送出礼物 获得 500 金币");
    EXPECT_TRUE(IsWindowVisible(hwnd));
    At(500);
    QImage first = Shot();
    ASSERT_FALSE(first.isNull());
    QDir().mkpath(QStringLiteral(MIVORA_ARTIFACT_DIR));
    EXPECT_TRUE(first.save(QStringLiteral(MIVORA_ARTIFACT_DIR "luckybox.png")));
    const int top = FirstRow(first, Dark);
    ASSERT_GT(top, 0) << "the text is drawn inside the banner";

    // What a person sees: the picture's rounded shape, the text right of its margin.
    EXPECT_EQ(qAlpha(first.pixel(0, 0)), 0) << "rounded corner";
    EXPECT_GT(qAlpha(first.pixel(293, 2)), 200);
    QImage margin = first.copy(0, 0, 29, 34);
    EXPECT_FALSE(Has(margin, Dark));

    // The first paint comes with the 40 ms timer, so the line ends 2040 ms after Show.
    struct Case {
        uint32_t at;
        bool visible;
        int shift;  // of the text, in pixels; 1 = not checked
    } cases[] = {
        {1000, true, 0}, {1540, true, -17}, {1790, true, -25}, {2000, true, 1}, {2100, false, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        At(c.at);
        EXPECT_EQ(IsWindowVisible(hwnd) != FALSE, c.visible);
        if (c.shift == 1) continue;
        int row = FirstRow(Shot(), Dark);
        if (top + c.shift >= 0) {
            EXPECT_NEAR(row, top + c.shift, 2);
        } else {
            EXPECT_LE(row, 1);
        }
    }
}

TEST_F(LuckyBoxTest, QueuedLinesShowOneAfterAnother) {
    box->Show(kRed);
    box->Show(kGreen);
    box->Show(kBlue);
    struct Case {
        uint32_t at;
        bool red, green, blue;
    } cases[] = {
        {500, true, false, false},
        {1600, true, true, false},  // the next line comes up from below
        {2600, false, true, false},
        {4600, false, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.at);
        At(c.at);
        QImage img = Shot();
        ASSERT_FALSE(img.isNull());
        EXPECT_EQ(Has(img, Red), c.red);
        EXPECT_EQ(Has(img, Green), c.green);
        EXPECT_EQ(Has(img, Blue), c.blue);
    }
    At(6300);
    EXPECT_FALSE(IsWindowVisible(hwnd));
}

TEST_F(LuckyBoxTest, ThePrizeIconShakesTheBoxUntilAPlainLineComes) {
    box->Show(L"恭喜 <i icon_500.png 1 0> 500 倍");
    for (uint32_t t = 60; t <= 600; t += 60) {
        At(t);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        EXPECT_GE(rc.left, kLeft - 10);
        EXPECT_LE(rc.left, kLeft - 1);
        EXPECT_GE(rc.top, kTop - 10);
        EXPECT_LE(rc.top, kTop - 1);
        EXPECT_EQ(rc.right - rc.left, 586);
    }
    box->Show(kGreen);
    RECT still;
    GetWindowRect(hwnd, &still);
    for (uint32_t t = 660; t <= 1200; t += 60) {
        At(t);
        RECT rc;
        GetWindowRect(hwnd, &rc);
        EXPECT_EQ(rc.left, still.left);
        EXPECT_EQ(rc.top, still.top);
    }
}

TEST_F(LuckyBoxTest, AHiddenBoxDoesNotPaintAndItsLinesExpireOnTheNextPaint) {
    box->Show(kRed);
    At(500);
    ASSERT_TRUE(Has(Shot(), Red));
    ShowWindow(hwnd, SW_HIDE);
    At(4000);
    EXPECT_FALSE(IsWindowVisible(hwnd));
    box->Show(kGreen);
    At(4500);
    QImage img = Shot();
    EXPECT_FALSE(Has(img, Red)) << "the old line ran out while hidden";
    EXPECT_TRUE(Has(img, Green));
    At(6000);
    EXPECT_TRUE(IsWindowVisible(hwnd)) << "the new line has its own two seconds";
}

TEST_F(LuckyBoxTest, HoldsThreeMinutesOfLinesAndTakesMoreOnceSomeHaveShown) {
    // Two seconds a line: 90 lines are three minutes of banner.
    for (int i = 0; i < 500; ++i) box->Show(kRed);
    EXPECT_EQ(box->QueuedLines(), 90u);
    // Once the first line has shown, the next fits again.
    const uint32_t shown = GetTickCount() - start;
    At(shown + 2200);
    ASSERT_EQ(box->QueuedLines(), 89u);
    box->Show(kGreen);
    EXPECT_EQ(box->QueuedLines(), 90u);
    box->Show(kBlue);
    EXPECT_EQ(box->QueuedLines(), 90u);
}

TEST_F(LuckyBoxTest, GoesWithTheRoomThatOwnsIt) {
    auto* room = new CTestWnd(L"<Window size=\"300,200\"><VerticalLayout /></Window>");
    ASSERT_TRUE(room->Create(nullptr, L"room", WS_POPUP, 0, 0, 0, 0, 0));
    auto* owned = new CLuckyMsgBox;
    HWND h = owned->Create(room->GetHWND(), L"", WS_POPUP | WS_CLIPSIBLINGS,
                           WS_EX_LAYERED | WS_EX_TOOLWINDOW, 10, 10, 586, 34);
    ASSERT_NE(h, nullptr);
    owned->Show(kRed);
    owned->Show(kGreen);
    At(100);
    delete room;  // destroys the room window, the box and its queued lines with it
    EXPECT_FALSE(IsWindow(h));
    At(300);
}

}  // namespace
