// Notification-area icons on QSystemTrayIcon.
#include <QApplication>
#include <QSystemTrayIcon>

#include <algorithm>
#include <cwchar>
#include <memory>
#include <mutex>

#include "icon_store.h"
#include "win32gui/shell.h"
#include "win32gui/user.h"

namespace {

struct TrayEntry {
    winplat::TrayIconInfo info;
    std::unique_ptr<QSystemTrayIcon> qt;  // null where there is no tray
};

std::mutex g_lock;
std::vector<std::unique_ptr<TrayEntry>> g_entries;  // GUI thread changes the Qt side

TrayEntry* FindLocked(HWND hwnd, UINT id) {
    for (auto& e : g_entries)
        if (e->info.hwnd == hwnd && e->info.id == id) return e.get();
    return nullptr;
}

// The tip field need not hold a NUL: read at most its width.
std::wstring TipOf(const NOTIFYICONDATAW& d) {
    const size_t n = wcsnlen(d.szTip, sizeof(d.szTip) / sizeof(d.szTip[0]));
    return std::wstring(d.szTip, n);
}

void Apply(TrayEntry& e, const NOTIFYICONDATAW& d) {
    if (d.uFlags & NIF_MESSAGE) e.info.callbackMessage = d.uCallbackMessage;
    if (d.uFlags & NIF_ICON) e.info.icon = d.hIcon;
    if (d.uFlags & NIF_TIP) e.info.tip = TipOf(d);
}

void Post(const winplat::TrayIconInfo& info, bool context) {
    if (info.callbackMessage)
        PostMessageW(info.hwnd, info.callbackMessage, info.id, context ? WM_RBUTTONUP : WM_LBUTTONDOWN);
}

void ShowOnTray(TrayEntry& e) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()) ||
        !QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!e.qt) {
        e.qt = std::make_unique<QSystemTrayIcon>();
        const HWND hwnd = e.info.hwnd;
        const UINT id = e.info.id;
        QObject::connect(e.qt.get(), &QSystemTrayIcon::activated,
                         [hwnd, id](QSystemTrayIcon::ActivationReason why) {
                             if (why == QSystemTrayIcon::Trigger)
                                 winplat::ClickTrayIcon(hwnd, id, false);
                             else if (why == QSystemTrayIcon::Context)
                                 winplat::ClickTrayIcon(hwnd, id, true);
                         });
    }
    e.qt->setIcon(winplat::IconOf(e.info.icon));
    e.qt->setToolTip(QString::fromStdWString(e.info.tip));
    e.qt->show();
    e.info.shown = true;
}

}  // namespace

BOOL Shell_NotifyIconW(DWORD message, PNOTIFYICONDATAW d) {
    if (!d || !IsWindow(d->hWnd)) return FALSE;
    std::unique_ptr<TrayEntry> removed;
    {
        std::lock_guard<std::mutex> g(g_lock);
        TrayEntry* e = FindLocked(d->hWnd, d->uID);
        switch (message) {
            case NIM_ADD:
                if (e) return FALSE;
                g_entries.push_back(std::make_unique<TrayEntry>());
                e = g_entries.back().get();
                e->info = winplat::TrayIconInfo{d->hWnd, d->uID, 0, nullptr, std::wstring(), false};
                Apply(*e, *d);
                ShowOnTray(*e);
                return TRUE;
            case NIM_MODIFY:
                if (!e) return FALSE;
                Apply(*e, *d);
                ShowOnTray(*e);
                return TRUE;
            case NIM_DELETE: {
                if (!e) return FALSE;
                auto it = std::find_if(g_entries.begin(), g_entries.end(),
                                       [e](const std::unique_ptr<TrayEntry>& p) { return p.get() == e; });
                removed = std::move(*it);
                g_entries.erase(it);
                break;
            }
            default:
                return FALSE;
        }
    }
    if (removed && removed->qt) removed->qt->hide();
    return TRUE;
}

namespace winplat {

std::vector<TrayIconInfo> TrayIcons() {
    std::lock_guard<std::mutex> g(g_lock);
    std::vector<TrayIconInfo> out;
    for (auto& e : g_entries) out.push_back(e->info);
    return out;
}

bool ClickTrayIcon(HWND hwnd, UINT id, bool context) {
    TrayIconInfo info;
    {
        std::lock_guard<std::mutex> g(g_lock);
        TrayEntry* e = FindLocked(hwnd, id);
        if (!e) return false;
        info = e->info;
    }
    Post(info, context);
    return true;
}

}  // namespace winplat
