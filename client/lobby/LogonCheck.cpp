#include "lobby/LogonCheck.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "services/HttpGet.h"

namespace {

constexpr int kTries = 10;
constexpr int kPauseMs = 2000;
constexpr size_t kVersionBuffer = 256;

std::string Narrow(const std::wstring& path) {
    int n = WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, &out[0], n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

}  // namespace

CLogonCheck::CLogonCheck(HWND notify, std::wstring dataRoot, std::string serviceUrl)
    : m_hNotify(notify), m_dataRoot(std::move(dataRoot)), m_serviceUrl(std::move(serviceUrl)) {}

CLogonCheck::~CLogonCheck() {
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_stop = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

void CLogonCheck::Start() {
    if (!m_thread.joinable()) m_thread = std::thread([this] { Run(); });
}

bool CLogonCheck::Succeeded() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_ok;
}

std::string CLogonCheck::Version() {
    std::lock_guard<std::mutex> guard(m_lock);
    return m_version;
}

bool CLogonCheck::Pause(int ms) {
    std::unique_lock<std::mutex> guard(m_lock);
    m_wake.wait_for(guard, std::chrono::milliseconds(ms), [this] { return m_stop; });
    return !m_stop;
}

template <class Step>
bool CLogonCheck::Retry(Step step) {
    for (int i = 0; i < kTries; ++i) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (m_stop) return false;
        }
        if (step()) return true;
        if (i + 1 < kTries && !Pause(kPauseMs)) return false;
    }
    return false;
}

void CLogonCheck::Run() {
    long t = static_cast<long>(std::time(nullptr));
    CHttpGet http;
    std::string levelTmp = Narrow(m_dataRoot + L"\\leveldesc.dat.tmp");
    std::string fontTmp = Narrow(m_dataRoot + L"\\font.dat.tmp");
    char page[64];

    bool ok = Retry([&] { return http.TestNetworkIsConnected() != 0; });
    std::string version;
    if (ok) {
        PostMessageW(m_hNotify, UM_LOGON_CHECK_STAGE, 1, 0);
        std::snprintf(page, sizeof(page), "dl_mv_t1.php?v=%ld", t);
        std::string url1 = m_serviceUrl + page;
        ok = Retry([&] { return http.URLDownloadToFileW(url1.c_str(), levelTmp.c_str(), 0) == 1; });
        if (ok) {
            std::snprintf(page, sizeof(page), "dl_mv_t2.php?v=%ld", t);
            std::string url2 = m_serviceUrl + page;
            ok = Retry(
                [&] { return http.URLDownloadToFileW(url2.c_str(), fontTmp.c_str(), 0) == 1; });
        }
        if (ok) {
            std::snprintf(page, sizeof(page), "dl_mv_t3.php?v=%ld", t);
            std::string url3 = m_serviceUrl + page;
            ok = Retry([&] {
                unsigned char buffer[kVersionBuffer] = {};
                unsigned long read = 0;
                if (http.URLDownloadToBuffer(url3.c_str(), buffer, kVersionBuffer - 1, &read) != 1)
                    return false;
                if (read > kVersionBuffer - 1) read = kVersionBuffer - 1;
                version.assign(reinterpret_cast<const char*>(buffer), read);
                version = version.substr(0, version.find('\0'));
                return true;
            });
        }
    }
    DeleteFileW((m_dataRoot + L"\\leveldesc.dat.tmp").c_str());
    DeleteFileW((m_dataRoot + L"\\font.dat.tmp").c_str());
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_stop) return;
        m_ok = ok;
        m_version = version;
    }
    PostMessageW(m_hNotify, UM_LOGON_CHECK_STAGE, 2, 0);
}
