// Two real programs meet in the local world (build/tools/localworld on free ports):
// 10001 on the test's display, 10002 on a virtual display of its own, each from its
// own copy of the laid-out program folder with its own per-user folders, the
// test-pattern camera and a test tone as its microphone (10001 440 Hz, 10002
// 660 Hz). A pointer and a keyboard from outside log both on, join room 1001 and
// chat; screenshots of every step go to the artifacts; both close and the world
// ends with 0.
#include <gtest/gtest.h>

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

    for (auto* p : {a.get(), b.get()}) {
        EXPECT_EQ(p->Close(), 0) << p->Describe();
    }
    EXPECT_EQ(world.Stop(), 0) << world.Log();
}

}  // namespace
}  // namespace twoprograms
