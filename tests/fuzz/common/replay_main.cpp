// Runs a fuzz target's entry over every file of the given folders (or single files),
// in name order, as an ordinary program: the seed corpora stay a test of the parsers
// in builds without libFuzzer. A failed check inside the entry aborts, which fails
// the test; a folder with no input fails it too, since a lost corpus tests nothing.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace fs = std::filesystem;

namespace {

bool Replay(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "cannot read %s\n", file.c_str());
        return false;
    }
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                               std::istreambuf_iterator<char>());
    // A buffer of exactly the input's size, so that a read past it is seen by the
    // sanitizer build.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    size_t total = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        fs::path where(argv[i]);
        std::vector<fs::path> files;
        std::error_code error;
        if (fs::is_directory(where, error)) {
            for (const auto& entry : fs::directory_iterator(where, error))
                if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                    files.push_back(entry.path());
        } else if (fs::is_regular_file(where, error)) {
            files.push_back(where);
        }
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::fprintf(stderr, "no input in %s\n", argv[i]);
            ok = false;
        }
        for (const fs::path& f : files) ok = Replay(f) && ok;
        std::printf("%zu inputs from %s\n", files.size(), argv[i]);
        total += files.size();
    }
    std::printf("replayed %zu inputs\n", total);
    return ok && total > 0 ? 0 : 1;
}
