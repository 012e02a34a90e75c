// Copies into fixed-width text fields: a text longer than its field is cut so the
// field always keeps its terminating NUL.
#pragma once

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <string>

namespace mivora_config {

inline void CopyNarrow(char* field, size_t size, const std::string& text) {
    if (size == 0) return;
    size_t n = text.size() < size - 1 ? text.size() : size - 1;
    std::memcpy(field, text.data(), n);
    std::memset(field + n, 0, size - n);
}

inline void CopyWide(wchar_t* field, size_t count, const std::wstring& text) {
    if (count == 0) return;
    size_t n = text.size() < count - 1 ? text.size() : count - 1;
    std::wmemcpy(field, text.data(), n);
    std::wmemset(field + n, 0, count - n);
}

}  // namespace mivora_config
