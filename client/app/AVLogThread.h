// Writes the engine's trace lines to a file from a thread of its own, so an engine
// thread never waits on the disk.
#pragma once

#include <atomic>
#include <cstdio>
#include <deque>

#include "util/AVLogger.h"
#include "win32/win32.h"

class CAVLogThread : public RAVO::IAVLogger {
public:
    explicit CAVLogThread(int minLevel = 0);
    virtual ~CAVLogThread();
    CAVLogThread(const CAVLogThread&) = delete;
    CAVLogThread& operator=(const CAVLogThread&) = delete;

    // Lines below the minimum level are dropped; longer lines are cut at 1023 characters.
    void Log(int level, const char* format, ...) override __attribute__((format(printf, 3, 4)));
    // Opens the file (appending) and starts the writer; false when either fails.
    bool Start(const char* path);
    // Stops the writer once every line queued so far is written, then closes the file.
    void Stop();

    static constexpr int kLineBytes = 1024;

private:
    struct Line {
        char* text;
        int capacity;
    };
    static DWORD WINAPI WriterMain(LPVOID self);
    void Run();
    // Writes and frees the front line; false when the queue was empty.
    bool WriteOne();

    int m_nMinLevel;
    std::deque<Line> m_lines;
    CRITICAL_SECTION m_lock;
    FILE* m_pFile = nullptr;
    HANDLE m_hThread = nullptr;
    DWORD m_dwThreadId = 0;
    std::atomic<int> m_bRunning{0};
};
