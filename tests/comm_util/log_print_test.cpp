#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <regex>
#include <sstream>
#include <string>
#include <thread>

#include "util/LogPrint.h"
#include "win32/win32.h"

namespace {

std::string g_captured;
void capture(const char* text) {
    g_captured += text;
}

TEST(LogPrint, LineStartsWithUnpaddedLocalTimeAndTwoBlanks) {
    setenv("TZ", "UTC", 1);
    tzset();
    winplat::InstallManualClock(1391418307);  // 2014-02-03 09:05:07 UTC
    winplat::SetDebugOutputHook(capture);
    g_captured.clear();
    __log_print__("tag_logon: step%d", 4);
    winplat::SetDebugOutputHook(nullptr);
    winplat::RemoveManualClock();
    EXPECT_EQ(g_captured, "2014-2-3 9:5:7  tag_logon: step4\n");
}

std::mutex g_sharedLock;
std::string g_shared;
void captureShared(const char* text) {
    {
        std::lock_guard<std::mutex> g(g_sharedLock);
        g_shared += text;
    }
    // A slow output, as a terminal can be, in the middle of a line.
    if (std::strcmp(text, "\n") != 0) std::this_thread::yield();
}

// The library's worker thread and the program's threads trace too: their lines
// stay whole.
TEST(LogPrint, LinesOfTwoThreadsDoNotInterleave) {
    winplat::SetDebugOutputHook(captureShared);
    g_shared.clear();
    std::atomic<int> ready{0};
    auto trace = [&ready](const char* tag) {
        ++ready;
        while (ready < 2) std::this_thread::yield();
        for (int i = 0; i < 2000; ++i) __log_print__("%s %d", tag, i);
    };
    std::thread a(trace, "tag_a:"), b(trace, "tag_b:");
    a.join();
    b.join();
    winplat::SetDebugOutputHook(nullptr);
    const std::regex line(R"(\d+-\d+-\d+ \d+:\d+:\d+  tag_[ab]: \d+)");
    std::istringstream in(g_shared);
    int lines = 0;
    for (std::string l; std::getline(in, l); ++lines) ASSERT_TRUE(std::regex_match(l, line)) << l;
    EXPECT_EQ(lines, 4000);
}

}  // namespace
