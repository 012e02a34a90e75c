#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "http_test_server.h"
#include "services/HttpGet.h"
#include "services_fixtures.h"
#include "win32/win32.h"

using testsupport::HttpAnswer;
using testsupport::HttpTestServer;

namespace {

class HttpGetTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        // The tests talk to loopback only, whatever proxy the machine names.
        setenv("no_proxy", "127.0.0.1,localhost", 1);
        setenv("NO_PROXY", "127.0.0.1,localhost", 1);
    }

    HttpAnswer answer(int status, const std::string& body, bool sendLength = true,
                      long announced = -1) {
        HttpAnswer a;
        a.status = status;
        a.body = body;
        a.sendLength = sendLength;
        a.announced = announced;
        return a;
    }

    HttpTestServer server;
    ScratchDir dir{"http"};
    CHttpGet http;
};

TEST_F(HttpGetTest, ShortOrDotlessAddressesAreRefusedAtOnce) {
    unsigned char buf[16];
    unsigned long got = 99;
    int ok = 7;
    for (const char* url : {"a.b", "abcd", "", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(url ? url : "(null)");
        EXPECT_EQ(http.URLDownloadToFileW(url, dir.file("x").c_str(), 0), 0u);
        EXPECT_EQ(http.URLDownloadToBuffer(url, buf, sizeof buf, &got), 0u);
        EXPECT_EQ(http.HttpGetFileName(url, nullptr, 0, &ok), 0);
    }
    EXPECT_EQ(got, 99u);
    EXPECT_EQ(ok, 7);  // refused before anything is probed
    EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

struct DownloadCase {
    const char* name;
    HttpAnswer answer;
    unsigned long toFile;    // URLDownloadToFileW
    unsigned long toBuffer;  // URLDownloadToBuffer
    size_t bytesOnDisk;
};

TEST_F(HttpGetTest, StatusAndLengthRulesOfBothDownloads) {
    const std::string body = "0123456789abcdef";
    const DownloadCase cases[] = {
        {"200 with length", answer(200, body), 1, 1, body.size()},
        {"200 without length", answer(200, body, false), 0, 1, 0},
        {"400 is not a failing status", answer(400, body), 1, 1, body.size()},
        {"401", answer(401, body), 0, 0, 0},
        {"404", answer(404, body), 0, 0, 0},
        {"500 is not a failing status", answer(500, body), 1, 1, body.size()},
        {"501", answer(501, body), 0, 0, 0},
        {"short body", answer(200, body, true, 5000), 0, 1, body.size()},
    };
    for (const DownloadCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = "/" + std::to_string(&c - cases);
        server.serve(path, c.answer);
        std::string file = dir.file("dl" + std::to_string(&c - cases));
        EXPECT_EQ(http.URLDownloadToFileW(server.url(path).c_str(), file.c_str(), 0), c.toFile);
        if (c.bytesOnDisk) {
            EXPECT_EQ(ReadFileBytes(file), body.substr(0, c.bytesOnDisk));
        } else {
            EXPECT_FALSE(std::filesystem::exists(file));
        }

        unsigned char buf[64] = {0};
        unsigned long got = 0;
        EXPECT_EQ(http.URLDownloadToBuffer(server.url(path).c_str(), buf, sizeof buf, &got),
                  c.toBuffer);
        if (c.toBuffer) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), body);
        }
    }
}

// The layer under the downloads: a body cut short is handed out, then the
// next read fails instead of looking like the end.
TEST_F(HttpGetTest, ReadAfterABodyCutShortFails) {
    server.serve("/cut", answer(200, std::string(6000, 'x'), true, 100000));
    HINTERNET session = InternetOpenW(L"test", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    std::wstring url = winplat::Utf8ToWide(server.url("/cut"));
    HINTERNET req = InternetOpenUrlW(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    ASSERT_NE(req, nullptr);
    std::string got;
    char piece[4096];
    DWORD n = 0;
    BOOL ok;
    while ((ok = InternetReadFile(req, piece, sizeof piece, &n)) && n > 0) got.append(piece, n);
    EXPECT_FALSE(ok);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_CONNECTION_RESET));
    EXPECT_EQ(got.size(), 6000u);
    EXPECT_TRUE(InternetCloseHandle(req));
    EXPECT_TRUE(InternetCloseHandle(session));
    EXPECT_FALSE(InternetCloseHandle(session));
}

TEST_F(HttpGetTest, BufferDownloadReadsOnceUpToTheSize) {
    server.serveBody("/v", "1234567890");
    unsigned char buf[4];
    unsigned long got = 0;
    ASSERT_EQ(http.URLDownloadToBuffer(server.url("/v").c_str(), buf, sizeof buf, &got), 1u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), got), "1234");
}

TEST_F(HttpGetTest, SendsTheAgentAcceptAndNoCacheTexts) {
    server.serveBody("/f", "x");
    ASSERT_EQ(http.URLDownloadToFileW(server.url("/f").c_str(), dir.file("f").c_str(), 0), 1u);
    auto seen = server.requests();
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].headers["user-agent"],
              "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)");
    EXPECT_EQ(seen[0].headers["accept"], "*/*");
    EXPECT_EQ(seen[0].headers["pragma"], "no-cache");
}

TEST_F(HttpGetTest, ProgramCheckWantsMZAndWritesNothingOtherwise) {
    server.serveBody("/good.exe", "MZ\x90\x00rest-of-program");
    server.serveBody("/bad.exe", "<html>not a program</html>");
    std::string good = dir.file("good.exe"), bad = dir.file("bad.exe");
    WriteFileBytes(bad, "kept");
    EXPECT_EQ(http.URLDownloadToFileW(server.url("/good.exe").c_str(), good.c_str(), 1), 1u);
    EXPECT_EQ(ReadFileBytes(good).substr(0, 2), "MZ");
    EXPECT_EQ(http.URLDownloadToFileW(server.url("/bad.exe").c_str(), bad.c_str(), 1), 0u);
    EXPECT_EQ(ReadFileBytes(bad), "kept");
    // Without the check the same body is fine.
    EXPECT_EQ(http.URLDownloadToFileW(server.url("/bad.exe").c_str(), bad.c_str(), 0), 1u);
}

TEST_F(HttpGetTest, ExistingFileKeepsItsBytesBeyondTheDownload) {
    server.serveBody("/new", "NEW");
    std::string file = dir.file("old");
    WriteFileBytes(file, "old-content");
    ASSERT_EQ(http.URLDownloadToFileW(server.url("/new").c_str(), file.c_str(), 0), 1u);
    EXPECT_EQ(ReadFileBytes(file), "NEW-content");
}

TEST_F(HttpGetTest, DownloadsFollowRedirectsButNotForever) {
    server.redirect("/a", "/b");
    server.redirect("/b", "/file");
    server.serveBody("/file", "payload");
    server.redirect("/loop", "/loop");
    std::string file = dir.file("r");
    EXPECT_EQ(http.URLDownloadToFileW(server.url("/a").c_str(), file.c_str(), 0), 1u);
    EXPECT_EQ(ReadFileBytes(file), "payload");
    EXPECT_EQ(http.URLDownloadToFileW(server.url("/loop").c_str(), dir.file("l").c_str(), 0), 0u);
}

TEST_F(HttpGetTest, ProbeFollowsLocationsByHandAndStopsALoopAfterTenHops) {
    server.redirect("/p1", "/p2");
    server.redirect("/p2", "/p3");
    server.serveBody("/p3", "x");
    server.serveBody("/missing", "gone", 404);
    server.redirect("/loop", "/loop");

    int ok = 0;
    EXPECT_EQ(http.HttpGetFileName(server.url("/p1").c_str(), nullptr, 0, &ok), 1);
    EXPECT_EQ(ok, 1);
    // Each hop was the probe's own request.
    EXPECT_EQ(server.count("/p1"), 1);
    EXPECT_EQ(server.count("/p2"), 1);
    EXPECT_EQ(server.count("/p3"), 1);

    ok = 7;
    EXPECT_EQ(http.HttpGetFileName(server.url("/missing").c_str(), nullptr, 0, &ok), 1);
    EXPECT_EQ(ok, 7);  // opened, but not a 200

    ok = 7;
    EXPECT_EQ(http.HttpGetFileName(server.url("/loop").c_str(), nullptr, 0, &ok), 0);
    EXPECT_EQ(ok, 0);
    EXPECT_EQ(server.count("/loop"), 11);  // the first request and ten hops
}

TEST_F(HttpGetTest, UnreachableAddressFailsEveryOperation) {
    testsupport::RefusingPort gone;
    std::string url = gone.url("/x");
    unsigned char buf[8];
    unsigned long got = 0;
    int ok = 7;
    EXPECT_EQ(http.URLDownloadToFileW(url.c_str(), dir.file("u").c_str(), 0), 0u);
    EXPECT_EQ(http.URLDownloadToBuffer(url.c_str(), buf, sizeof buf, &got), 0u);
    EXPECT_EQ(http.HttpGetFileName(url.c_str(), nullptr, 0, &ok), 0);
    EXPECT_EQ(ok, 0);
    SetNetworkTestUrl(url.c_str());
    EXPECT_EQ(http.TestNetworkIsConnected(), 0);
    SetNetworkTestUrl(nullptr);
}

TEST_F(HttpGetTest, NetworkTestOpensTheConfiguredAddress) {
    server.serveBody("/ping", "", 404);  // opening is enough, whatever the answer
    SetNetworkTestUrl(server.url("/ping").c_str());
    EXPECT_EQ(http.TestNetworkIsConnected(), 1);
    EXPECT_EQ(server.count("/ping"), 1);

    SetNetworkTestUrl(nullptr);
    setenv("MIVORA_NETWORK_TEST_URL", "http://127.0.0.1:9/from-env", 1);
    EXPECT_EQ(GetNetworkTestUrl(), "http://127.0.0.1:9/from-env");
    unsetenv("MIVORA_NETWORK_TEST_URL");
    EXPECT_FALSE(GetNetworkTestUrl().empty());
}

TEST(UpdateBaseUrl, SetAddressBeatsTheEnvironmentWhichBeatsTheBuiltInOne) {
    unsetenv("MIVORA_UPDATE_URL");
    SetUpdateBaseUrl(nullptr);
    const std::string builtIn = GetUpdateBaseUrl();
    EXPECT_EQ(builtIn.back(), '/');

    setenv("MIVORA_UPDATE_URL", "http://127.0.0.1:27180/", 1);
    EXPECT_EQ(GetUpdateBaseUrl(), "http://127.0.0.1:27180/");
    SetUpdateBaseUrl("http://127.0.0.1:9/set/");
    EXPECT_EQ(GetUpdateBaseUrl(), "http://127.0.0.1:9/set/");
    SetUpdateBaseUrl(nullptr);
    setenv("MIVORA_UPDATE_URL", "", 1);  // empty counts as unset
    EXPECT_EQ(GetUpdateBaseUrl(), builtIn);
    unsetenv("MIVORA_UPDATE_URL");
}

TEST_F(HttpGetTest, BareRequestWritesWhatArrivesUntilTheServerCloses) {
    server.serveBody("/raw", "raw answer bytes");
    std::string host = "127.0.0.1", path = "/raw", file = dir.file("raw");
    EXPECT_EQ(GetHTTP(&host[0], server.port(), &path[0], &file[0]), 0);
    EXPECT_EQ(ReadFileBytes(file), "raw answer bytes");
    ASSERT_EQ(server.requests().size(), 1u);
    EXPECT_EQ(server.requests()[0].line, "GET /raw");

    std::string nowhere = dir.file("no/such/folder/file");
    EXPECT_EQ(GetHTTP(&host[0], server.port(), &path[0], &nowhere[0]), -1);
    testsupport::RefusingPort gone;
    EXPECT_EQ(GetHTTP(&host[0], gone.port(), &path[0], &file[0]), -1);
}

}  // namespace
