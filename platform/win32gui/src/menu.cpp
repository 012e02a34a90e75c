// Popup menus on QMenu and the message box on QMessageBox. Both wait in the
// layer's own loop so timers, sockets and posted messages keep flowing.
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "host_widget.h"
#include "win32gui/menu.h"
#include "win32gui/user.h"

namespace {

struct MenuItem {
    UINT flags;
    UINT_PTR id;  // the sub-menu handle for MF_POPUP
    std::wstring text;
};
struct MenuObject {
    std::vector<MenuItem> items;
};

std::mutex g_lock;
std::unordered_set<MenuObject*> g_menus;
UINT_PTR (*g_menuHook)(HMENU) = nullptr;
UINT_PTR (*g_menuTrackHook)(HMENU, UINT, int, int) = nullptr;
int (*g_boxHook)(LPCWSTR, LPCWSTR, UINT) = nullptr;

MenuObject* Menu(HMENU h) {
    auto* m = reinterpret_cast<MenuObject*>(h);
    std::lock_guard<std::mutex> lock(g_lock);
    return g_menus.count(m) ? m : nullptr;
}

int IndexOf(MenuObject* m, UINT pos, UINT flags) {
    if (flags & MF_BYPOSITION) return pos < m->items.size() ? static_cast<int>(pos) : -1;
    for (size_t i = 0; i < m->items.size(); ++i)
        if (!(m->items[i].flags & MF_POPUP) && m->items[i].id == pos) return static_cast<int>(i);
    return -1;
}

void Fill(QMenu* q, MenuObject* m, std::vector<std::unique_ptr<QMenu>>& subs, UINT_PTR* chosen) {
    for (const MenuItem& it : m->items) {
        QString text =
            QString::fromStdWString(it.text).replace(QLatin1Char('&'), QLatin1String("&&"));
        if (it.flags & MF_SEPARATOR) {
            q->addSeparator();
        } else if (it.flags & MF_POPUP) {
            MenuObject* sub = Menu(reinterpret_cast<HMENU>(it.id));
            subs.emplace_back(new QMenu(text));
            if (sub) Fill(subs.back().get(), sub, subs, chosen);
            q->addMenu(subs.back().get())->setEnabled(!(it.flags & (MF_GRAYED | MF_DISABLED)));
        } else {
            QAction* a = q->addAction(text);
            a->setEnabled(!(it.flags & (MF_GRAYED | MF_DISABLED)));
            a->setCheckable((it.flags & MF_CHECKED) != 0);
            a->setChecked((it.flags & MF_CHECKED) != 0);
            UINT_PTR id = it.id;
            QObject::connect(a, &QAction::triggered, [chosen, id] { *chosen = id; });
        }
    }
}

}  // namespace

namespace winplat {

// Waits in the thread's loop until done holds; a quit message ends the wait and
// stays pending for the outer loop.
void RunLoopUntil(const bool& done) {
    MSG msg;
    while (!done) {
        if (!GetMessageW(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (msg.hwnd == nullptr && msg.message == WM_NULL) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

}  // namespace winplat

namespace winplat {
void SetPopupMenuHook(UINT_PTR (*hook)(HMENU)) {
    g_menuHook = hook;
}
void SetPopupMenuTrackHook(UINT_PTR (*hook)(HMENU, UINT, int, int)) {
    g_menuTrackHook = hook;
}
void SetMessageBoxHook(int (*hook)(LPCWSTR, LPCWSTR, UINT)) {
    g_boxHook = hook;
}
}  // namespace winplat

HMENU CreatePopupMenu() {
    auto* m = new MenuObject;
    std::lock_guard<std::mutex> lock(g_lock);
    g_menus.insert(m);
    return reinterpret_cast<HMENU>(m);
}
HMENU CreateMenu() {
    return CreatePopupMenu();
}
BOOL DestroyMenu(HMENU h) {
    MenuObject* m = Menu(h);
    if (!m) return FALSE;
    std::vector<HMENU> subs;
    for (const MenuItem& it : m->items)
        if (it.flags & MF_POPUP) subs.push_back(reinterpret_cast<HMENU>(it.id));
    {
        std::lock_guard<std::mutex> lock(g_lock);
        g_menus.erase(m);
    }
    delete m;
    for (HMENU s : subs) DestroyMenu(s);
    return TRUE;
}
BOOL IsMenu(HMENU h) {
    return Menu(h) ? TRUE : FALSE;
}
BOOL AppendMenuW(HMENU h, UINT flags, UINT_PTR id, LPCWSTR text) {
    MenuObject* m = Menu(h);
    if (!m) return FALSE;
    m->items.push_back(MenuItem{flags, id, (text && !(flags & MF_SEPARATOR)) ? text : L""});
    return TRUE;
}
BOOL InsertMenuW(HMENU h, UINT pos, UINT flags, UINT_PTR id, LPCWSTR text) {
    MenuObject* m = Menu(h);
    if (!m) return FALSE;
    int i = IndexOf(m, pos, flags);
    MenuItem item{flags & ~static_cast<UINT>(MF_BYPOSITION), id,
                  (text && !(flags & MF_SEPARATOR)) ? text : L""};
    if (i < 0)
        m->items.push_back(item);
    else
        m->items.insert(m->items.begin() + i, item);
    return TRUE;
}
BOOL RemoveMenu(HMENU h, UINT pos, UINT flags) {
    MenuObject* m = Menu(h);
    if (!m) return FALSE;
    int i = IndexOf(m, pos, flags);
    if (i < 0) return FALSE;
    m->items.erase(m->items.begin() + i);
    return TRUE;
}
BOOL DeleteMenu(HMENU h, UINT pos, UINT flags) {
    MenuObject* m = Menu(h);
    if (!m) return FALSE;
    int i = IndexOf(m, pos, flags);
    if (i < 0) return FALSE;
    MenuItem it = m->items[static_cast<size_t>(i)];
    m->items.erase(m->items.begin() + i);
    if (it.flags & MF_POPUP) DestroyMenu(reinterpret_cast<HMENU>(it.id));
    return TRUE;
}
DWORD CheckMenuItem(HMENU h, UINT id, UINT check) {
    MenuObject* m = Menu(h);
    if (!m) return static_cast<DWORD>(-1);
    int i = IndexOf(m, id, check);
    if (i < 0) return static_cast<DWORD>(-1);
    UINT& f = m->items[static_cast<size_t>(i)].flags;
    DWORD old = f & MF_CHECKED;
    f = (f & ~static_cast<UINT>(MF_CHECKED)) | (check & MF_CHECKED);
    return old;
}
UINT GetMenuState(HMENU h, UINT id, UINT flags) {
    MenuObject* m = Menu(h);
    if (!m) return static_cast<UINT>(-1);
    const int i = IndexOf(m, id, flags);
    if (i < 0) return static_cast<UINT>(-1);
    return m->items[static_cast<size_t>(i)].flags &
           (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR | MF_POPUP);
}
BOOL EnableMenuItem(HMENU h, UINT id, UINT enable) {
    MenuObject* m = Menu(h);
    if (!m) return -1;
    int i = IndexOf(m, id, enable);
    if (i < 0) return -1;
    UINT& f = m->items[static_cast<size_t>(i)].flags;
    BOOL old = static_cast<BOOL>(f & (MF_GRAYED | MF_DISABLED));
    f = (f & ~static_cast<UINT>(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}
int GetMenuItemCount(HMENU h) {
    MenuObject* m = Menu(h);
    return m ? static_cast<int>(m->items.size()) : -1;
}
UINT GetMenuItemID(HMENU h, int pos) {
    MenuObject* m = Menu(h);
    if (!m || pos < 0 || pos >= static_cast<int>(m->items.size())) return static_cast<UINT>(-1);
    const MenuItem& it = m->items[static_cast<size_t>(pos)];
    return (it.flags & MF_POPUP) ? static_cast<UINT>(-1) : static_cast<UINT>(it.id);
}
int GetMenuStringW(HMENU h, UINT idItem, LPWSTR out, int size, UINT flags) {
    MenuObject* m = Menu(h);
    int i = m ? IndexOf(m, idItem, flags) : -1;
    if (i < 0) return 0;
    const std::wstring& t = m->items[static_cast<size_t>(i)].text;
    if (!out || size <= 0) return static_cast<int>(t.size());
    size_t n = std::min(t.size(), static_cast<size_t>(size) - 1);
    t.copy(out, n);
    out[n] = 0;
    return static_cast<int>(n);
}
HMENU GetSubMenu(HMENU h, int pos) {
    MenuObject* m = Menu(h);
    if (!m || pos < 0 || pos >= static_cast<int>(m->items.size())) return nullptr;
    const MenuItem& it = m->items[static_cast<size_t>(pos)];
    return (it.flags & MF_POPUP) ? reinterpret_cast<HMENU>(it.id) : nullptr;
}

namespace {

// One axis of the menu's placement: start of a menu of `length` at `point` by the
// alignment (0 start at the point, 1 centred, 2 end at the point), within [low, high).
LONG PlaceOnAxis(LONG point, LONG length, int align, LONG low, LONG high) {
    LONG start = align == 2 ? point - length : align == 1 ? point - length / 2 : point;
    if (align == 0 && start + length > high && point - length >= low)
        start = point - length;  // no room after the point: before it
    else if (align == 2 && start < low && point + length <= high)
        start = point;  // no room before the point: after it
    if (start + length > high) start = high - length;
    if (start < low) start = low;
    return start;
}

}  // namespace

namespace winplat {

POINT PopupMenuOrigin(POINT at, SIZE menu, UINT flags, const RECT& area) {
    const int horizontal = (flags & TPM_RIGHTALIGN) ? 2 : (flags & TPM_CENTERALIGN) ? 1 : 0;
    const int vertical = (flags & TPM_BOTTOMALIGN) ? 2 : (flags & TPM_VCENTERALIGN) ? 1 : 0;
    return POINT{PlaceOnAxis(at.x, menu.cx, horizontal, area.left, area.right),
                 PlaceOnAxis(at.y, menu.cy, vertical, area.top, area.bottom)};
}

}  // namespace winplat

BOOL TrackPopupMenu(HMENU h, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    MenuObject* m = Menu(h);
    if (!m) return FALSE;
    UINT_PTR chosen = 0;
    if (g_menuTrackHook) {
        chosen = g_menuTrackHook(h, flags, x, y);
    } else if (g_menuHook) {
        chosen = g_menuHook(h);
    } else if (!m->items.empty()) {
        // An empty menu opens nothing: shown, it would be an invisible popup that
        // takes the next click.
        winplat::InstallGui();
        QMenu menu;
        std::vector<std::unique_ptr<QMenu>> subs;
        Fill(&menu, m, subs, &chosen);
        const QSize size = menu.sizeHint();
        QScreen* screen = QGuiApplication::screenAt(QPoint(x, y));
        if (!screen) screen = QGuiApplication::primaryScreen();
        const QRect area =
            screen ? screen->availableGeometry() : QRect(x, y, size.width(), size.height());
        const POINT origin = winplat::PopupMenuOrigin(
            POINT{x, y}, SIZE{size.width(), size.height()}, flags,
            RECT{area.left(), area.top(), area.right() + 1, area.bottom() + 1});
        const QPoint at(origin.x, origin.y);
        bool done = false;
        QObject::connect(&menu, &QMenu::aboutToHide, [&done] {
            done = true;
            PostMessageW(nullptr, WM_NULL, 0, 0);  // wakes the wait below
        });
        menu.popup(at);
        winplat::RunLoopUntil(done);
        // The choice is reported after the menu has closed, as on Windows.
        QCoreApplication::processEvents();
    }
    if (flags & TPM_RETURNCMD) return static_cast<BOOL>(chosen);
    if (chosen && owner && !(flags & TPM_NONOTIFY))
        PostMessageW(owner, WM_COMMAND, MAKEWPARAM(chosen, 0), 0);
    return TRUE;
}

int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type) {
    if (g_boxHook) return g_boxHook(text, caption, type);
    winplat::InstallGui();
    QMessageBox box;
    box.setText(QString::fromWCharArray(text ? text : L""));
    box.setWindowTitle(QString::fromWCharArray(caption ? caption : L"Error"));
    switch (type & 0xF0) {
        case MB_ICONHAND:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONEXCLAMATION:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONASTERISK:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            break;
    }
    struct B {
        QMessageBox::StandardButton q;
        int id;
    };
    static const B kOk[] = {{QMessageBox::Ok, IDOK}};
    static const B kOkCancel[] = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
    static const B kAbort[] = {{QMessageBox::Abort, IDABORT},
                               {QMessageBox::Retry, IDRETRY},
                               {QMessageBox::Ignore, IDIGNORE}};
    static const B kYesNoCancel[] = {
        {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
    static const B kYesNo[] = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
    static const B kRetryCancel[] = {{QMessageBox::Retry, IDRETRY},
                                     {QMessageBox::Cancel, IDCANCEL}};
    const B* first = kOk;
    size_t count = 1;
    switch (type & 0xF) {
        case MB_OKCANCEL:
            first = kOkCancel;
            count = 2;
            break;
        case MB_ABORTRETRYIGNORE:
            first = kAbort;
            count = 3;
            break;
        case MB_YESNOCANCEL:
            first = kYesNoCancel;
            count = 3;
            break;
        case MB_YESNO:
            first = kYesNo;
            count = 2;
            break;
        case MB_RETRYCANCEL:
            first = kRetryCancel;
            count = 2;
            break;
        default:
            break;
    }
    std::vector<B> buttons(first, first + count);
    QMessageBox::StandardButtons set;
    for (const B& b : buttons) set |= b.q;
    box.setStandardButtons(set);
    size_t def = (type & MB_DEFBUTTON2) && buttons.size() > 1 ? 1 : 0;
    box.setDefaultButton(buttons[def].q);
    if (type & MB_TOPMOST) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    winplat::HostWidget* ow = owner ? winplat::FindHostWidget(owner) : nullptr;
    if (ow) {
        box.winId();
        if (box.windowHandle() && ow->windowHandle())
            box.windowHandle()->setTransientParent(ow->windowHandle());
    }
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
    bool done = false;
    QObject::connect(&box, &QMessageBox::finished, [&done] {
        done = true;
        PostMessageW(nullptr, WM_NULL, 0, 0);
    });
    box.setModal(true);
    box.open();
    winplat::RunLoopUntil(done);
    if (ownerWasEnabled && IsWindow(owner)) EnableWindow(owner, TRUE);
    QAbstractButton* clicked = box.clickedButton();
    QMessageBox::StandardButton sb = clicked ? box.standardButton(clicked) : QMessageBox::NoButton;
    for (const B& b : buttons)
        if (b.q == sb) return b.id;
    // Closed with Escape or the window's close button.
    for (const B& b : buttons)
        if (b.id == IDCANCEL) return IDCANCEL;
    return buttons.size() == 1 ? buttons[0].id : IDCANCEL;
}
