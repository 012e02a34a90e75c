// The paint manager's state: its window, controls, focus, capture, timers, notifiers
// and filters, and the fonts, images and default attributes of its layout. The message
// side is in UIManagerMessages.cpp.
#include "fenlo/UIManager.h"

#include <QImage>
#include <QImageReader>
#include <QCoreApplication>
#include <QCursor>
#include <QToolTip>

#include <algorithm>
#include <map>

#include "PaintManagerImpl.h"
#include "fenlo/UICommonControls.h"
#include "internal.h"
#include "win32gui/qt_bridge.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;
using namespace manager_detail;

namespace {

HINSTANCE g_hInstance = nullptr;
CDuiString g_resourcePath;
CDuiString g_currentPath;

bool IsAbsolute(const std::wstring& p) {
    return !p.empty() && (p[0] == L'/' || p[0] == L'\\' || (p.size() > 1 && p[1] == L':'));
}

}  // namespace

CPaintManagerUI::CPaintManagerUI() : m_impl(new Impl) {
    m_impl->defaultFont.sFontName = L"WenQuanYi Micro Hei";
    m_impl->defaultFont.iSize = 12;
}

CPaintManagerUI::~CPaintManagerUI() {
    Unregister(this);
    RemoveAllTimers();
    CControlUI* root = m_impl->root;
    m_impl->root = nullptr;
    delete root;
    for (CControlUI* c : m_impl->delayedCleanup) delete c;
    m_impl->delayedCleanup.clear();
}

void CPaintManagerUI::Init(HWND hWnd) {
    m_impl->hwnd = hWnd;
    if (std::find(t_managers.begin(), t_managers.end(), this) == t_managers.end())
        t_managers.push_back(this);
}

void CPaintManagerUI::NeedUpdate() {
    m_impl->updateNeeded = true;
}

void CPaintManagerUI::Invalidate(RECT& rcItem) {
    if (m_impl->hwnd) ::InvalidateRect(m_impl->hwnd, &rcItem, FALSE);
}

HWND CPaintManagerUI::GetPaintWindow() const {
    return m_impl->hwnd;
}
HDC CPaintManagerUI::GetPaintDC() const {
    return m_impl->paintDC;
}
POINT CPaintManagerUI::GetMousePos() const {
    return m_impl->mouse;
}
SIZE CPaintManagerUI::GetClientSize() const {
    RECT rc{0, 0, 0, 0};
    if (m_impl->hwnd) ::GetClientRect(m_impl->hwnd, &rc);
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}
SIZE CPaintManagerUI::GetInitSize() {
    return m_impl->initSize;
}
void CPaintManagerUI::SetInitSize(int cx, int cy) {
    m_impl->initSize = SIZE{cx, cy};
    if (m_impl->hwnd && !m_impl->root)
        ::SetWindowPos(m_impl->hwnd, nullptr, 0, 0, cx, cy,
                       SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE);
}
RECT& CPaintManagerUI::GetSizeBox() {
    return m_impl->sizeBox;
}
void CPaintManagerUI::SetSizeBox(RECT& r) {
    m_impl->sizeBox = r;
}
RECT& CPaintManagerUI::GetCaptionRect() {
    return m_impl->caption;
}
void CPaintManagerUI::SetCaptionRect(RECT& r) {
    m_impl->caption = r;
}
SIZE CPaintManagerUI::GetRoundCorner() const {
    return m_impl->roundCorner;
}
void CPaintManagerUI::SetRoundCorner(int cx, int cy) {
    m_impl->roundCorner = SIZE{cx, cy};
}
SIZE CPaintManagerUI::GetMinInfo() const {
    return m_impl->minInfo;
}
void CPaintManagerUI::SetMinInfo(int cx, int cy) {
    m_impl->minInfo = SIZE{cx, cy};
}
SIZE CPaintManagerUI::GetMaxInfo() const {
    return m_impl->maxInfo;
}
void CPaintManagerUI::SetMaxInfo(int cx, int cy) {
    m_impl->maxInfo = SIZE{cx, cy};
}
void CPaintManagerUI::SetTransparent(int n) {
    m_impl->opacity = std::clamp(n, 0, 255);
}
void CPaintManagerUI::SetBackgroundTransparent(bool b) {
    m_impl->bkTrans = b;
}
bool CPaintManagerUI::IsShowUpdateRect() const {
    return m_impl->showUpdateRect;
}
void CPaintManagerUI::SetShowUpdateRect(bool b) {
    m_impl->showUpdateRect = b;
}

HINSTANCE CPaintManagerUI::GetInstance() {
    return g_hInstance;
}
CDuiString CPaintManagerUI::GetInstancePath() {
    wchar_t path[MAX_PATH] = {0};
    ::GetModuleFileNameW(reinterpret_cast<HMODULE>(g_hInstance), path, MAX_PATH);
    CDuiString s(path);
    int cut = std::max(s.ReverseFind(L'\\'), s.ReverseFind(L'/'));
    return cut >= 0 ? s.Left(cut + 1) : CDuiString();
}
CDuiString CPaintManagerUI::GetCurrentPath() {
    return g_currentPath;
}
CDuiString CPaintManagerUI::GetResourcePath() {
    return g_resourcePath;
}
void CPaintManagerUI::SetInstance(HINSTANCE h) {
    g_hInstance = h;
}
void CPaintManagerUI::SetCurrentPath(LPCTSTR p) {
    g_currentPath = p;
}
void CPaintManagerUI::SetResourcePath(LPCTSTR p) {
    g_resourcePath = p;
    wchar_t last = g_resourcePath.GetAt(g_resourcePath.GetLength() - 1);
    if (!g_resourcePath.IsEmpty() && last != L'\\' && last != L'/') g_resourcePath += L'\\';
}

// The window's default colours, each a getter and a setter over one field.
#define FENLO_DEFAULT_COLOR(Name, field)              \
    DWORD CPaintManagerUI::GetDefault##Name() const { \
        return m_impl->field;                         \
    }                                                 \
    void CPaintManagerUI::SetDefault##Name(DWORD c) { \
        m_impl->field = c;                            \
    }
FENLO_DEFAULT_COLOR(DisabledColor, disabledColor)
FENLO_DEFAULT_COLOR(FontColor, fontColor)
FENLO_DEFAULT_COLOR(LinkFontColor, linkColor)
FENLO_DEFAULT_COLOR(LinkHoverFontColor, linkHoverColor)
FENLO_DEFAULT_COLOR(SelectedBkColor, selectedBkColor)
#undef FENLO_DEFAULT_COLOR

TFontInfo* CPaintManagerUI::GetDefaultFontInfo() {
    return &m_impl->defaultFont;
}
void CPaintManagerUI::SetDefaultFont(LPCTSTR name, int size, bool bold, bool underline,
                                     bool italic) {
    TFontInfo& f = m_impl->defaultFont;
    if (name && *name) f.sFontName = name;
    f.iSize = size;
    f.bBold = bold;
    f.bUnderline = underline;
    f.bItalic = italic;
}
DWORD CPaintManagerUI::GetCustomFontCount() const {
    return static_cast<DWORD>(m_impl->fonts.size());
}
int CPaintManagerUI::AddFont(LPCTSTR name, int size, bool bold, bool underline, bool italic) {
    TFontInfo f;
    f.sFontName = name && *name ? name : m_impl->defaultFont.sFontName.GetData();
    f.iSize = size;
    f.bBold = bold;
    f.bUnderline = underline;
    f.bItalic = italic;
    m_impl->fonts.push_back(f);
    return static_cast<int>(m_impl->fonts.size()) - 1;
}
void CPaintManagerUI::RemoveAllFonts() {
    m_impl->fonts.clear();
}
TFontInfo* CPaintManagerUI::GetFontInfo(int i) {
    if (i < 0 || i >= static_cast<int>(m_impl->fonts.size())) return &m_impl->defaultFont;
    return &m_impl->fonts[static_cast<size_t>(i)];
}

const TImageInfo* CPaintManagerUI::GetImage(LPCTSTR bitmap) {
    return GetImageEx(bitmap);
}

const TImageInfo* CPaintManagerUI::GetImageEx(LPCTSTR bitmap, LPCTSTR, DWORD mask) {
    if (!bitmap || !*bitmap) return nullptr;
    std::wstring key = std::wstring(bitmap) + L"#" + std::to_wstring(mask);
    auto it = m_impl->images.find(key);
    if (it != m_impl->images.end()) return it->second.image ? &it->second.info : nullptr;
    std::wstring name(bitmap);
    std::wstring full = IsAbsolute(name) ? name : std::wstring(g_resourcePath.GetData()) + name;
    QImageReader reader(QString::fromStdString(winplat::MapPath(full.c_str())));
    reader.setDecideFormatFromContent(true);
    QImage img = reader.read();
    ImageEntry& e = m_impl->images[key];
    if (img.isNull()) return nullptr;  // remembered as missing
    img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (mask != 0) {
        // Pixels of the mask colour become transparent.
        QRgb m = qRgb((mask >> 16) & 0xFF, (mask >> 8) & 0xFF, mask & 0xFF);
        for (int y = 0; y < img.height(); ++y) {
            QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < img.width(); ++x)
                if ((line[x] & 0xFFFFFF) == (m & 0xFFFFFF)) line[x] = 0;
        }
    }
    e.image.reset(new QImage(img));
    e.info.nX = img.width();
    e.info.nY = img.height();
    e.info.alphaChannel = img.hasAlphaChannel();
    e.info.dwMask = mask;
    e.info.pImage = e.image.get();
    return &e.info;
}
void CPaintManagerUI::RemoveAllImages() {
    m_impl->images.clear();
}

void CPaintManagerUI::AddDefaultAttributeList(LPCTSTR name, LPCTSTR list) {
    if (name && list) m_impl->defaultAttributes[name] = list;
}
LPCTSTR CPaintManagerUI::GetDefaultAttributeList(LPCTSTR name) const {
    if (!name) return nullptr;
    auto it = m_impl->defaultAttributes.find(name);
    return it == m_impl->defaultAttributes.end() ? nullptr : it->second.c_str();
}
void CPaintManagerUI::RemoveAllDefaultAttributeList() {
    m_impl->defaultAttributes.clear();
}

bool CPaintManagerUI::AttachDialog(CControlUI* pControl) {
    if (!pControl) return false;
    // A second layout replaces the first one.
    if (m_impl->root && m_impl->root != pControl) {
        CControlUI* old = m_impl->root;
        m_impl->root = nullptr;
        delete old;
    }
    m_impl->hover = m_impl->click = m_impl->focus = m_impl->key = nullptr;
    m_impl->root = pControl;
    m_impl->updateNeeded = true;
    m_impl->firstLayout = true;
    return InitControls(pControl);
}

bool CPaintManagerUI::InitControls(CControlUI* pControl, CControlUI* pParent) {
    if (!pControl) return false;
    pControl->SetManager(this, pParent ? pParent : pControl->GetParent(), true);
    return true;
}

void CPaintManagerUI::ReapObjects(CControlUI* pControl) {
    ForgetControl(pControl);
}

void CPaintManagerUI::ForgetControl(CControlUI* c) {
    Impl& m = *m_impl;
    if (m.hover == c) m.hover = nullptr;
    if (m.click == c) m.click = nullptr;
    if (m.focus == c) m.focus = nullptr;
    if (m.key == c) m.key = nullptr;
    if (m.root == c) m.root = nullptr;
    KillTimer(c);
    m.postPaint.erase(std::remove(m.postPaint.begin(), m.postPaint.end(), c), m.postPaint.end());
    for (auto& g : m.optionGroups)
        g.second.erase(std::remove(g.second.begin(), g.second.end(), c), g.second.end());
    for (TNotifyUI& n : m.asyncNotify)
        if (n.pSender == c) n.pSender = nullptr;
}

bool CPaintManagerUI::AddOptionGroup(LPCTSTR name, CControlUI* c) {
    if (!name || !c) return false;
    auto& g = m_impl->optionGroups[name];
    if (std::find(g.begin(), g.end(), c) == g.end()) g.push_back(c);
    return true;
}
std::vector<CControlUI*>* CPaintManagerUI::GetOptionGroup(LPCTSTR name) {
    if (!name) return nullptr;
    auto it = m_impl->optionGroups.find(name);
    return it == m_impl->optionGroups.end() ? nullptr : &it->second;
}
void CPaintManagerUI::RemoveOptionGroup(LPCTSTR name, CControlUI* c) {
    auto* g = GetOptionGroup(name);
    if (g) g->erase(std::remove(g->begin(), g->end(), c), g->end());
}
void CPaintManagerUI::RemoveAllOptionGroups() {
    m_impl->optionGroups.clear();
}

CControlUI* CPaintManagerUI::GetFocus() const {
    return m_impl->focus;
}
void CPaintManagerUI::SetFocus(CControlUI* c) {
    Impl& m = *m_impl;
    if (c == m.focus) return;
    if (m.focus) {
        TEventUI e;
        e.Type = UIEVENT_KILLFOCUS;
        e.pSender = c;
        e.dwTimestamp = ::GetTickCount();
        CControlUI* old = m.focus;
        m.focus = nullptr;
        old->Event(e);
        SendNotify(old, DUI_MSGTYPE_KILLFOCUS);
    }
    if (c && c->GetManager() == this && c->IsVisible() && c->IsEnabled()) {
        m.focus = c;
        TEventUI e;
        e.Type = UIEVENT_SETFOCUS;
        e.pSender = c;
        e.dwTimestamp = ::GetTickCount();
        c->Event(e);
        SendNotify(c, DUI_MSGTYPE_SETFOCUS);
    }
}

bool CPaintManagerUI::SetTimer(CControlUI* c, UINT id, UINT elapse) {
    Impl& m = *m_impl;
    if (!c || !m.hwnd) return false;
    for (TimerInfo& t : m.timers) {
        if (t.control == c && t.localId == id) {
            // Same control and id: restart with the new period under the same window id.
            return ::SetTimer(m.hwnd, t.winId, elapse, nullptr) != 0;
        }
    }
    UINT_PTR winId = m.nextTimerId++;
    if (m.nextTimerId < UITIMER_ID_FIRST) m.nextTimerId = UITIMER_ID_FIRST;
    if (!::SetTimer(m.hwnd, winId, elapse, nullptr)) return false;
    m.timers.push_back(TimerInfo{c, id, winId});
    return true;
}
bool CPaintManagerUI::KillTimer(CControlUI* c, UINT id) {
    Impl& m = *m_impl;
    for (auto it = m.timers.begin(); it != m.timers.end(); ++it) {
        if (it->control == c && it->localId == id) {
            if (m.hwnd) ::KillTimer(m.hwnd, it->winId);
            m.timers.erase(it);
            return true;
        }
    }
    return false;
}
void CPaintManagerUI::KillTimer(CControlUI* c) {
    Impl& m = *m_impl;
    for (auto it = m.timers.begin(); it != m.timers.end();) {
        if (it->control == c) {
            if (m.hwnd) ::KillTimer(m.hwnd, it->winId);
            it = m.timers.erase(it);
        } else {
            ++it;
        }
    }
}
void CPaintManagerUI::RemoveAllTimers() {
    Impl& m = *m_impl;
    if (m.hwnd && ::IsWindow(m.hwnd))
        for (TimerInfo& t : m.timers) ::KillTimer(m.hwnd, t.winId);
    m.timers.clear();
}

void CPaintManagerUI::SetCapture() {
    if (m_impl->hwnd) ::SetCapture(m_impl->hwnd);
    m_impl->captured = true;
}
void CPaintManagerUI::ReleaseCapture() {
    // Cleared first: the WM_CAPTURECHANGED that follows is our own doing.
    bool was = m_impl->captured;
    m_impl->captured = false;
    if (was) ::ReleaseCapture();
}
bool CPaintManagerUI::IsCaptured() {
    return m_impl->captured;
}

// The manager's lists of notifiers, filters and post-paint controls hold each entry
// once; adding a null or present one, or removing an absent one, is refused.
template <typename T>
static bool AddUnique(std::vector<T*>& v, T* p) {
    if (!p || std::find(v.begin(), v.end(), p) != v.end()) return false;
    v.push_back(p);
    return true;
}
template <typename T>
static bool RemoveOne(std::vector<T*>& v, T* p) {
    auto it = std::find(v.begin(), v.end(), p);
    if (it == v.end()) return false;
    v.erase(it);
    return true;
}

bool CPaintManagerUI::AddNotifier(INotifyUI* p) {
    return AddUnique(m_impl->notifiers, p);
}
bool CPaintManagerUI::RemoveNotifier(INotifyUI* p) {
    return RemoveOne(m_impl->notifiers, p);
}

void CPaintManagerUI::SendNotify(TNotifyUI& msg, bool bAsync) {
    msg.ptMouse = m_impl->mouse;
    msg.dwTimestamp = ::GetTickCount();
    if (bAsync && m_impl->hwnd) {
        m_impl->asyncNotify.push_back(msg);
        ::PostMessageW(m_impl->hwnd, kAsyncNotifyMsg, 0, 0);
        return;
    }
    // A notifier may remove itself (or others) while being told.
    std::vector<INotifyUI*> copy = m_impl->notifiers;
    for (INotifyUI* n : copy) {
        auto& live = m_impl->notifiers;
        if (std::find(live.begin(), live.end(), n) == live.end()) continue;
        n->Notify(msg);
    }
}

void CPaintManagerUI::SendNotify(CControlUI* c, LPCTSTR type, WPARAM w, LPARAM l, bool bAsync) {
    TNotifyUI msg;
    msg.pSender = c;
    msg.sType = type;
    msg.wParam = w;
    msg.lParam = l;
    SendNotify(msg, bAsync);
}

bool CPaintManagerUI::AddPreMessageFilter(IMessageFilterUI* f) {
    return AddUnique(m_impl->preFilters, f);
}
bool CPaintManagerUI::RemovePreMessageFilter(IMessageFilterUI* f) {
    return RemoveOne(m_impl->preFilters, f);
}
bool CPaintManagerUI::AddMessageFilter(IMessageFilterUI* f) {
    return AddUnique(m_impl->filters, f);
}
bool CPaintManagerUI::RemoveMessageFilter(IMessageFilterUI* f) {
    return RemoveOne(m_impl->filters, f);
}

bool CPaintManagerUI::AddPostPaint(CControlUI* c) {
    return AddUnique(m_impl->postPaint, c);
}
bool CPaintManagerUI::RemovePostPaint(CControlUI* c) {
    return RemoveOne(m_impl->postPaint, c);
}
bool CPaintManagerUI::SetPostPaintIndex(CControlUI* c, int i) {
    if (!RemovePostPaint(c)) return false;
    auto& v = m_impl->postPaint;
    i = std::clamp(i, 0, static_cast<int>(v.size()));
    v.insert(v.begin() + i, c);
    return true;
}

void CPaintManagerUI::AddDelayedCleanup(CControlUI* c) {
    if (!c) return;
    c->SetManager(this, nullptr, false);
    m_impl->delayedCleanup.push_back(c);
    if (m_impl->hwnd) ::PostMessageW(m_impl->hwnd, kAsyncNotifyMsg, 0, 0);
}

CControlUI* CPaintManagerUI::GetRoot() const {
    return m_impl->root;
}

CControlUI* CPaintManagerUI::__FindControlFromPoint(CControlUI* pThis, LPVOID) {
    return pThis;
}
CControlUI* CPaintManagerUI::__FindControlFromName(CControlUI* pThis, LPVOID pData) {
    const wchar_t* name = static_cast<const wchar_t*>(pData);
    return pThis->GetName() == name ? pThis : nullptr;
}
CControlUI* CPaintManagerUI::__FindControlFromNameHash(CControlUI* pThis, LPVOID pData) {
    return __FindControlFromName(pThis, pData);
}
CControlUI* CPaintManagerUI::__FindControlFromCount(CControlUI*, LPVOID pData) {
    ++*static_cast<int*>(pData);
    return nullptr;
}
namespace {
struct ClassQuery {
    const wchar_t* cls;
    int index;
};
}  // namespace
CControlUI* CPaintManagerUI::__FindControlFromClass(CControlUI* pThis, LPVOID pData) {
    auto* q = static_cast<ClassQuery*>(pData);
    if (wcscmp(pThis->GetClass(), q->cls) != 0) return nullptr;
    return q->index-- == 0 ? pThis : nullptr;
}

CControlUI* CPaintManagerUI::FindControl(POINT pt) const {
    if (!m_impl->root) return nullptr;
    const_cast<CPaintManagerUI*>(this)->DoLayoutIfNeeded();
    return m_impl->root->FindControl(__FindControlFromPoint, &pt,
                                     UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}
CControlUI* CPaintManagerUI::FindControl(LPCTSTR name) const {
    if (!m_impl->root || !name) return nullptr;
    return m_impl->root->FindControl(__FindControlFromName, const_cast<wchar_t*>(name), UIFIND_ALL);
}
CControlUI* CPaintManagerUI::FindSubControlByPoint(CControlUI* parent, POINT pt) const {
    if (!parent) parent = m_impl->root;
    if (!parent) return nullptr;
    return parent->FindControl(__FindControlFromPoint, &pt,
                               UIFIND_VISIBLE | UIFIND_HITTEST | UIFIND_TOP_FIRST);
}
CControlUI* CPaintManagerUI::FindSubControlByName(CControlUI* parent, LPCTSTR name) const {
    if (!parent) parent = m_impl->root;
    if (!parent || !name) return nullptr;
    return parent->FindControl(__FindControlFromName, const_cast<wchar_t*>(name), UIFIND_ALL);
}
CControlUI* CPaintManagerUI::FindSubControlByClass(CControlUI* parent, LPCTSTR cls, int index) {
    if (!parent) parent = m_impl->root;
    if (!parent || !cls) return nullptr;
    ClassQuery q{cls, index};
    return parent->FindControl(__FindControlFromClass, &q, UIFIND_ALL);
}

}  // namespace DuiLib
