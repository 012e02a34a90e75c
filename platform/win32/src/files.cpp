#include "win32/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>

#include "handles.h"
#include "win32/text.h"

namespace {

struct File : winplat::KernelObject {
    int fd = -1;
    ~File() override {
        if (fd >= 0) ::close(fd);
    }
};

std::mutex g_moduleLock;
std::wstring g_modulePath;

std::shared_ptr<File> lookupFile(HANDLE h) {
    return std::dynamic_pointer_cast<File>(winplat::LookupHandle(h));
}

std::string mapSeparators(std::string p) {
    if (p.size() >= 2 && p[1] == ':' &&
        ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')))
        p.erase(0, 2);
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

std::string homeDir() {
    const char* h = std::getenv("HOME");
    return h && *h ? h : "/tmp";
}

// The XDG user folder of `key` ("DOCUMENTS", "DESKTOP"), or `fallback` below home.
std::string xdgUserDir(const char* key, const char* fallback) {
    const char* cfg = std::getenv("XDG_CONFIG_HOME");
    std::string file =
        (cfg && *cfg ? std::string(cfg) : homeDir() + "/.config") + "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line, want = std::string("XDG_") + key + "_DIR=";
    while (std::getline(in, line)) {
        if (line.compare(0, want.size(), want) != 0) continue;
        std::string v = line.substr(want.size());
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
        if (v.compare(0, 5, "$HOME") == 0) v = homeDir() + v.substr(5);
        if (!v.empty()) return v;
    }
    return homeDir() + "/" + fallback;
}

std::string specialFolder(int csidl) {
    switch (csidl & 0xff) {
        case CSIDL_DESKTOP:
            return xdgUserDir("DESKTOP", "Desktop");
        case CSIDL_PERSONAL:
            return xdgUserDir("DOCUMENTS", "Documents");
        case CSIDL_APPDATA: {
            const char* d = std::getenv("XDG_CONFIG_HOME");
            return d && *d ? d : homeDir() + "/.config";
        }
        case CSIDL_LOCAL_APPDATA:
        case CSIDL_COMMON_APPDATA: {
            const char* d = std::getenv("XDG_DATA_HOME");
            return d && *d ? d : homeDir() + "/.local/share";
        }
        case CSIDL_PROGRAM_FILES:
            return "/opt";
        case CSIDL_SYSTEM:
            return winplat::SystemFolder();
        default:
            return std::string();
    }
}

bool copyOut(const std::wstring& text, LPWSTR out, DWORD size) {
    if (!out || size == 0 || text.size() + 1 > size) return false;
    std::wmemcpy(out, text.c_str(), text.size() + 1);
    return true;
}

}  // namespace

namespace winplat {

std::string SystemFolder() {
    const char* d = std::getenv("MIVORA_SYSTEM_DIR");
    return d && *d ? d : "/usr/lib/mivora/system";
}

std::string MapPath(const wchar_t* p) {
    return p ? mapSeparators(WideToUtf8(p)) : std::string();
}

std::string MapPathA(const char* p) {
    return p ? MapPath(AnsiToWide(p).c_str()) : std::string();
}

std::wstring ToWindowsPath(const std::string& native) {
    std::wstring w = Utf8ToWide(native);
    for (wchar_t& c : w)
        if (c == L'/') c = L'\\';
    return w;
}

void SetModulePath(const std::wstring& path) {
    std::lock_guard<std::mutex> g(g_moduleLock);
    g_modulePath = path;
    for (wchar_t& c : g_modulePath)
        if (c == L'/') c = L'\\';
}

bool WriteFileAtomically(const std::wstring& windowsPath, const void* data, size_t size) {
    std::string target = MapPath(windowsPath.c_str());
    if (target.empty()) return false;
    // One temporary name per call: threads writing the same file must not share one.
    static std::atomic<unsigned> s_serial{0};
    std::string tmp =
        target + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(s_serial.fetch_add(1));
    int fd = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    const char* p = static_cast<const char*>(data);
    size_t left = size;
    bool ok = true;
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = false;
            break;
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(tmp.c_str(), target.c_str()) == 0) return true;
    ::unlink(tmp.c_str());
    return false;
}

bool ReadWholeFile(const std::wstring& windowsPath, std::string& out) {
    std::ifstream in(MapPath(windowsPath.c_str()), std::ios::binary);
    if (!in) return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    if (in.bad()) return false;
    out = ss.str();
    return true;
}

FILE* OpenFileMapped(const char* windowsPath, const char* mode) {
    if (!windowsPath || !mode) return nullptr;
    return std::fopen(MapPathA(windowsPath).c_str(), mode);
}

}  // namespace winplat

HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD disposition,
                   DWORD, HANDLE) {
    if (!path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    int flags = O_CLOEXEC;
    bool r = access & GENERIC_READ, w = access & GENERIC_WRITE;
    flags |= (r && w) ? O_RDWR : w ? O_WRONLY : O_RDONLY;
    switch (disposition) {
        case CREATE_NEW:
            flags |= O_CREAT | O_EXCL;
            break;
        case CREATE_ALWAYS:
            flags |= O_CREAT | O_TRUNC;
            break;
        case OPEN_EXISTING:
            break;
        case OPEN_ALWAYS:
            flags |= O_CREAT;
            break;
        case TRUNCATE_EXISTING:
            flags |= O_TRUNC;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return INVALID_HANDLE_VALUE;
    }
    std::string native = winplat::MapPath(path);
    struct stat st {};
    bool existed = ::stat(native.c_str(), &st) == 0;
    if (existed && S_ISDIR(st.st_mode)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    int fd = ::open(native.c_str(), flags, 0644);
    if (fd < 0) {
        SetLastError(winplat::ErrorFromErrno(errno));
        return INVALID_HANDLE_VALUE;
    }
    auto f = std::make_shared<File>();
    f->fd = fd;
    // Windows reports an existing file for the two "always" dispositions.
    SetLastError((existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS))
                     ? ERROR_ALREADY_EXISTS
                     : ERROR_SUCCESS);
    return winplat::RegisterHandle(f);
}

HANDLE CreateFileA(LPCSTR path, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES sa,
                   DWORD disposition, DWORD flags, HANDLE templ) {
    if (!path) return CreateFileW(nullptr, access, share, sa, disposition, flags, templ);
    return CreateFileW(winplat::AnsiToWide(path).c_str(), access, share, sa, disposition, flags,
                       templ);
}

BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, void*) {
    auto f = lookupFile(file);
    if (read) *read = 0;
    if (!f || (!buffer && toRead)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    size_t done = 0;
    while (done < toRead) {
        ssize_t n = ::read(f->fd, static_cast<char*>(buffer) + done, toRead - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            SetLastError(winplat::ErrorFromErrno(errno));
            return FALSE;
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    if (read) *read = static_cast<DWORD>(done);
    return TRUE;
}

BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, void*) {
    auto f = lookupFile(file);
    if (written) *written = 0;
    if (!f || (!buffer && toWrite)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    size_t done = 0;
    while (done < toWrite) {
        ssize_t n = ::write(f->fd, static_cast<const char*>(buffer) + done, toWrite - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            SetLastError(winplat::ErrorFromErrno(errno));
            if (written) *written = static_cast<DWORD>(done);
            return FALSE;
        }
        done += static_cast<size_t>(n);
    }
    if (written) *written = static_cast<DWORD>(done);
    return TRUE;
}

DWORD GetFileSize(HANDLE file, LPDWORD high) {
    auto f = lookupFile(file);
    struct stat st {};
    if (!f || ::fstat(f->fd, &st) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(st.st_size);
    if (high) *high = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

DWORD SetFilePointer(HANDLE file, LONG distance, LONG* high, DWORD method) {
    auto f = lookupFile(file);
    if (!f || method > FILE_END) {
        SetLastError(ERROR_INVALID_HANDLE);
        return INVALID_SET_FILE_POINTER;
    }
    int64_t d = high ? (static_cast<int64_t>(*high) << 32) | static_cast<uint32_t>(distance)
                     : static_cast<int64_t>(distance);
    int whence = method == FILE_BEGIN ? SEEK_SET : method == FILE_CURRENT ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(f->fd, static_cast<off_t>(d), whence);
    if (pos < 0) {
        SetLastError(winplat::ErrorFromErrno(errno));
        return INVALID_SET_FILE_POINTER;
    }
    if (high) *high = static_cast<LONG>(static_cast<uint64_t>(pos) >> 32);
    return static_cast<DWORD>(pos);
}

BOOL SetEndOfFile(HANDLE file) {
    auto f = lookupFile(file);
    if (!f) return FALSE;
    off_t pos = ::lseek(f->fd, 0, SEEK_CUR);
    return pos >= 0 && ::ftruncate(f->fd, pos) == 0;
}

BOOL FlushFileBuffers(HANDLE file) {
    auto f = lookupFile(file);
    return f && ::fsync(f->fd) == 0;
}

BOOL DeleteFileW(LPCWSTR path) {
    if (!path || ::unlink(winplat::MapPath(path).c_str()) != 0) {
        SetLastError(winplat::ErrorFromErrno(path ? errno : EINVAL));
        return FALSE;
    }
    return TRUE;
}

BOOL DeleteFileA(LPCSTR path) {
    return path ? DeleteFileW(winplat::AnsiToWide(path).c_str()) : FALSE;
}

BOOL MoveFileExW(LPCWSTR from, LPCWSTR to, DWORD flags) {
    if (!from || !to) return FALSE;
    std::string a = winplat::MapPath(from), b = winplat::MapPath(to);
    struct stat st {};
    if (!(flags & MOVEFILE_REPLACE_EXISTING) && ::stat(b.c_str(), &st) == 0) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    if (::rename(a.c_str(), b.c_str()) != 0) {
        SetLastError(winplat::ErrorFromErrno(errno));
        return FALSE;
    }
    return TRUE;
}

BOOL CopyFileW(LPCWSTR from, LPCWSTR to, BOOL failIfExists) {
    if (!from || !to) return FALSE;
    if (failIfExists && GetFileAttributesW(to) != INVALID_FILE_ATTRIBUTES) {
        SetLastError(ERROR_ALREADY_EXISTS);
        return FALSE;
    }
    std::string data;
    if (!winplat::ReadWholeFile(from, data)) return FALSE;
    return winplat::WriteFileAtomically(to, data.data(), data.size()) ? TRUE : FALSE;
}

DWORD GetFileAttributesW(LPCWSTR path) {
    struct stat st {};
    if (!path || ::stat(winplat::MapPath(path).c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

DWORD GetFileAttributesA(LPCSTR path) {
    return path ? GetFileAttributesW(winplat::AnsiToWide(path).c_str()) : INVALID_FILE_ATTRIBUTES;
}

BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    if (!path || ::mkdir(winplat::MapPath(path).c_str(), 0755) != 0) {
        SetLastError(winplat::ErrorFromErrno(path ? errno : EINVAL));
        return FALSE;
    }
    return TRUE;
}

BOOL CreateDirectoryA(LPCSTR path, LPSECURITY_ATTRIBUTES sa) {
    return path ? CreateDirectoryW(winplat::AnsiToWide(path).c_str(), sa) : FALSE;
}

BOOL RemoveDirectoryW(LPCWSTR path) {
    return path && ::rmdir(winplat::MapPath(path).c_str()) == 0;
}

BOOL PathFileExistsW(LPCWSTR path) {
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

DWORD GetModuleFileNameW(HMODULE, LPWSTR out, DWORD size) {
    std::wstring path;
    {
        std::lock_guard<std::mutex> g(g_moduleLock);
        path = g_modulePath;
    }
    if (path.empty()) {
        char buf[4096];
        ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
        if (n <= 0) return 0;
        path = winplat::ToWindowsPath(std::string(buf, static_cast<size_t>(n)));
    }
    if (!out || size == 0) return 0;
    if (path.size() + 1 > size) {
        // Windows cuts the path and reports the buffer as full.
        std::wmemcpy(out, path.c_str(), size - 1);
        out[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::wmemcpy(out, path.c_str(), path.size() + 1);
    return static_cast<DWORD>(path.size());
}

DWORD GetModuleFileNameA(HMODULE module, LPSTR out, DWORD size) {
    wchar_t wide[4096];
    if (GetModuleFileNameW(module, wide, 4096) == 0 || !out || size == 0) return 0;
    std::string a = winplat::WideToAnsi(wide);
    size_t n = a.size() < size - 1 ? a.size() : size - 1;
    std::memcpy(out, a.data(), n);
    out[n] = 0;
    return static_cast<DWORD>(n);
}

HMODULE GetModuleHandleW(LPCWSTR) {
    static int self;
    return reinterpret_cast<HMODULE>(&self);
}

DWORD GetTempPathW(DWORD size, LPWSTR out) {
    const char* t = std::getenv("TMPDIR");
    std::wstring p = winplat::ToWindowsPath(t && *t ? t : "/tmp");
    if (p.empty() || p.back() != L'\\') p += L'\\';
    if (!out || size < p.size() + 1) return static_cast<DWORD>(p.size() + 1);
    std::wmemcpy(out, p.c_str(), p.size() + 1);
    return static_cast<DWORD>(p.size());
}

DWORD GetCurrentDirectoryW(DWORD size, LPWSTR out) {
    char buf[4096];
    if (!::getcwd(buf, sizeof buf)) return 0;
    std::wstring p = winplat::ToWindowsPath(buf);
    if (!out || size < p.size() + 1) return static_cast<DWORD>(p.size() + 1);
    std::wmemcpy(out, p.c_str(), p.size() + 1);
    return static_cast<DWORD>(p.size());
}

FILE* _wfopen(const wchar_t* path, const wchar_t* mode) {
    if (!path || !mode) return nullptr;
    std::string m = winplat::WideToUtf8(mode);
    // The C runtime's ",ccs=" encodings are not used by the program; drop them.
    auto comma = m.find(',');
    if (comma != std::string::npos) m.erase(comma);
    return std::fopen(winplat::MapPath(path).c_str(), m.c_str());
}

errno_t _wfopen_s(FILE** file, const wchar_t* path, const wchar_t* mode) {
    if (!file) return EINVAL;
    *file = _wfopen(path, mode);
    return *file ? 0 : (errno ? errno : EINVAL);
}

int _wremove(const wchar_t* path) {
    return path ? ::unlink(winplat::MapPath(path).c_str()) : -1;
}

int _waccess(const wchar_t* path, int mode) {
    return path ? ::access(winplat::MapPath(path).c_str(), mode & 06) : -1;
}

BOOL SHGetSpecialFolderPathW(HWND, LPWSTR out, int csidl, BOOL create) {
    std::string native = specialFolder(csidl);
    if (native.empty()) return FALSE;
    if (create) ::mkdir(native.c_str(), 0755);
    return copyOut(winplat::ToWindowsPath(native), out, MAX_PATH) ? TRUE : FALSE;
}

HRESULT SHGetFolderPathW(HWND owner, int csidl, HANDLE, DWORD, LPWSTR out) {
    return SHGetSpecialFolderPathW(owner, out, csidl, (csidl & 0x8000) != 0) ? S_OK : E_FAIL;
}
