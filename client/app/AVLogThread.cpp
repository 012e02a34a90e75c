#include "app/AVLogThread.h"

#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include "win32/files.h"

CAVLogThread::CAVLogThread(int minLevel) : m_nMinLevel(minLevel) {
    InitializeCriticalSection(&m_lock);
}

CAVLogThread::~CAVLogThread() {
    Stop();
    for (Line& line : m_lines) std::free(line.text);
    m_lines.clear();
    DeleteCriticalSection(&m_lock);
}

void CAVLogThread::Log(int level, const char* format, ...) {
    if (level < m_nMinLevel || !format) return;
    char* text = static_cast<char*>(std::calloc(kLineBytes, 1));
    if (!text) return;
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, kLineBytes, format, args);  // cut at 1023 characters
    va_end(args);
    EnterCriticalSection(&m_lock);
    m_lines.push_back(Line{text, kLineBytes});
    LeaveCriticalSection(&m_lock);
}

bool CAVLogThread::Start(const char* path) {
    if (m_hThread) return true;
    if (path && !m_pFile) m_pFile = winplat::OpenFileMapped(path, "a");
    if (!m_pFile) return false;
    m_bRunning.store(1);
    m_hThread = CreateThread(nullptr, 0, &CAVLogThread::WriterMain, this, 0, &m_dwThreadId);
    if (!m_hThread) {
        m_bRunning.store(0);
        return false;
    }
    return true;
}

DWORD WINAPI CAVLogThread::WriterMain(LPVOID self) {
    static_cast<CAVLogThread*>(self)->Run();
    return 0;
}

bool CAVLogThread::WriteOne() {
    EnterCriticalSection(&m_lock);
    if (m_lines.empty()) {
        LeaveCriticalSection(&m_lock);
        return false;
    }
    Line line = m_lines.front();
    m_lines.pop_front();
    LeaveCriticalSection(&m_lock);
    if (m_pFile) {
        std::fprintf(m_pFile, "%s", line.text);
        std::fflush(m_pFile);
    }
    std::free(line.text);
    return true;
}

void CAVLogThread::Run() {
    while (m_bRunning.load()) {
        if (!WriteOne()) Sleep(10);
    }
    // What was queued before the stop still reaches the file.
    while (WriteOne()) {
    }
    // The handle is Stop's to close: it waits on it.
}

void CAVLogThread::Stop() {
    if (m_hThread) {
        m_bRunning.store(0);
        WaitForSingleObject(m_hThread, INFINITE);
        CloseHandle(m_hThread);
        m_hThread = nullptr;
        m_dwThreadId = 0;
    }
    if (m_pFile) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
}
