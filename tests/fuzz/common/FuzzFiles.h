// A private folder of the fuzz process where an input becomes the file a reader
// opens: the readers take paths, not bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fuzzing {

// The folder (made on first use under $TMPDIR or /tmp, removed at exit), with a
// trailing '/'.
const std::string& FuzzFolder();
// Writes `size` bytes to FuzzFolder() + name (replacing it) and returns the full path.
std::string WriteFuzzFile(const std::string& name, const uint8_t* data, size_t size);
inline std::string WriteFuzzFile(const std::string& name, const std::vector<uint8_t>& bytes) {
    return WriteFuzzFile(name, bytes.data(), bytes.size());
}

}  // namespace fuzzing
