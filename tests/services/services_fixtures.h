// Shared pieces of the services tests: a scratch folder and file helpers.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

class ScratchDir {
public:
    explicit ScratchDir(const char* tag) {
        std::string pattern =
            (std::filesystem::temp_directory_path() / (std::string("mivora-") + tag + "-XXXXXX"))
                .string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (::mkdtemp(buf.data())) native_ = buf.data();
    }
    ~ScratchDir() {
        std::error_code ec;
        if (!native_.empty()) std::filesystem::remove_all(native_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    const std::string& native() const { return native_; }
    std::string file(const std::string& name) const { return native_ + "/" + name; }

private:
    std::string native_;
};

inline std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline void WriteFileBytes(const std::string& path, const std::string& data) {
    std::ofstream(path, std::ios::binary) << data;
}
