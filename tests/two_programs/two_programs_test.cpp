// Two real programs meet in the local world (build/tools/localworld on free ports):
// 10001 on the test's display, 10002 on a virtual display of its own, each from its
// own copy of the laid-out program folder with its own per-user folders, the
// test-pattern camera and a test tone as its microphone (10001 440 Hz, 10002
// 660 Hz). A pointer and a keyboard from outside do what a person would: log on,
// join room 1001, a line each way, 10002 on a microphone, a gift, a kick; the
// checks read the screens and the world's log. Screenshots of every step go to the
// artifacts; both programs close and the world ends with 0.
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "display.h"
#include "processes.h"
#include "program_session.h"

namespace twoprograms {
namespace {

namespace fs = std::filesystem;
using std::chrono::seconds;

// The width of the ink of `text` in the skin's face at `pixels`.
int TextWidth(const char* text, int pixels) {
    static int argc = 3;
    static char arg0[] = "test", arg1[] = "-platform", arg2[] = "offscreen";
    static char* argv[] = {arg0, arg1, arg2, nullptr};
    static QGuiApplication fonts(argc, argv);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(pixels);
    return QFontMetrics(font).tightBoundingRect(QString::fromUtf8(text)).width();
}

class TwoProgramsTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* display = std::getenv("DISPLAY");
        if (!display || !*display) GTEST_SKIP() << "no X display (CTest runs this on Xvfb)";
        if (!fs::exists(MIVORA_BINARY_DIR "/program/mivora"))
            GTEST_SKIP() << "the program folder (build/program) is not built";
        char pattern[] = "/tmp/mivora-two-programs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work = pattern;
        // Qt's own per-user folder, for the screen grabs.
        fs::create_directories(work / "runtime");
        fs::permissions(work / "runtime", fs::perms::owner_all);
        setenv("XDG_RUNTIME_DIR", (work / "runtime").c_str(), 1);
        artifacts = fs::path(MIVORA_ARTIFACT_DIR) / "two_programs";
        fs::remove_all(artifacts);
        fs::create_directories(artifacts);
        first = std::make_unique<Display>(display);
        second = Display::StartVirtual((work / "xvfb.log").string());
        ASSERT_FALSE(second->Name().empty()) << ReadFile((work / "xvfb.log").string());
        ASSERT_TRUE(world.Start(work)) << world.Log();
    }

    void TearDown() override {
        for (auto* p : {&a, &b})
            if (*p) (*p)->KeepLog(artifacts);
        if (!work.empty()) {
            std::error_code ignored;
            fs::copy_file(world.LogPath(), artifacts / "world.log",
                          fs::copy_options::overwrite_existing, ignored);
        }
        a.reset();
        b.reset();
        world.Stop();
        second.reset();
        if (!work.empty() && !HasFailure()) fs::remove_all(work);
    }

    std::unique_ptr<ProgramSession> StartProgram(const Account& account, Display& display) {
        auto p = std::make_unique<ProgramSession>(account, display, world, work, artifacts);
        EXPECT_TRUE(p->Start()) << account.id;
        return p;
    }

    fs::path work, artifacts;
    LocalWorldProcess world;
    std::unique_ptr<Display> first, second;
    std::unique_ptr<ProgramSession> a, b;
};

TEST_F(TwoProgramsTest, RealProgramsMeetInARoom) {
    a = StartProgram({10001, "111111", 440}, *first);
    b = StartProgram({10002, "222222", 660}, *second);

    for (auto* p : {a.get(), b.get()}) ASSERT_TRUE(p->LogOn()) << p->Describe();
    for (auto* p : {a.get(), b.get()}) ASSERT_TRUE(p->JoinRoom(1001, "闲聊一号")) << p->Describe();

    // A line each way: the sender's line reaches the world, the receiver shows it.
    ASSERT_TRUE(a->Say("hello from 10001", *b)) << a->Describe() << b->Describe();
    ASSERT_TRUE(b->Say("hi 10001, 10002 here", *a)) << a->Describe() << b->Describe();

    // 10002 takes public microphone 1: 10001 sees its camera and hears its tone.
    ASSERT_TRUE(b->TakePublicMicrophone()) << b->Describe();
    EXPECT_TRUE(world.WaitLine("user 10002 took public microphone 1")) << world.Log();
    b->UnmuteMicrophone();
    int match = 0;
    EXPECT_TRUE(WaitFor([&] { return (match = a->BestPaneMatch("")) >= 85; }, seconds(30)))
        << "10001's panes show no test pattern (best match " << match << ")";
    a->BestPaneMatch("sees-10002");
    double heard = 0;
    EXPECT_TRUE(WaitFor([&] { return std::abs((heard = a->HeardHz()) - 660) < 20; }, seconds(30)))
        << "10001's speaker plays " << heard << " Hz";

    // A gift from 10001 to 10002: the world moves the price from one account to the
    // other and says so; the figures in both headers change and both chat panes tell
    // of the gift.
    const QImage aBefore = a->Balances(), bBefore = b->Balances();
    ASSERT_FALSE(aBefore.isNull() || bBefore.isNull());
    const int aInk = a->ChatInk(), bInk = b->ChatInk();
    a->SendFirstGiftToFirstMember();
    EXPECT_TRUE(world.WaitLine("from 10001 to 10002 for")) << world.Log();
    // Even a "1" more is a dozen pixels.
    auto changed = [](ProgramSession& p, const QImage& before) {
        return FiguresChanged(before, p.Balances()) >= 6;
    };
    EXPECT_TRUE(WaitFor([&] { return changed(*a, aBefore); }, seconds(40)))
        << "10001's balances stay as they were";
    EXPECT_TRUE(WaitFor([&] { return changed(*b, bBefore); }, seconds(40)))
        << "10002's balances stay as they were";
    EXPECT_TRUE(WaitFor([&] { return a->ChatInk() > aInk + 150 && b->ChatInk() > bInk + 150; },
                        seconds(20)))
        << "the gift is not shown on both sides";
    a->Shot("gift-given");
    b->Shot("gift-received");

    // 10001 owns the room and puts 10002 out: 10002 is back in the lobby, told so.
    const std::vector<unsigned long> beforeKick = b->VisibleWindows();
    ASSERT_TRUE(a->KickFirstMember()) << a->Describe();
    EXPECT_TRUE(world.WaitLine("user 10002 put out of room 1001 by 10001")) << world.Log();
    EXPECT_TRUE(b->BackInLobby(30)) << b->Describe();
    EXPECT_NEAR(b->AnswerMessageBox(beforeKick), TextWidth("您被 10001 踢出了 1001 房间.", 13), 4)
        << "10002 is not shown the kick text";

    for (auto* p : {a.get(), b.get()}) {
        EXPECT_EQ(p->Close(), 0) << p->Describe();
    }
    EXPECT_EQ(world.Stop(), 0) << world.Log();
}

}  // namespace
}  // namespace twoprograms
