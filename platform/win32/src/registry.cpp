// The registry subset: keys are paths that always open; the Run keys are XDG
// autostart entries, other values live in memory for the process's life.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "win32/files.h"
#include "win32/registry.h"
#include "win32/text.h"

namespace {

struct Value {
    DWORD type;
    std::vector<BYTE> data;
};

struct Store {
    std::mutex lock;
    std::map<HKEY, std::wstring> open;  // handle -> folded path
    std::map<std::wstring, std::map<std::wstring, Value>> values;
    std::map<std::wstring, bool> created;
    uintptr_t next = 0x1000;
};

Store& store() {
    static Store* s = new Store;
    return *s;
}

std::wstring fold(std::wstring s) {
    for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
    return s;
}

// "a\\b\\" -> "a\b"
std::wstring normalise(const std::wstring& path) {
    std::wstring out;
    for (wchar_t c : path) {
        if (c == L'/') c = L'\\';
        if (c == L'\\' && (out.empty() || out.back() == L'\\')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == L'\\') out.pop_back();
    return fold(out);
}

bool rootName(HKEY key, std::wstring& out) {
    if (key == HKEY_LOCAL_MACHINE)
        out = L"hklm";
    else if (key == HKEY_CURRENT_USER)
        out = L"hkcu";
    else if (key == HKEY_CLASSES_ROOT)
        out = L"hkcr";
    else if (key == HKEY_USERS)
        out = L"hku";
    else
        return false;
    return true;
}

bool pathOfLocked(HKEY key, std::wstring& out) {
    if (rootName(key, out)) return true;
    auto it = store().open.find(key);
    if (it == store().open.end()) return false;
    out = it->second;
    return true;
}

bool isRunKey(const std::wstring& path) {
    return path == L"hklm\\software\\microsoft\\windows\\currentversion\\run" ||
           path == L"hkcu\\software\\microsoft\\windows\\currentversion\\run";
}

std::string autostartFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string base;
    if (config && *config) {
        base = config;
    } else {
        const char* home = std::getenv("HOME");
        base = std::string(home && *home ? home : "/tmp") + "/.config";
    }
    return base + "/autostart";
}

std::string entryPath(const std::wstring& valueName) {
    std::string name = winplat::WideToUtf8(valueName);
    for (auto& c : name)
        if (c == '/' || c == '\\') c = '_';
    if (name.empty() || name == "." || name == "..") name = "_" + name;
    return autostartFolder() + "/" + name + ".desktop";
}

// Exec= of the desktop-entry format: quoted, with '"', '`', '$' and '\' escaped
// by a backslash, and every backslash then doubled by the string escaping.
std::string quoteExec(const std::string& path) {
    std::string out = "\"";
    for (char c : path) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += "\\\\";
        out += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return out + "\"";
}

std::string unquoteExec(const std::string& exec) {
    std::string unescaped;  // string level: "\\" is one backslash
    for (size_t i = 0; i < exec.size(); ++i) {
        if (exec[i] == '\\' && i + 1 < exec.size() && exec[i + 1] == '\\') ++i;
        unescaped += exec[i];
    }
    if (unescaped.size() < 2 || unescaped.front() != '"' || unescaped.back() != '"')
        return unescaped;
    std::string out;  // quoting level
    for (size_t i = 1; i + 1 < unescaped.size(); ++i) {
        if (unescaped[i] == '\\' && i + 2 < unescaped.size()) ++i;
        out += unescaped[i];
    }
    return out;
}

void makeFolders(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '/') mkdir(path.substr(0, i).c_str(), 0755);
}

LSTATUS writeRunEntry(const std::wstring& valueName, const std::wstring& program) {
    std::string native = winplat::MapPath(program.c_str());
    std::string text = "[Desktop Entry]\nType=Application\nName=" + winplat::WideToUtf8(valueName) +
                       "\nExec=" + quoteExec(native) + "\nX-GNOME-Autostart-enabled=true\n";
    makeFolders(autostartFolder());
    std::string path = entryPath(valueName);
    return winplat::WriteFileAtomically(winplat::Utf8ToWide(path), text.data(), text.size())
               ? ERROR_SUCCESS
               : ERROR_ACCESS_DENIED;
}

bool readRunEntry(const std::wstring& valueName, std::wstring& program) {
    std::string text;
    if (!winplat::ReadWholeFile(winplat::Utf8ToWide(entryPath(valueName)), text)) return false;
    size_t at = text.find("\nExec=");
    if (at == std::string::npos) return false;
    size_t end = text.find('\n', at + 6);
    std::string exec =
        text.substr(at + 6, end == std::string::npos ? std::string::npos : end - at - 6);
    program = winplat::ToWindowsPath(unquoteExec(exec));
    return true;
}

LSTATUS openKey(HKEY key, LPCWSTR subKey, PHKEY result, LPDWORD disposition) {
    if (!result) return ERROR_INVALID_PARAMETER;
    std::lock_guard<std::mutex> g(store().lock);
    std::wstring base;
    if (!pathOfLocked(key, base)) return ERROR_INVALID_HANDLE;
    std::wstring path = normalise(base + L"\\" + (subKey ? subKey : L""));
    HKEY h = reinterpret_cast<HKEY>(store().next);
    store().next += 4;
    store().open[h] = path;
    if (disposition) {
        bool known = store().created.count(path) != 0;
        *disposition = known ? REG_OPENED_EXISTING_KEY : REG_CREATED_NEW_KEY;
        store().created[path] = true;
    }
    *result = h;
    return ERROR_SUCCESS;
}

}  // namespace

LSTATUS RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    return openKey(key, subKey, result, nullptr);
}

LSTATUS RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM,
                        LPSECURITY_ATTRIBUTES, PHKEY result, LPDWORD disposition) {
    return openKey(key, subKey, result, disposition);
}

LSTATUS RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data,
                       DWORD size) {
    if (size && !data) return ERROR_INVALID_PARAMETER;
    std::wstring path;
    {
        std::lock_guard<std::mutex> g(store().lock);
        if (!pathOfLocked(key, path)) return ERROR_INVALID_HANDLE;
    }
    std::wstring name = valueName ? valueName : L"";
    if (isRunKey(path) && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
        text = text.c_str();  // up to the NUL
        return writeRunEntry(name, text);
    }
    std::lock_guard<std::mutex> g(store().lock);
    store().values[path][fold(name)] = Value{type, std::vector<BYTE>(data, data + size)};
    return ERROR_SUCCESS;
}

LSTATUS RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                         LPDWORD size) {
    if (data && !size) return ERROR_INVALID_PARAMETER;
    std::wstring path;
    Value v;
    {
        std::lock_guard<std::mutex> g(store().lock);
        if (!pathOfLocked(key, path)) return ERROR_INVALID_HANDLE;
    }
    std::wstring name = valueName ? valueName : L"";
    std::wstring program;
    if (isRunKey(path) && readRunEntry(name, program)) {
        v.type = REG_SZ;
        auto* p = reinterpret_cast<const BYTE*>(program.c_str());
        v.data.assign(p, p + (program.size() + 1) * sizeof(wchar_t));
    } else {
        std::lock_guard<std::mutex> g(store().lock);
        auto k = store().values.find(path);
        if (k == store().values.end()) return ERROR_FILE_NOT_FOUND;
        auto it = k->second.find(fold(name));
        if (it == k->second.end()) return ERROR_FILE_NOT_FOUND;
        v = it->second;
    }
    if (type) *type = v.type;
    DWORD needed = static_cast<DWORD>(v.data.size());
    if (!size) return ERROR_SUCCESS;
    if (!data) {
        *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return ERROR_MORE_DATA;
    }
    if (needed) std::memcpy(data, v.data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
}

LSTATUS RegDeleteValueW(HKEY key, LPCWSTR valueName) {
    std::wstring path;
    {
        std::lock_guard<std::mutex> g(store().lock);
        if (!pathOfLocked(key, path)) return ERROR_INVALID_HANDLE;
    }
    std::wstring name = valueName ? valueName : L"";
    if (isRunKey(path)) {
        if (unlink(entryPath(name).c_str()) == 0) return ERROR_SUCCESS;
        return errno == ENOENT ? ERROR_FILE_NOT_FOUND : ERROR_ACCESS_DENIED;
    }
    std::lock_guard<std::mutex> g(store().lock);
    auto k = store().values.find(path);
    if (k == store().values.end() || !k->second.erase(fold(name))) return ERROR_FILE_NOT_FOUND;
    return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
    std::wstring root;
    if (rootName(key, root)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> g(store().lock);
    return store().open.erase(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}
