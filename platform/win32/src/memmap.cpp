#include "win32/memmap.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>
#include <string>

#include "handles.h"

namespace {

class Section : public winplat::KernelObject {
public:
    Section(int fd, std::string name, bool owner) : fd_(fd), name_(std::move(name)), owner_(owner) {}
    ~Section() override {
        ::close(fd_);
        if (owner_) ::shm_unlink(name_.c_str());
    }
    int fd() const { return fd_; }

private:
    int fd_;
    std::string name_;
    bool owner_;  // created here: the name is released with the handle
};

std::mutex g_lock;
std::string g_space;
std::map<const void*, size_t> g_views;  // address -> length

std::string ShmName(const char* name) {
    std::lock_guard<std::mutex> g(g_lock);
    return "/mivora-" + std::to_string(::getuid()) + "-" + g_space + "-" + name;
}

// '/' is the one character a POSIX name cannot hold past its first.
bool ValidName(const char* name) {
    if (!name || !*name) return false;
    for (const char* p = name; *p; ++p)
        if (*p == '/') return false;
    return std::char_traits<char>::length(name) < 200;
}

DWORD ErrorFromErrno(int e) {
    switch (e) {
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOMEM:
        case ENOSPC:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

}  // namespace

namespace winplat {

void SetSectionNamespace(const char* space) {
    std::lock_guard<std::mutex> g(g_lock);
    g_space = space ? space : "";
}

}  // namespace winplat

HANDLE CreateFileMappingA(HANDLE file, LPSECURITY_ATTRIBUTES, DWORD protect, DWORD sizeHigh,
                          DWORD sizeLow, LPCSTR name) {
    const uint64_t size = (static_cast<uint64_t>(sizeHigh) << 32) | sizeLow;
    if (file != INVALID_HANDLE_VALUE || size == 0 ||
        (protect != PAGE_READWRITE && protect != PAGE_READONLY)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    int fd = -1;
    bool created = false;
    std::string shm;
    if (name) {
        if (!ValidName(name)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        shm = ShmName(name);
        fd = ::shm_open(shm.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            created = true;
        } else if (errno == EEXIST) {
            fd = ::shm_open(shm.c_str(), O_RDWR, 0600);
        }
    } else {
        fd = ::memfd_create("mivora-section", 0);
    }
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 ||
        (static_cast<uint64_t>(st.st_size) < size && ::ftruncate(fd, static_cast<off_t>(size)) != 0)) {
        const DWORD error = ErrorFromErrno(errno);
        ::close(fd);
        if (created) ::shm_unlink(shm.c_str());
        SetLastError(error);
        return nullptr;
    }
    HANDLE h = winplat::RegisterHandle(std::make_shared<Section>(fd, shm, created && name));
    SetLastError(created || !name ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS);
    return h;
}

HANDLE OpenFileMappingA(DWORD, BOOL, LPCSTR name) {
    if (!ValidName(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int fd = ::shm_open(ShmName(name).c_str(), O_RDWR, 0600);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    return winplat::RegisterHandle(std::make_shared<Section>(fd, std::string(), false));
}

LPVOID MapViewOfFile(HANDLE mapping, DWORD access, DWORD offsetHigh, DWORD offsetLow,
                     SIZE_T bytes) {
    auto section = std::dynamic_pointer_cast<Section>(winplat::LookupHandle(mapping));
    if (!section) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(section->fd(), &st) != 0) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    const uint64_t offset = (static_cast<uint64_t>(offsetHigh) << 32) | offsetLow;
    const uint64_t total = static_cast<uint64_t>(st.st_size);
    if (offset >= total || offset % static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)) != 0 ||
        bytes > total - offset) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const size_t length = bytes ? bytes : static_cast<size_t>(total - offset);
    const int prot = (access & FILE_MAP_WRITE) ? (PROT_READ | PROT_WRITE) : PROT_READ;
    void* p = ::mmap(nullptr, length, prot, MAP_SHARED, section->fd(), static_cast<off_t>(offset));
    if (p == MAP_FAILED) {
        SetLastError(ErrorFromErrno(errno));
        return nullptr;
    }
    std::lock_guard<std::mutex> g(g_lock);
    g_views[p] = length;
    return p;
}

BOOL UnmapViewOfFile(LPCVOID address) {
    size_t length = 0;
    {
        std::lock_guard<std::mutex> g(g_lock);
        auto it = g_views.find(address);
        if (it == g_views.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        length = it->second;
        g_views.erase(it);
    }
    ::munmap(const_cast<void*>(address), length);
    return TRUE;
}
