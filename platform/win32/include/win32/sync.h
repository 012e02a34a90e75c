// Threads, critical sections, events and waits, on the C++ standard library.
#pragma once

#include "win32/base.h"

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID);

// A critical section is re-entrant for its owning thread, as on Windows.
struct CRITICAL_SECTION {
    void* impl;
};
typedef CRITICAL_SECTION* LPCRITICAL_SECTION;

void InitializeCriticalSection(LPCRITICAL_SECTION cs);
BOOL InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION cs, DWORD spin);
void DeleteCriticalSection(LPCRITICAL_SECTION cs);
void EnterCriticalSection(LPCRITICAL_SECTION cs);
BOOL TryEnterCriticalSection(LPCRITICAL_SECTION cs);
void LeaveCriticalSection(LPCRITICAL_SECTION cs);

HANDLE CreateThread(LPSECURITY_ATTRIBUTES sa, SIZE_T stack, LPTHREAD_START_ROUTINE start,
                    LPVOID param, DWORD flags, LPDWORD threadId);
BOOL GetExitCodeThread(HANDLE thread, LPDWORD code);
DWORD GetCurrentThreadId();
DWORD GetCurrentProcessId();
#define CREATE_SUSPENDED 0x4
#define STILL_ACTIVE 259

HANDLE CreateEventW(LPSECURITY_ATTRIBUTES sa, BOOL manualReset, BOOL initialState, LPCWSTR name);
HANDLE CreateEventA(LPSECURITY_ATTRIBUTES sa, BOOL manualReset, BOOL initialState, LPCSTR name);
#define CreateEvent CreateEventW
BOOL SetEvent(HANDLE event);
BOOL ResetEvent(HANDLE event);

HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES sa, BOOL initialOwner, LPCWSTR name);
#define CreateMutex CreateMutexW
BOOL ReleaseMutex(HANDLE mutex);

#define WAIT_OBJECT_0 0x00000000u
#define WAIT_ABANDONED 0x00000080u
#define WAIT_TIMEOUT 0x00000102u
#define WAIT_FAILED 0xFFFFFFFFu
#define MAXIMUM_WAIT_OBJECTS 64

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);
// Closes any handle of the layer (thread, event, mutex, file, mapping...).
BOOL CloseHandle(HANDLE handle);
void Sleep(DWORD milliseconds);

LONG InterlockedIncrement(LONG volatile* value);
LONG InterlockedDecrement(LONG volatile* value);
LONG InterlockedExchange(LONG volatile* target, LONG value);
LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);
