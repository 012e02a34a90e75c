#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "util/LogPrint.h"
#include "win32/win32.h"

namespace {

std::string g_captured;
void capture(const char* text) { g_captured += text; }

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

}  // namespace
