#include "services/HttpGet.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

#include "win32/win32.h"

namespace {

const wchar_t kAgent[] = L"User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)";
const wchar_t kAccept[] = L"Accept: */*";
const DWORD kDownloadFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_PRAGMA_NOCACHE;
const DWORD kProbeFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_AUTO_REDIRECT;
const DWORD kPiece = 4096;
// A chain of 302 answers longer than this is taken for a loop.
const int kMaxLocationHops = 10;
// An address set by the program wins over the environment, which wins over the
// built-in one.
struct UrlSetting {
    const char* environment;
    const char* builtIn;
    std::string set;
};
std::mutex g_settingsLock;
UrlSetting g_testUrl{"MIVORA_NETWORK_TEST_URL", "http://www.example.com/", {}};
UrlSetting g_updateUrl{"MIVORA_UPDATE_URL", "http://update.mivora.example/", {}};

void setUrl(UrlSetting& setting, const char* url) {
    std::lock_guard<std::mutex> g(g_settingsLock);
    setting.set = url ? url : "";
}

std::string urlOf(const UrlSetting& setting) {
    std::lock_guard<std::mutex> g(g_settingsLock);
    if (!setting.set.empty()) return setting.set;
    const char* env = std::getenv(setting.environment);
    return env && *env ? env : setting.builtIn;
}

bool acceptable(const char* url) {
    return url && std::strlen(url) > 3 && std::strchr(url, '.');
}

// The session and the opened URL, closed together.
struct Connection {
    HINTERNET session = nullptr;
    HINTERNET request = nullptr;
    ~Connection() {
        if (request) InternetCloseHandle(request);
        if (session) InternetCloseHandle(session);
    }
    bool open(const char* url, DWORD flags) {
        session = InternetOpenW(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
        if (!session) return false;
        std::wstring wide = winplat::AnsiToWide(url);
        request =
            InternetOpenUrlW(session, wide.c_str(), kAccept, static_cast<DWORD>(-1), flags, 0);
        return request != nullptr;
    }
    int status() const {
        wchar_t text[32] = {0};
        DWORD len = sizeof text;
        if (!HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE, text, &len, nullptr)) return 0;
        return _wtoi(text);
    }
};

bool failingStatus(int status) {
    return (status > 400 && status < 500) || (status > 500 && status < 600);
}

// Step 1 of both downloads: the URL opened and its status not a failure.
bool openForDownload(Connection& c, const char* url) {
    return acceptable(url) && c.open(url, kDownloadFlags) && !failingStatus(c.status());
}

}  // namespace

unsigned long CHttpGet::URLDownloadToFileW(const char* url, const char* file, int mustBeProgram) {
    Connection c;
    if (!openForDownload(c, url)) return 0;
    DWORD expected = 0;
    DWORD len = sizeof expected;
    if (!HttpQueryInfoW(c.request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &expected,
                        &len, nullptr))
        return 0;
    // OPEN_ALWAYS keeps an existing file's bytes beyond what this download writes.
    HANDLE out =
        CreateFileA(file, GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return 0;
    unsigned char piece[kPiece];
    unsigned long written = 0;
    bool ok = true;
    for (bool first = true;; first = false) {
        DWORD got = 0;
        // A read that breaks off ends the download; the bytes so far stay on disk.
        if (!InternetReadFile(c.request, piece, kPiece, &got)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        if (first && mustBeProgram == 1 && (got < 2 || piece[0] != 'M' || piece[1] != 'Z')) {
            ok = false;
            break;
        }
        DWORD put = 0;
        if (!WriteFile(out, piece, got, &put, nullptr) || put != got) {
            ok = false;
            break;
        }
        written += put;
    }
    CloseHandle(out);
    return ok && written == expected ? 1 : 0;
}

unsigned long CHttpGet::URLDownloadToBuffer(const char* url, unsigned char* buffer,
                                            unsigned long size, unsigned long* read) {
    Connection c;
    if (!openForDownload(c, url) || !buffer) return 0;
    DWORD request = size > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!InternetReadFile(c.request, buffer, request, &got)) return 0;
    if (read) *read = got;
    return 1;
}

int CHttpGet::TestNetworkIsConnected() {
    std::string url = GetNetworkTestUrl();
    Connection c;
    return acceptable(url.c_str()) && c.open(url.c_str(), kDownloadFlags) ? 1 : 0;
}

int CHttpGet::HttpGetFileName(const char* url, char* /*buffer*/, unsigned long /*size*/, int* ok) {
    std::string current = url ? url : "";
    for (int hop = 0;; ++hop) {
        if (!acceptable(current.c_str())) return 0;
        Connection c;
        if (!c.open(current.c_str(), kProbeFlags)) break;
        int status = c.status();
        if (status != 302) {
            if (status == 200 && ok) *ok = 1;
            return 1;
        }
        if (hop == kMaxLocationHops) break;
        wchar_t location[2048] = {0};
        DWORD len = sizeof location;
        if (!HttpQueryInfoW(c.request, HTTP_QUERY_LOCATION, location, &len, nullptr)) break;
        current = winplat::WideToAnsi(location);
    }
    if (ok) *ok = 0;
    return 0;
}

void SetNetworkTestUrl(const char* url) {
    setUrl(g_testUrl, url);
}

std::string GetNetworkTestUrl() {
    return urlOf(g_testUrl);
}

void SetUpdateBaseUrl(const char* url) {
    setUrl(g_updateUrl, url);
}

std::string GetUpdateBaseUrl() {
    return urlOf(g_updateUrl);
}

int GetHTTP(char* host, int port, char* path, char* file) {
    if (!host || !path || !file || port <= 0 || port > 65535) return -1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    // A dotted address is used as it stands: looking its name up first only
    // fails for addresses that have none.
    if (inet_pton(AF_INET, host, &addr.sin_addr) != 1) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (getaddrinfo(host, nullptr, &hints, &found) != 0 || !found) return -1;
        addr.sin_addr = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
        freeaddrinfo(found);
    }
    int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return -1;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{s};
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return -1;
    std::string request = std::string("GET ") + path + "\n";
    if (::send(s, request.data(), request.size(), MSG_NOSIGNAL) !=
        static_cast<ssize_t>(request.size()))
        return -1;
    HANDLE out =
        CreateFileA(file, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return -1;
    char piece[1024];
    ssize_t n = 0;
    while ((n = ::recv(s, piece, sizeof piece, 0)) > 0) {
        DWORD put = 0;
        WriteFile(out, piece, static_cast<DWORD>(n), &put, nullptr);
    }
    CloseHandle(out);
    return n < 0 ? -1 : 0;
}
