// The logon window's background check: the network, then three downloads from the
// update service. It runs on its own thread on copies of what it needs and reports
// to the window by posting messages to its handle; the window's end stops and joins
// it, so nothing it touches can go away under it.
#pragma once

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "win32/win32.h"

// Posted to the window: wParam 1 when the network test passed (the check goes on),
// 2 when the check has ended (its result is then ready).
#define UM_LOGON_CHECK_STAGE 12301

class CLogonCheck {
public:
    // dataRoot: where the two temporary files go (Windows form).
    CLogonCheck(HWND notify, std::wstring dataRoot, std::string serviceUrl);
    // Stops the check (a sleep between tries ends at once) and joins the thread.
    ~CLogonCheck();
    CLogonCheck(const CLogonCheck&) = delete;
    CLogonCheck& operator=(const CLogonCheck&) = delete;

    void Start();
    // After stage 2: whether every step succeeded, and the version text (ANSI).
    bool Succeeded();
    std::string Version();

private:
    void Run();
    // Up to ten tries, 2000 ms apart; false when all failed or the check is stopped.
    template <class Step>
    bool Retry(Step step);
    // Sleeps unless stopped; false when stopped.
    bool Pause(int ms);

    HWND m_hNotify;
    std::wstring m_dataRoot;
    std::string m_serviceUrl;
    std::thread m_thread;
    std::mutex m_lock;
    std::condition_variable m_wake;
    bool m_stop = false;
    bool m_ok = false;
    std::string m_version;
};
