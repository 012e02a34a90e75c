#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "win32/win32.h"

namespace {

// A folder with a space in its name and a program in it that exits with the
// number of arguments it got.
class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "mivora proc-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        ASSERT_NE(::mkdtemp(buf.data()), nullptr);
        dir = buf.data();
        program = dir + "/count.exe";
        std::ofstream(program) << "#!/bin/sh\nexit $#\n";
        ::chmod(program.c_str(), 0755);
        std::ofstream(dir + "/plain.exe") << "not a program";
        ::chmod((dir + "/plain.exe").c_str(), 0755);
        win = winplat::ToWindowsPath(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    // Exit code of the program started from `line`, or -1 when it did not start.
    long run(std::wstring line) {
        STARTUPINFOW si{};
        si.cb = sizeof si;
        si.dwFlags = STARTF_USESTDHANDLES;
        PROCESS_INFORMATION pi{};
        if (!CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                            &pi))
            return -1;
        EXPECT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code));
        EXPECT_TRUE(CloseHandle(pi.hThread));
        EXPECT_TRUE(CloseHandle(pi.hProcess));
        return static_cast<long>(code);
    }

    std::string dir, program;
    std::wstring win;
};

TEST_F(ProcessTest, CommandLineSplitsLikeWindows) {
    struct Case {
        std::wstring line;
        std::vector<std::string> args;
    };
    const Case cases[] = {
        // Unquoted path with a space: the shortest prefix naming a program wins.
        {win + L"\\count.exe a b", {"a", "b"}},
        {L"\"" + win + L"\\count.exe\" \"x y\" z", {"x y", "z"}},
        // Backslashes stay unless they come before a quote.
        {L"\"" + win + L"\\count\" C:\\dir\\file.swf a\\\\\\\"b \"c\\\\\"",
         {"C:\\dir\\file.swf", "a\\\"b", "c\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(winplat::WideToUtf8(c.line));
        std::string prog;
        std::vector<std::string> args;
        ASSERT_TRUE(winplat::SplitCommandLine(c.line.c_str(), prog, args));
        EXPECT_EQ(prog, program);
        EXPECT_EQ(args, c.args);
    }
    std::string prog;
    std::vector<std::string> args;
    EXPECT_FALSE(winplat::SplitCommandLine((win + L"\\missing.exe x").c_str(), prog, args));
}

TEST_F(ProcessTest, StartedProgramGetsItsArgumentsAndItsEndIsSeen) {
    EXPECT_EQ(run(win + L"\\count.exe one two three"), 3);
    EXPECT_GT(WinExec("\\bin\\true x", SW_HIDE), 31u);
}

TEST_F(ProcessTest, ProgramThatCannotStartFailsAsWindowsDoes) {
    EXPECT_EQ(run(win + L"\\missing.exe x"), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(run(L"\"" + win + L"\\plain.exe\""), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_EQ(WinExec(winplat::WideToAnsi(win + L"\\missing.exe").c_str(), SW_HIDE),
              static_cast<UINT>(ERROR_FILE_NOT_FOUND));
}

}  // namespace

namespace {

TEST(ShellExecute, RunsAProgramAndRefusesWhatIsNotThere) {
    auto code = [](HINSTANCE h) { return reinterpret_cast<intptr_t>(h); };
    EXPECT_GT(code(ShellExecuteW(nullptr, L"open", L"\\bin\\true", L"x", nullptr, SW_SHOW)), 32);
    EXPECT_EQ(
        code(ShellExecuteW(nullptr, L"open", L"\\no\\such\\file.txt", nullptr, nullptr, SW_SHOW)),
        SE_ERR_FNF);
    EXPECT_EQ(code(ShellExecuteW(nullptr, nullptr, nullptr, nullptr, nullptr, SW_SHOW)),
              SE_ERR_FNF);
}

}  // namespace

namespace {

// The room's web tiles name the Windows browser with the address as its argument.
TEST(ShellExecute, WindowsBrowserOpensTheAddressInTheDesktopBrowser) {
    char dirTemplate[] = "/tmp/mivora_xdgXXXXXX";
    ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
    const std::string dir = dirTemplate;
    const std::string opened = dir + "/opened";
    {
        std::ofstream script(dir + "/xdg-open");
        script << "#!/bin/sh\nprintf '%s' \"$1\" > " << opened << ".tmp && mv " << opened << ".tmp "
               << opened << "\n";
    }
    ::chmod((dir + "/xdg-open").c_str(), 0755);
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    ::setenv("PATH", (dir + ":" + saved).c_str(), 1);
    const intptr_t code = reinterpret_cast<intptr_t>(ShellExecuteW(
        nullptr, L"open", L"iexplore.exe", L"http://shop.example.test/card?a=1", nullptr, SW_SHOW));
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_GT(code, 32);
    std::string got;
    for (int i = 0; i < 500 && got.empty(); ++i) {
        std::ifstream in(opened);
        std::getline(in, got);
        if (got.empty()) ::usleep(10000);
    }
    EXPECT_EQ(got, "http://shop.example.test/card?a=1");
    std::remove(opened.c_str());
    std::remove((dir + "/xdg-open").c_str());
    ::rmdir(dir.c_str());
}

}  // namespace

namespace {

// An address goes to the desktop's opener, whose exit code says whether it found a
// browser; without an opener nothing starts and the caller is told so.
TEST(ShellExecute, ExtendedFormKeepsTheOpenerForItsVerdict) {
    struct Case {
        const char* what;
        const char* opener;  // the stand-in xdg-open's script; null: none on PATH
        BOOL started;
        DWORD exitCode;
    } cases[] = {
        {"a browser opens it", "#!/bin/sh\nexit 0\n", TRUE, 0},
        {"no browser", "#!/bin/sh\necho 'no method available' >&2\nexit 3\n", TRUE, 3},
        {"no opener", nullptr, FALSE, 0},
    };
    const char* oldPath = std::getenv("PATH");
    const std::string saved = oldPath ? oldPath : "";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char dirTemplate[] = "/tmp/mivora_xdgXXXXXX";
        ASSERT_NE(::mkdtemp(dirTemplate), nullptr);
        const std::string dir = dirTemplate;
        if (c.opener) {
            std::ofstream(dir + "/xdg-open") << c.opener;
            ::chmod((dir + "/xdg-open").c_str(), 0755);
        }
        ::setenv("PATH", dir.c_str(), 1);
        SHELLEXECUTEINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = SEE_MASK_NOCLOSEPROCESS;
        info.lpVerb = L"open";
        info.lpFile = L"http://shop.example.test/card";
        info.nShow = SW_SHOWNORMAL;
        const BOOL started = ShellExecuteExW(&info);
        const DWORD error = GetLastError();
        ::setenv("PATH", saved.c_str(), 1);
        EXPECT_EQ(started, c.started);
        if (!c.started) {
            EXPECT_EQ(reinterpret_cast<intptr_t>(info.hInstApp), SE_ERR_NOASSOC);
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_ASSOCIATION));
            EXPECT_EQ(info.hProcess, nullptr);
        } else {
            EXPECT_GT(reinterpret_cast<intptr_t>(info.hInstApp), 32);
            ASSERT_NE(info.hProcess, nullptr);
            ASSERT_EQ(WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
            DWORD code = STILL_ACTIVE;
            EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
            EXPECT_EQ(code, c.exitCode);
            CloseHandle(info.hProcess);
        }
        std::filesystem::remove_all(dir);
    }
}

}  // namespace
