#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "services/PropsFlashPlayTaskMgr.h"
#include "services_fixtures.h"

namespace {

// One recorded start of a player: its program name and its arguments.
struct Call {
    long pid;
    std::vector<std::string> words;
};

// A program folder with stand-in players that record how they were started,
// one file per process named by its process id.
class PropsQueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir.file("calls"));
        for (const char* name : {"TeskFlash.exe", "fireworks.exe"}) {
            std::string script =
                "#!/bin/sh\n"
                "d='" +
                dir.file("calls") +
                "'\n"
                "{ basename \"$0\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; }"
                " > \"$d/.$$\" && mv \"$d/.$$\" \"$d/$$\"\n";
            WriteFileBytes(dir.file(name), script);
            ::chmod(dir.file(name).c_str(), 0755);
        }
        appPath = winplat::ToWindowsPath(dir.native());
        mgr.SetAppPath(&appPath[0]);
    }

    void TearDown() override { mgr.Uninit(); }

    static tag_PropsFlashPlayTaskItem task(uint16_t kind, uint16_t number) {
        return tag_PropsFlashPlayTaskItem{kind, number};
    }

    // The starts recorded so far, in the order the processes were created (process
    // ids grow with creation; the files may be written in any order).
    std::vector<Call> calls() {
        std::vector<Call> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.file("calls"))) {
            std::string name = e.path().filename().string();
            if (name[0] == '.') continue;
            Call c{std::stol(name), {}};
            std::istringstream in(ReadFileBytes(e.path().string()));
            for (std::string line; std::getline(in, line);) c.words.push_back(line);
            out.push_back(c);
        }
        std::sort(out.begin(), out.end(),
                  [](const Call& a, const Call& b) { return a.pid < b.pid; });
        return out;
    }

    std::vector<Call> waitForCalls(size_t n) {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        std::vector<Call> c;
        while ((c = calls()).size() < n && std::chrono::steady_clock::now() < until)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        return c;
    }

    // True once the worker has taken everything queued.
    bool waitConsumed() {
        auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        for (;;) {
            EnterCriticalSection(&mgr.lock);
            bool empty = mgr.tasks.empty();
            LeaveCriticalSection(&mgr.lock);
            if (empty) return true;
            if (std::chrono::steady_clock::now() >= until) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Returns once every cycle that took earlier tasks has also finished starting
    // them: a task of a kind that starts nothing is taken only in a later cycle.
    bool waitCycleDone() {
        if (!waitConsumed()) return false;
        mgr.AddPlayTask(task(3, 0));
        return waitConsumed();
    }

    std::string itemFile(int n) {
        return winplat::WideToUtf8(appPath) + "\\items\\" + std::to_string(n) + ".swf";
    }

    ScratchDir dir{"props"};
    std::wstring appPath;
    CPropsFlashPlayTaskMgr mgr;
};

TEST_F(PropsQueueTest, TasksOfOneCycleStartTheirPlayersInQueueOrder) {
    ASSERT_EQ(mgr.Init(), 0);
    EnterCriticalSection(&mgr.lock);  // all four land in one cycle
    mgr.AddPlayTask(task(0, 5));
    mgr.AddPlayTask(task(1, 77));
    mgr.AddPlayTask(task(0, 12));
    mgr.AddPlayTask(task(2, 0));
    LeaveCriticalSection(&mgr.lock);
    auto c = waitForCalls(4);
    ASSERT_EQ(c.size(), 4u);
    EXPECT_EQ(c[0].words, (std::vector<std::string>{"TeskFlash.exe", itemFile(5)}));
    EXPECT_EQ(c[1].words, (std::vector<std::string>{"fireworks.exe", "FW_Flag", "5"}));
    EXPECT_EQ(c[2].words, (std::vector<std::string>{"TeskFlash.exe", itemFile(12)}));
    EXPECT_EQ(c[3].words, (std::vector<std::string>{"fireworks.exe", "FW_Flag", "5"}));
}

TEST_F(PropsQueueTest, ShieldedTasksAreConsumedAndNeverReplayed) {
    ASSERT_EQ(mgr.Init(), 0);
    mgr.SetShiledPlayFlash(true);
    mgr.AddPlayTask(task(0, 1));
    mgr.AddPlayTask(task(1, 0));
    ASSERT_TRUE(waitCycleDone());
    mgr.SetShiledPlayFlash(false);
    mgr.AddPlayTask(task(3, 9));  // a kind that plays nothing
    mgr.AddPlayTask(task(0, 2));
    auto c = waitForCalls(1);
    ASSERT_TRUE(waitCycleDone());
    c = calls();
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].words, (std::vector<std::string>{"TeskFlash.exe", itemFile(2)}));
}

TEST_F(PropsQueueTest, SecondInitKeepsTheOneWorkerAndInitDropsEarlierTasks) {
    mgr.AddPlayTask(task(0, 99));  // queued before the worker exists: dropped by Init
    ASSERT_EQ(mgr.Init(), 0);
    HANDLE worker = mgr.workerThread;
    ASSERT_NE(worker, nullptr);
    EXPECT_EQ(mgr.Init(), 0);
    EXPECT_EQ(mgr.workerThread, worker);
    mgr.AddPlayTask(task(0, 1));
    auto c = waitForCalls(1);
    ASSERT_TRUE(waitCycleDone());
    c = calls();
    ASSERT_EQ(c.size(), 1u);  // one worker: played once, and 99 never
    EXPECT_EQ(c[0].words[1], itemFile(1));

    EXPECT_EQ(mgr.Uninit(), 0);
    EXPECT_EQ(mgr.workerThread, nullptr);
    EXPECT_EQ(mgr.running, 0);
    ASSERT_EQ(mgr.Init(), 0);  // and it starts again
    mgr.AddPlayTask(task(1, 0));
    EXPECT_EQ(waitForCalls(2).size(), 2u);
}

TEST_F(PropsQueueTest, PlayerThatCannotStartIsSkipped) {
    ASSERT_EQ(mgr.Init(), 0);
    std::wstring elsewhere = appPath + L"\\no-such-folder";
    mgr.SetAppPath(&elsewhere[0]);
    mgr.AddPlayTask(task(0, 1));
    ASSERT_TRUE(waitCycleDone());
    mgr.SetAppPath(&appPath[0]);
    mgr.AddPlayTask(task(0, 3));
    auto c = waitForCalls(1);
    ASSERT_EQ(c.size(), 1u);
    EXPECT_EQ(c[0].words[1], itemFile(3));
}

}  // namespace
