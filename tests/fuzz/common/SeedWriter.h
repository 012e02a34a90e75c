// The seed generators' one helper: numbered files in the folder given on the
// command line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace fuzzing {

class SeedWriter {
public:
    SeedWriter(int argc, char** argv) {
        if (argc != 2) {
            std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
            std::exit(2);
        }
        m_folder = argv[1];
    }
    void Add(const std::vector<uint8_t>& bytes) { Add(bytes.data(), bytes.size()); }
    void Add(const std::string& bytes) {
        Add(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    }
    void Add(const uint8_t* data, size_t size) {
        char name[32];
        std::snprintf(name, sizeof(name), "/seed-%03d", m_count++);
        FILE* f = std::fopen((m_folder + name).c_str(), "wb");
        if (!f || (size > 0 && std::fwrite(data, 1, size, f) != size)) {
            std::perror(m_folder.c_str());
            std::exit(1);
        }
        std::fclose(f);
    }
    int Count() const { return m_count; }

private:
    std::string m_folder;
    int m_count = 0;
};

}  // namespace fuzzing
