// What a person sees of the notification lines: the private chat after a gift and a
// microphone change, and the siege strip, saved as screenshots and compared with
// renders of the text they should show.
#include <QImage>

#include <string>

#include "lobby_fixture.h"
#include "notify_fixture.h"
#include "room/NotifyLines.h"
#include "session/CommKernelData.h"
#include "ui_fixture.h"
#include "win32/clock.h"

using namespace DuiLib;

namespace roomtest {
namespace {

// Share of the reference's ink (pixels away from its background) that the shot has ink
// at too, whatever the colour: the same text in another colour still matches.
double InkOverlap(const QImage& shot, const QImage& ref) {
    const QRgb refBg = ref.pixel(ref.width() - 1, ref.height() - 1);
    const QRgb shotBg = shot.pixel(shot.width() - 1, shot.height() - 1);
    int ink = 0, same = 0;
    for (int y = 0; y < ref.height() && y < shot.height(); ++y)
        for (int x = 0; x < ref.width() && x < shot.width(); ++x) {
            if (std::abs(qGray(ref.pixel(x, y)) - qGray(refBg)) < 60) continue;
            ++ink;
            same += std::abs(qGray(shot.pixel(x, y)) - qGray(shotBg)) >= 30;
        }
    return ink < 20 ? 0.0 : static_cast<double>(same) / ink;
}

class LookTest : public NotifyTest {
protected:
    void Show() {
        room->ShowWindow(true, true);
        PumpPending();  // the window maximises itself once shown
        LayOut(room->GetHWND(), room->GetPaintManager());
    }
    CWebBrowserUI* View(const wchar_t* name) {
        return static_cast<CWebBrowserUI*>(room->GetPaintManager().FindControl(name));
    }
    // The view as drawn now: the first grab paints (and lays out) the window at its
    // current size, the second takes the view where that put it.
    QImage Grab(CWebBrowserUI* view) {
        ShotOf(room->GetHWND(), view);
        return ShotOf(room->GetHWND(), view);
    }
    // The view showing `html` alone, as a person sees it.
    QImage Render(CWebBrowserUI* view, const std::wstring& html) {
        view->Clear();
        view->WriteBlock(html.c_str(), 0);
        return Grab(view);
    }
};

TEST_F(LookTest, APrivateChatWithAGiftAndAMicrophoneLine) {
    AddGift(7, L"玫瑰", 100, 0);
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    ClearViews();
    answers::Gift g;
    g.roomId = kRoom;
    g.giverId = kAlice;
    g.receiverId = kMe;
    g.giftId = 7;
    g.count = 10;
    g.giver = "alice";
    g.receiver = "me";
    Play({answers::GiftAnswer(g), answers::MicStateAnswer(kRoom, kBob, kAlice, 1, 0)});
    Show();
    CWebBrowserUI* priv = View(L"privtextout");
    const QImage shot = Grab(priv);
    EXPECT_FALSE(SaveShot(room->GetHWND(), "notify_room").empty());
    shot.save(QString::fromStdString(std::string(MIVORA_ARTIFACT_DIR) + "notify_privtextout.png"));

    // The same words in plain hint lines: links drawn as their names, no markup shown.
    const std::wstring words =
        NotifyLines::kMicHintDiv +
        std::wstring(L"[alice]送给[你]10个 玫瑰,价值 1000 Z币, 【谢 谢】!</DIV>") +
        NotifyLines::kMicHintDiv + L"[alice]被[bob]抱上了公麦。</DIV>";
    const QImage same = Render(priv, words);
    same.save(
        QString::fromStdString(std::string(MIVORA_ARTIFACT_DIR) + "notify_privtextout_ref.png"));
    EXPECT_GT(InkOverlap(shot, same), 0.8);
    const QImage other =
        Render(priv, NotifyLines::kMicHintDiv +
                         std::wstring(L"[bob]送给[alice]99个 礼物,价值 9999 Z币!</DIV>"));
    EXPECT_LT(InkOverlap(shot, other), 0.6);
}

TEST_F(LookTest, TheSiegeStrip) {
    winplat::InstallManualClock(1700000000);
    Join(1, {Member(kAlice, "alice"), Member(kBob, "bob")});
    answers::Siege held;
    held.lordId = kAlice;
    held.ladyId = kBob;
    held.knights = 12;
    held.captureTime = 1700000000 - 3725;
    held.lordAlias = "alice";
    held.ladyAlias = "bob";
    Play({answers::SiegeAnswer(held)});
    // The layout's strip is one 28-pixel line, and the still strip wraps to three: it
    // is opened up to show the whole of it.
    CControlUI* zone = room->GetPaintManager().FindControl(L"zjzone");
    ASSERT_NE(zone, nullptr);
    zone->SetFixedHeight(84);
    Show();
    CWebBrowserUI* strip = View(L"siegetextout");
    ASSERT_NE(strip, nullptr);
    strip->Clear();
    room->RedrawSiegeStrip();
    LayOut(room->GetHWND(), room->GetPaintManager());
    const QImage shot = Grab(strip);
    shot.save(QString::fromStdString(std::string(MIVORA_ARTIFACT_DIR) + "notify_siegetextout.png"));

    const QImage same = Render(strip,
                               L"<FONT style=\"FONT-SIZE: "
                               L"18px\">恭喜alice(501)用<B>12个骑兵</"
                               L"B>攻下了主城送给bob(502),他们成为了城主和城主夫人!(成功守城:<B>"
                               L"0天1小时2分钟5秒</B>)</FONT>");
    same.save(
        QString::fromStdString(std::string(MIVORA_ARTIFACT_DIR) + "notify_siegetextout_ref.png"));
    EXPECT_GT(InkOverlap(shot, same), 0.8);
    const QImage other = Render(
        strip, L"<FONT style=\"FONT-SIZE: 18px\">当前城主之位空缺,欢迎使用 骑兵 进行攻城。</FONT>");
    EXPECT_LT(InkOverlap(shot, other), 0.6);
}

// A member with an entrance effect comes in: the public chat shows the banner's
// picture (the skin's own) with the yellow greeting on it.
TEST_F(LookTest, AnEntranceBannerShowsItsPictureWithTheGreeting) {
    Join(1, {});
    Show();
    CWebBrowserUI* pub = View(L"pubtextout");
    ASSERT_NE(pub, nullptr);
    // The whole banner (158 pixels) fits in a window of this size.
    ::SetWindowPos(room->GetHWND(), nullptr, 0, 0, 1200, 900, SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(kerneltest::Pump([&] {
        LayOut(room->GetHWND(), room->GetPaintManager());
        return pub->GetPos().bottom - pub->GetPos().top >= 200;
    })) << pub->GetPos().bottom - pub->GetPos().top;
    pub->Clear();
    // The program folder is the one holding this skin.
    std::wstring skin = MIVORA_SKIN_DIR;
    skin.resize(skin.size() - std::wstring(L"/skin/MVChat/").size());
    const std::wstring appPath(d->m_szAppPath);
    wcsncpy(d->m_szAppPath, skin.c_str(), 255);
    answers::UserEntry alice = Member(kAlice, "alice");
    alice.entranceEffects = 1u << 4;  // banner 5
    Play({answers::UserEnterAnswer(alice)});
    wcsncpy(d->m_szAppPath, appPath.c_str(), 255);
    LayOut(room->GetHWND(), room->GetPaintManager());
    const QImage shot = Grab(pub);
    shot.save(
        QString::fromStdString(std::string(MIVORA_ARTIFACT_DIR) + "notify_entrance_banner.png"));
    // The banner's night sky (dark blue) fills a band of the view; the greeting is
    // yellow on it.
    int skyRows = 0, yellow = 0;
    for (int y = 0; y < shot.height(); ++y) {
        int sky = 0;
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            sky += c.blue() > c.red() + 20 && c.blue() < 140 && c.red() < 80;
            yellow += c.red() > 200 && c.green() > 200 && c.blue() < 80;
        }
        skyRows += sky > shot.width() / 2;
    }
    EXPECT_GT(skyRows, 80) << "no banner picture on screen";
    EXPECT_GT(yellow, 30) << "no greeting on the banner";
}

}  // namespace
}  // namespace roomtest
