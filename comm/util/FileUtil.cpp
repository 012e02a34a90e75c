#include "util/FileUtil.h"

#include <cwchar>

#include "win32/win32.h"

namespace {
constexpr size_t kMaxMultiDirPath = 256;
}

int IsDirExist(const wchar_t* path) {
    if (!path) return 0;
    DWORD attr = GetFileAttributesW(path);
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0;
}

int IsFileExist(const wchar_t* path) {
    if (!path) return 0;
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

int CreateDir(const wchar_t* path) {
    if (!path) return 0;
    CreateDirectoryW(path, nullptr);
    return 1;
}

int CreateMultiDir(const wchar_t* path) {
    if (!path) return 0;
    size_t len = wcslen(path);
    // The working copy is fixed at 256 characters; a longer path is refused
    // rather than cut, which would create the wrong folders.
    if (len > kMaxMultiDirPath) return 0;
    wchar_t buf[kMaxMultiDirPath + 1];
    wmemcpy(buf, path, len);
    buf[len] = L'\0';
    if (len > 0 && buf[len - 1] == L'\\') buf[--len] = L'\0';

    for (size_t i = 0; i <= len; ++i) {
        if (i < len && buf[i] != L'\\') continue;
        if (i == 0) continue;  // nothing before a leading backslash
        wchar_t saved = buf[i];
        buf[i] = L'\0';
        if (!IsDirExist(buf)) CreateDir(buf);
        buf[i] = saved;
    }
    return 1;
}

void GetMyDocumentPath(wchar_t* out) {
    if (!out) return;
    wchar_t path[MAX_PATH] = {0};
    if (SHGetSpecialFolderPathW(nullptr, path, CSIDL_PERSONAL, FALSE))
        wcscpy_s(out, MAX_PATH, path);
}

void SetChromeValue(wchar_t*, wchar_t*) {}
