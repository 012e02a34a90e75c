// Font handles over their LOGFONT description.
#include "win32gui/font.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <unordered_set>

namespace {

struct FontObject {
    LOGFONTW lf;
};

std::mutex g_fontLock;
std::unordered_set<FontObject*> g_fonts;

// The GUI font of the layer: the CJK font the program's windows use, 12 pixels.
FontObject* StockGuiFont() {
    static FontObject* font = [] {
        auto* f = new FontObject{};
        f->lf.lfHeight = -12;
        f->lf.lfWeight = FW_NORMAL;
        f->lf.lfCharSet = DEFAULT_CHARSET;
        const wchar_t face[] = L"WenQuanYi Micro Hei";
        static_assert(sizeof(face) / sizeof(face[0]) <= LF_FACESIZE, "face name too long");
        std::memcpy(f->lf.lfFaceName, face, sizeof(face));
        return f;
    }();
    return font;
}

}  // namespace

HGDIOBJ GetStockObject(int index) {
    return index == DEFAULT_GUI_FONT ? static_cast<HGDIOBJ>(StockGuiFont()) : nullptr;
}

HFONT CreateFontIndirectW(const LOGFONTW* lf) {
    if (!lf) return nullptr;
    auto* f = new FontObject{*lf};
    f->lf.lfFaceName[LF_FACESIZE - 1] = 0;
    std::lock_guard<std::mutex> lock(g_fontLock);
    g_fonts.insert(f);
    return reinterpret_cast<HFONT>(f);
}

int GetObjectW(HGDIOBJ obj, int size, LPVOID out) {
    LOGFONTW lf;
    if (!winplat::FontDescription(static_cast<HFONT>(obj), &lf)) return 0;
    if (!out) return static_cast<int>(sizeof(lf));
    if (size <= 0) return 0;
    size_t n = std::min(sizeof(lf), static_cast<size_t>(size));
    std::memcpy(out, &lf, n);
    return static_cast<int>(n);
}

namespace winplat {

bool FontDescription(HFONT font, LOGFONTW* out) {
    auto* f = reinterpret_cast<FontObject*>(font);
    if (!f || !out) return false;
    if (f == StockGuiFont()) {
        *out = f->lf;
        return true;
    }
    std::lock_guard<std::mutex> lock(g_fontLock);
    if (!g_fonts.count(f)) return false;
    *out = f->lf;
    return true;
}

bool DeleteFontObject(HGDIOBJ obj) {
    auto* f = static_cast<FontObject*>(obj);
    if (f && f == StockGuiFont()) return true;  // stock objects are never freed
    std::lock_guard<std::mutex> lock(g_fontLock);
    if (!g_fonts.erase(f)) return false;
    delete f;
    return true;
}

}  // namespace winplat
