// Files, folders and paths. The program builds Windows-form paths ("skin\MVChat");
// every function here accepts either separator and maps "\" to "/" at the boundary.
// A drive prefix such as "C:" is dropped, so "C:\x" is "/x".
#pragma once

#include <cstdio>
#include <string>

#include "win32/base.h"

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define FILE_SHARE_READ 0x1
#define FILE_SHARE_WRITE 0x2
#define FILE_SHARE_DELETE 0x4
#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5
#define FILE_ATTRIBUTE_READONLY 0x1
#define FILE_ATTRIBUTE_HIDDEN 0x2
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_ARCHIVE 0x20
#define FILE_ATTRIBUTE_NORMAL 0x80
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define MOVEFILE_REPLACE_EXISTING 0x1
#define MOVEFILE_WRITE_THROUGH 0x8

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                   DWORD disposition, DWORD flags, HANDLE templateFile);
#define CreateFile CreateFileW
BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void* overlapped);
BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void* overlapped);
DWORD GetFileSize(HANDLE file, LPDWORD high);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method);
BOOL SetEndOfFile(HANDLE file);
BOOL FlushFileBuffers(HANDLE file);
BOOL DeleteFileW(LPCWSTR path);
BOOL DeleteFileA(LPCSTR path);
#define DeleteFile DeleteFileW
BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags);
#define MoveFileEx MoveFileExW
BOOL CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists);
#define CopyFile CopyFileW
DWORD GetFileAttributesW(LPCWSTR path);
DWORD GetFileAttributesA(LPCSTR path);
#define GetFileAttributes GetFileAttributesW
BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES sa);
BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES sa);
#define CreateDirectory CreateDirectoryW
BOOL RemoveDirectoryW(LPCWSTR path);
BOOL PathFileExistsW(LPCWSTR path);
#define PathFileExists PathFileExistsW
DWORD GetModuleFileNameW(HMODULE module, LPWSTR out, DWORD size);
DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size);
#define GetModuleFileName GetModuleFileNameW
HMODULE GetModuleHandleW(LPCWSTR name);
#define GetModuleHandle GetModuleHandleW
DWORD GetTempPathW(DWORD size, LPWSTR out);
#define GetTempPath GetTempPathW
DWORD GetCurrentDirectoryW(DWORD size, LPWSTR out);

// The C runtime's wide and narrow openers, with the path mapped.
FILE* _wfopen(const wchar_t* path, const wchar_t* mode);
errno_t _wfopen_s(FILE** file, const wchar_t* path, const wchar_t* mode);

int _wremove(const wchar_t* path);
int _waccess(const wchar_t* path, int mode);

// Special folders.
#define CSIDL_DESKTOP 0x0000
#define CSIDL_PERSONAL 0x0005
#define CSIDL_APPDATA 0x001a
#define CSIDL_LOCAL_APPDATA 0x001c
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026
#define CSIDL_MYDOCUMENTS CSIDL_PERSONAL
#define SHGFP_TYPE_CURRENT 0
BOOL SHGetSpecialFolderPathW(HWND owner, LPWSTR out, int csidl, BOOL create);
#define SHGetSpecialFolderPath SHGetSpecialFolderPathW
HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE token, DWORD flags, LPWSTR out);
#define SHGetFolderPath SHGetFolderPathW

namespace winplat {

// The folder CSIDL_SYSTEM names and where a program named without a folder is looked
// for after our own folder and the current one: a deployment setting, the environment
// variable MIVORA_SYSTEM_DIR, else /usr/lib/mivora/system. Native form.
std::string SystemFolder();

// A Windows-form path as a path of this system (UTF-8): "\" becomes "/", a
// drive prefix is dropped.
std::string MapPath(const wchar_t* windowsPath);
std::string MapPathA(const char* windowsPath);
// A path of this system in Windows form ("/" becomes "\").
std::wstring ToWindowsPath(const std::string& nativePath);

// Tests and local runs can put the program somewhere else: the module path the
// layer reports (Windows form or native); empty restores the real one.
void SetModulePath(const std::wstring& path);

// Writes `size` bytes to `path` so that a crash never leaves a half-written file:
// a temporary file beside it, flushed, then renamed over it. true on success.
bool WriteFileAtomically(const std::wstring& windowsPath, const void* data, size_t size);
// Reads a whole file; false when it cannot be opened or read.
bool ReadWholeFile(const std::wstring& windowsPath, std::string& out);
// fopen with a Windows-form narrow path (ANSI code page).
FILE* OpenFileMapped(const char* windowsPath, const char* mode);

}  // namespace winplat
