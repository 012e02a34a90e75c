// The text clipboard on QClipboard (an in-process store when no Qt application runs).
#include <QClipboard>
#include <QGuiApplication>

#include <cstring>
#include <string>

#include "win32gui/clipboard.h"

namespace {

bool g_open = false;
HGLOBAL g_given = nullptr;  // the block GetClipboardData handed out last
std::wstring g_localText;   // the clipboard without a Qt application

void ReleaseGiven() {
    if (g_given) ::GlobalFree(g_given);
    g_given = nullptr;
}

QClipboard* Desktop() {
    return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

void SetText(const std::wstring& text) {
    if (QClipboard* c = Desktop())
        c->setText(QString::fromStdWString(text));
    else
        g_localText = text;
}

std::wstring Text() {
    if (QClipboard* c = Desktop()) return c->text().toStdWString();
    return g_localText;
}

}  // namespace

BOOL OpenClipboard(HWND) {
    if (g_open) return FALSE;
    g_open = true;
    return TRUE;
}

BOOL CloseClipboard() {
    if (!g_open) return FALSE;
    g_open = false;
    return TRUE;
}

BOOL EmptyClipboard() {
    if (!g_open) return FALSE;
    ReleaseGiven();
    SetText(std::wstring());
    return TRUE;
}

HANDLE SetClipboardData(UINT format, HANDLE mem) {
    if (!g_open || format != CF_TEXT || !mem) return nullptr;
    const auto* bytes = static_cast<const char*>(::GlobalLock(mem));
    if (!bytes) return nullptr;
    const size_t size = ::GlobalSize(mem);
    const size_t length = strnlen(bytes, size);
    SetText(winplat::AnsiToWide(std::string(bytes, length)));
    ::GlobalUnlock(mem);
    ::GlobalFree(mem);
    return mem;
}

HANDLE GetClipboardData(UINT format) {
    if (!g_open || format != CF_TEXT) return nullptr;
    const std::wstring text = Text();
    if (text.empty()) return nullptr;
    const std::string ansi = winplat::WideToAnsi(text);
    ReleaseGiven();
    g_given = ::GlobalAlloc(GMEM_MOVEABLE, ansi.size() + 1);
    if (void* p = ::GlobalLock(g_given)) {
        std::memcpy(p, ansi.c_str(), ansi.size() + 1);
        ::GlobalUnlock(g_given);
    }
    return g_given;
}

BOOL IsClipboardFormatAvailable(UINT format) {
    return format == CF_TEXT && !Text().empty() ? TRUE : FALSE;
}
