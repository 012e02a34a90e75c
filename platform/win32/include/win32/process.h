// Starting other programs, on posix_spawn. A command line is split the Windows
// way: the first token is the program (Windows form, quoted or not, mapped to a
// path of this system), the rest its arguments as the C runtime would parse them.
#pragma once

#include <string>
#include <vector>

#include "win32/base.h"

struct STARTUPINFOW {
    DWORD cb;
    LPWSTR lpReserved;
    LPWSTR lpDesktop;
    LPWSTR lpTitle;
    DWORD dwX;
    DWORD dwY;
    DWORD dwXSize;
    DWORD dwYSize;
    DWORD dwXCountChars;
    DWORD dwYCountChars;
    DWORD dwFillAttribute;
    DWORD dwFlags;
    WORD wShowWindow;
    WORD cbReserved2;
    LPBYTE lpReserved2;
    HANDLE hStdInput;
    HANDLE hStdOutput;
    HANDLE hStdError;
};
typedef STARTUPINFOW* LPSTARTUPINFOW;
typedef STARTUPINFOW STARTUPINFO;
typedef LPSTARTUPINFOW LPSTARTUPINFO;

struct PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
};
typedef PROCESS_INFORMATION* LPPROCESS_INFORMATION;

#define STARTF_USESHOWWINDOW 0x00000001
#define STARTF_USESTDHANDLES 0x00000100

#define DEBUG_PROCESS 0x00000001
#define CREATE_NEW_CONSOLE 0x00000010
#define DETACHED_PROCESS 0x00000008
#define NORMAL_PRIORITY_CLASS 0x00000020
#define CREATE_UNICODE_ENVIRONMENT 0x00000400
#define CREATE_NO_WINDOW 0x08000000
#define CREATE_DEFAULT_ERROR_MODE 0x04000000

#define ERROR_BAD_FORMAT 11L
#define ERROR_BAD_EXE_FORMAT 193L

#ifndef SW_HIDE
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#endif

// The process is not waited for unless the caller waits on hProcess; both
// handles are closed with CloseHandle. Without STARTF_USESTDHANDLES the child
// shares our standard handles; with it (and null handles) it gets none
// (/dev/null). Without inheritance only the standard handles pass.
BOOL CreateProcessW(LPCWSTR applicationName, LPWSTR commandLine,
                    LPSECURITY_ATTRIBUTES processAttributes, LPSECURITY_ATTRIBUTES threadAttributes,
                    BOOL inheritHandles, DWORD creationFlags, LPVOID environment,
                    LPCWSTR currentDirectory, LPSTARTUPINFOW startupInfo,
                    LPPROCESS_INFORMATION processInformation);
#define CreateProcess CreateProcessW
BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

// Above 31 on success, else 0, ERROR_FILE_NOT_FOUND, ERROR_PATH_NOT_FOUND or
// ERROR_BAD_FORMAT.
UINT WinExec(LPCSTR commandLine, UINT show);

#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_NOASSOC 31
// "open" (or null) of a program runs it with `parameters`; anything else (a
// document, a folder, a web address) goes to xdg-open. Above 32 on success.
HINSTANCE ShellExecuteW(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                        LPCWSTR directory, INT show);
#define ShellExecute ShellExecuteW

#define SEE_MASK_DEFAULT 0x00000000
#define SEE_MASK_NOCLOSEPROCESS 0x00000040
typedef struct _SHELLEXECUTEINFOW {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    LPCWSTR lpVerb;
    LPCWSTR lpFile;
    LPCWSTR lpParameters;
    LPCWSTR lpDirectory;
    int nShow;
    HINSTANCE hInstApp;  // out: the ShellExecuteW code
    void* lpIDList;
    LPCWSTR lpClass;
    HKEY hkeyClass;
    DWORD dwHotKey;
    HANDLE hIcon;
    HANDLE hProcess;  // out, with SEE_MASK_NOCLOSEPROCESS: the started program or opener
} SHELLEXECUTEINFOW, *LPSHELLEXECUTEINFOW;
// ShellExecuteW with the started process kept for the caller (SEE_MASK_NOCLOSEPROCESS;
// closed with CloseHandle): for an address or a document that is the desktop's
// opener (xdg-open), whose exit code tells whether it found something to open with.
// FALSE with the last error set when nothing was started.
BOOL ShellExecuteExW(LPSHELLEXECUTEINFOW info);
#define ShellExecuteEx ShellExecuteExW

namespace winplat {

// The program path and arguments a command line stands for, as CreateProcessW
// would start them; false when no program can be found in it.
bool SplitCommandLine(const wchar_t* commandLine, std::string& program,
                      std::vector<std::string>& arguments);

}  // namespace winplat
