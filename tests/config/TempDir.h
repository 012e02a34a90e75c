// A fresh folder per test, removed afterwards; paths handed out in Windows form.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "win32/win32.h"

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "mivora-cfg-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data())) m_native = buf.data();
    }
    ~TempDir() {
        std::error_code ec;
        if (!m_native.empty()) std::filesystem::remove_all(m_native, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& native() const { return m_native; }
    // "<dir>\<name>" in the form the program builds its paths.
    std::wstring path(const std::string& name) const {
        return winplat::ToWindowsPath(m_native) + L"\\" + winplat::Utf8ToWide(name);
    }
    std::string ansiPath(const std::string& name) const { return winplat::WideToAnsi(path(name)); }
    std::string nativePath(const std::string& name) const { return m_native + "/" + name; }
    // Names of what the folder holds (to see that no temporary file is left over).
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(m_native))
            names.push_back(e.path().filename().string());
        return names;
    }

private:
    std::string m_native;
};

inline std::string ReadBytes(const std::wstring& path) {
    std::string data;
    winplat::ReadWholeFile(path, data);
    return data;
}

inline bool WriteBytes(const std::wstring& path, const std::string& data) {
    return winplat::WriteFileAtomically(path, data.data(), data.size());
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}
