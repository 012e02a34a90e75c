#include "win32/nls.h"

#include <mutex>
#include <set>

#include "win32/text.h"

namespace {

std::mutex g_mutex;
std::set<UINT> g_missing;

}  // namespace

BOOL IsValidCodePage(UINT codePage) {
    if (codePage == CP_ACP || codePage == CP_OEMCP) return FALSE;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (g_missing.count(codePage)) return FALSE;
    }
    // A converter that takes a plain ASCII letter exists for the code page.
    wchar_t out[2] = {0, 0};
    return MultiByteToWideChar(codePage, 0, "A", 1, out, 2) == 1 && out[0] == L'A';
}

namespace winplat {

void SetCodePageInstalled(UINT codePage, bool installed) {
    std::lock_guard<std::mutex> lock(g_mutex);
    if (installed)
        g_missing.erase(codePage);
    else
        g_missing.insert(codePage);
}

}  // namespace winplat
