// Icons loaded from .ico files, the program's icon resource, and window icons.
#include <QImageReader>
#include <QPixmap>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <string>

#include "icon_store.h"
#include "win32/files.h"

namespace winplat {

namespace {

std::mutex g_lock;
std::map<HICON, QImage> g_icons;
uintptr_t g_next = 0x1000;

constexpr WORD kProgramIconId = 108;

// The image of the file nearest to cx by cy (the first when no size is asked).
QImage ReadIcon(const std::string& path, int cx, int cy) {
    QImageReader reader(QString::fromStdString(path));
    const int count = std::max(1, reader.imageCount());
    QImage best;
    int bestScore = -1;
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !reader.jumpToImage(i)) break;
        QImage img = reader.read();
        if (img.isNull()) break;
        if (cx <= 0 || cy <= 0) return img;
        const int score = std::abs(img.width() - cx) + std::abs(img.height() - cy);
        if (bestScore < 0 || score < bestScore) {
            best = img;
            bestScore = score;
        }
    }
    if (best.isNull()) return best;
    if (best.width() != cx || best.height() != cy)
        best = best.scaled(cx, cy, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return best;
}

}  // namespace

HICON AddIcon(const QImage& image) {
    std::lock_guard<std::mutex> g(g_lock);
    HICON h = reinterpret_cast<HICON>(g_next++);
    g_icons[h] = image;
    return h;
}

QImage IconImage(HICON icon) {
    std::lock_guard<std::mutex> g(g_lock);
    auto it = g_icons.find(icon);
    return it == g_icons.end() ? QImage() : it->second;
}

QIcon IconOf(HICON icon) {
    QImage img = IconImage(icon);
    return img.isNull() ? QIcon() : QIcon(QPixmap::fromImage(img));
}

void ApplyWindowIcon(HWND hwnd, QWidget* widget) {
    HICON icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_BIG, 0));
    if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(hwnd, WM_GETICON, ICON_SMALL, 0));
    if (widget) widget->setWindowIcon(IconOf(icon));
}

bool GetIconSize(HICON icon, int* width, int* height) {
    QImage img = IconImage(icon);
    if (img.isNull()) return false;
    if (width) *width = img.width();
    if (height) *height = img.height();
    return true;
}

}  // namespace winplat

HANDLE LoadImageW(HINSTANCE, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (type != IMAGE_ICON || !(flags & LR_LOADFROMFILE) || !name || IS_INTRESOURCE(name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (flags & LR_DEFAULTSIZE) {
        if (cx == 0) cx = GetSystemMetrics(SM_CXICON);
        if (cy == 0) cy = GetSystemMetrics(SM_CYICON);
    }
    QImage img = winplat::ReadIcon(winplat::MapPath(name), cx, cy);
    if (img.isNull()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    return winplat::AddIcon(img);
}

HICON LoadIconW(HINSTANCE, LPCWSTR name) {
    if (!IS_INTRESOURCE(name) || LOWORD(reinterpret_cast<ULONG_PTR>(name)) != winplat::kProgramIconId)
        return nullptr;
    wchar_t module[MAX_PATH] = {0};
    const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    std::wstring path(module, n);
    const size_t cut = path.find_last_of(L"\\/");
    path = (cut == std::wstring::npos ? std::wstring() : path.substr(0, cut + 1)) + L"MVchat.ico";
    return static_cast<HICON>(LoadImageW(nullptr, path.c_str(), IMAGE_ICON, 0, 0, LR_LOADFROMFILE));
}

BOOL DestroyIcon(HICON icon) {
    std::lock_guard<std::mutex> g(winplat::g_lock);
    return winplat::g_icons.erase(icon) ? TRUE : FALSE;
}
