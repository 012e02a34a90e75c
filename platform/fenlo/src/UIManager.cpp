#include "fenlo/UIManager.h"

#include <QImage>
#include <QImageReader>
#include <QCoreApplication>
#include <QCursor>
#include <QToolTip>

#include <algorithm>
#include <map>

#include "fenlo/UICommonControls.h"
#include "internal.h"
#include "win32gui/qt_bridge.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

namespace {

// Notifications sent with bAsync travel through the window's queue under this id.
const UINT kAsyncNotifyMsg = 0xBF00;

HINSTANCE g_hInstance = nullptr;
CDuiString g_resourcePath;
CDuiString g_currentPath;

struct TimerInfo {
    CControlUI* control;
    UINT localId;
    UINT_PTR winId;
};

struct ImageEntry {
    TImageInfo info;
    std::unique_ptr<QImage> image;
};

bool IsAbsolute(const std::wstring& p) {
    return !p.empty() && (p[0] == L'/' || p[0] == L'\\' || (p.size() > 1 && p[1] == L':'));
}

}  // namespace

namespace {
// The paint managers of the thread's windows, for the pre-message filters.
thread_local std::vector<CPaintManagerUI*> t_managers;
void Unregister(CPaintManagerUI* pm) {
    t_managers.erase(std::remove(t_managers.begin(), t_managers.end(), pm), t_managers.end());
}
// The window timer that shows a control's tooltip after the pointer rests on it.
const UINT_PTR kTooltipTimer = UITIMER_ID_FIRST - 1;
}  // namespace

struct CPaintManagerUI::Impl {
    HWND hwnd = nullptr;
    HDC paintDC = nullptr;
    CControlUI* root = nullptr;
    CControlUI* focus = nullptr;
    CControlUI* hover = nullptr;
    CControlUI* click = nullptr;
    CControlUI* key = nullptr;
    bool captured = false;
    bool firstLayout = true;
    bool updateNeeded = true;
    RECT laidOutClient{0, 0, 0, 0};  // the client area of the last layout
    bool showUpdateRect = false;
    POINT mouse{-1, -1};
    SIZE initSize{0, 0};
    SIZE minInfo{0, 0};
    SIZE maxInfo{0, 0};
    SIZE roundCorner{0, 0};
    RECT sizeBox{0, 0, 0, 0};
    RECT caption{0, 0, 0, 0};
    int opacity = 255;
    bool bkTrans = false;
    std::vector<INotifyUI*> notifiers;
    std::vector<IMessageFilterUI*> preFilters;
    std::vector<IMessageFilterUI*> filters;
    std::vector<CControlUI*> postPaint;
    std::vector<CControlUI*> delayedCleanup;
    std::vector<TNotifyUI> asyncNotify;
    std::vector<TimerInfo> timers;
    UINT_PTR nextTimerId = UITIMER_ID_FIRST;
    std::map<std::wstring, std::vector<CControlUI*>> optionGroups;
    std::vector<TFontInfo> fonts;
    TFontInfo defaultFont;
    std::map<std::wstring, ImageEntry> images;
    std::map<std::wstring, std::wstring> defaultAttributes;
    DWORD disabledColor = 0xFFA7A6AA;
    DWORD fontColor = 0xFF000000;
    DWORD linkColor = 0xFF0000FF;
    DWORD linkHoverColor = 0xFFD3215F;
    DWORD selectedBkColor = 0xFFBAE4FF;
};

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

void CPaintManagerUI::MessageLoop() {
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!CPaintManagerUI::TranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

bool CPaintManagerUI::TranslateMessage(const MSG* pMsg) {
    if (!pMsg || !pMsg->hwnd) return false;
    // Filters of the window itself and of its ancestors see the message first.
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        std::vector<CPaintManagerUI*> copy = t_managers;
        for (CPaintManagerUI* pm : copy) {
            if (pm->GetPaintWindow() != h) continue;
            LRESULT res = 0;
            if (pm->PreMessageHandler(pMsg->message, pMsg->wParam, pMsg->lParam, res)) return true;
        }
    }
    return false;
}

void CPaintManagerUI::Term() {}

bool CPaintManagerUI::PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    std::vector<IMessageFilterUI*> copy = m_impl->preFilters;
    for (IMessageFilterUI* f : copy) {
        bool handled = false;
        LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
        if (handled) {
            lRes = r;
            return true;
        }
    }
    return false;
}

void CPaintManagerUI::DoLayoutIfNeeded() {
    Impl& m = *m_impl;
    if (!m.root || !m.hwnd) return;
    RECT rc{0, 0, 0, 0};
    ::GetClientRect(m.hwnd, &rc);
    if (UIIsRectEmpty(rc)) return;
    if (m.updateNeeded || m.root->IsUpdateNeeded()) {
        m.updateNeeded = false;
        // The whole window when its size changed or no control said where; otherwise
        // only the controls that asked, each within the place it has: no control's
        // size follows its content, so a change inside one leaves the others in place.
        const bool whole = m.root->IsUpdateNeeded() || !m.root->m_bLayoutAsked ||
                           !::EqualRect(&rc, &m.laidOutClient);
        m.laidOutClient = rc;
        if (whole) {
            m.root->m_bLayoutAsked = false;
            m.root->SetPos(rc);
        } else {
            LayOutAsked(m.root);
        }
    }
    if (m.firstLayout) {
        m.firstLayout = false;
        // Through the queue: the window's set-up (maximising, opening pages) then runs
        // outside of the paint that made the first layout.
        SendNotify(m.root, DUI_MSGTYPE_WINDOWINIT, 0, 0, true);
    }
}

void CPaintManagerUI::LayOutAsked(CControlUI* c) {
    c->m_bLayoutAsked = false;
    if (!c->IsVisible()) return;
    if (c->m_bUpdateNeeded) {
        c->SetPos(c->GetPos());
        return;
    }
    auto* box = static_cast<CContainerUI*>(c->GetInterface(L"Container"));
    if (!box) return;
    // A bar's showing changes the width of the items: the container lays itself out.
    for (CControlUI* bar : {box->m_pVerticalScrollBar, box->m_pHorizontalScrollBar}) {
        if (bar && bar->m_bLayoutAsked && bar->m_bUpdateNeeded) {
            bar->m_bLayoutAsked = false;
            box->SetPos(box->GetPos());
            return;
        }
    }
    // Rows out of a long list's view lay out their inside when they come into view.
    size_t begin = 0, end = box->m_items.size();
    if (box->m_bInViewKnown && box->GetInterface(L"List")) {
        end = std::min(box->m_iInViewEnd, end);
        begin = std::min(box->m_iInViewBegin, end);
    }
    for (size_t i = begin; i < end && i < box->m_items.size(); ++i) {
        CControlUI* item = box->m_items[i];
        if (!item->m_bLayoutAsked) continue;
        if (item->m_bUpdateNeeded && item->IsVisible()) {
            // A floating item, or one never placed, takes its place from the container.
            if (item->IsFloat() || ::IsRectEmpty(&item->GetPos())) {
                item->m_bLayoutAsked = false;
                box->SetPos(box->GetPos());
                return;
            }
        }
        LayOutAsked(item);
    }
}

void CPaintManagerUI::PaintTo(HDC hDC, const RECT& rcPaint) {
    DoLayoutIfNeeded();
    if (!m_impl->root) return;
    HDC old = m_impl->paintDC;
    m_impl->paintDC = hDC;
    m_impl->root->DoPaint(hDC, rcPaint);
    std::vector<CControlUI*> post = m_impl->postPaint;
    for (CControlUI* c : post) c->DoPostPaint(hDC, rcPaint);
    m_impl->paintDC = old;
}

namespace {

TEventUI MakeEvent(int type, CControlUI* sender, POINT pt, WPARAM w, LPARAM l) {
    TEventUI e;
    e.Type = type;
    e.pSender = sender;
    e.ptMouse = pt;
    e.wParam = w;
    e.lParam = l;
    e.dwTimestamp = ::GetTickCount();
    e.wKeyState = static_cast<WORD>(w);
    return e;
}

bool KeyHeld(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}

}  // namespace

bool CPaintManagerUI::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes) {
    Impl& m = *m_impl;
    if (!m.hwnd) return false;
    {
        std::vector<IMessageFilterUI*> copy = m.filters;
        for (IMessageFilterUI* f : copy) {
            bool handled = false;
            LRESULT r = f->MessageHandler(uMsg, wParam, lParam, handled);
            if (handled) {
                lRes = r;
                return true;
            }
        }
    }
    if (uMsg == winplat::LayOutBeforePaintMessage()) {
        // The first layout stays in the first paint, where the window's set-up expects it.
        if (!m.firstLayout) DoLayoutIfNeeded();
        lRes = 0;
        return true;
    }
    switch (uMsg) {
        case kAsyncNotifyMsg: {
            std::vector<CControlUI*> cleanup;
            cleanup.swap(m.delayedCleanup);
            for (CControlUI* c : cleanup) delete c;
            std::vector<TNotifyUI> pending;
            pending.swap(m.asyncNotify);
            for (TNotifyUI& n : pending) {
                if (!n.pSender && !n.sType.IsEmpty()) continue;  // sender gone meanwhile
                std::vector<INotifyUI*> copy = m.notifiers;
                for (INotifyUI* nf : copy) nf->Notify(n);
            }
            lRes = 0;
            return true;
        }
        case WM_NCDESTROY:
            Unregister(this);
            break;
        case WM_CLOSE: {
            // Leave every hot and pushed state before the window goes.
            if (m.hover) {
                TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, nullptr, m.mouse, 0, 0);
                CControlUI* h = m.hover;
                m.hover = nullptr;
                h->Event(e);
            }
            if (m.click) {
                TEventUI e = MakeEvent(UIEVENT_BUTTONUP, nullptr, m.mouse, 0, 0);
                CControlUI* c = m.click;
                m.click = nullptr;
                c->Event(e);
            }
            SetFocus(nullptr);
            break;
        }
        case WM_ERASEBKGND:
            lRes = 1;
            return true;
        case WM_GETMINMAXINFO: {
            // The layout's mininfo and maxinfo bound the user's resizing.
            auto* mmi = reinterpret_cast<LPMINMAXINFO>(lParam);
            if (!mmi) break;
            if (m.minInfo.cx > 0) mmi->ptMinTrackSize.x = m.minInfo.cx;
            if (m.minInfo.cy > 0) mmi->ptMinTrackSize.y = m.minInfo.cy;
            if (m.maxInfo.cx > 0) mmi->ptMaxTrackSize.x = m.maxInfo.cx;
            if (m.maxInfo.cy > 0) mmi->ptMaxTrackSize.y = m.maxInfo.cy;
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = ::BeginPaint(m.hwnd, &ps);
            if (dc)
                PaintTo(dc, ps.rcPaint);
            else
                DoLayoutIfNeeded();
            ::EndPaint(m.hwnd, &ps);
            lRes = 0;
            return true;
        }
        case WM_SIZE:
            if (m.focus) {
                TEventUI e = MakeEvent(UIEVENT_WINDOWSIZE, m.focus, m.mouse, wParam, lParam);
                m.focus->Event(e);
            }
            if (m.root) m.root->NeedUpdate();
            m.updateNeeded = true;
            return false;
        case WM_TIMER: {
            if (wParam == kTooltipTimer) {
                ::KillTimer(m.hwnd, kTooltipTimer);
                if (m.hover && !m.hover->GetToolTip().IsEmpty() && QCoreApplication::instance())
                    QToolTip::showText(QCursor::pos(), Q(m.hover->GetToolTip()));
                lRes = 0;
                return true;
            }
            for (TimerInfo t : m.timers) {
                if (t.winId != wParam) continue;
                TEventUI e = MakeEvent(UIEVENT_TIMER, t.control, m.mouse, t.localId, 0);
                t.control->Event(e);
                lRes = 0;
                return true;
            }
            return false;
        }
        case WM_MOUSEMOVE: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (c && c->GetManager() != this) break;
            if (m.click) {
                TEventUI e = MakeEvent(UIEVENT_MOUSEMOVE, m.click, pt, wParam, lParam);
                m.click->Event(e);
                break;
            }
            if (c != m.hover) {
                if (m.hover) {
                    TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, c, pt, wParam, lParam);
                    CControlUI* old = m.hover;
                    m.hover = nullptr;
                    old->Event(e);
                }
                m.hover = c;
                if (QCoreApplication::instance()) QToolTip::hideText();
                if (c && !c->GetToolTip().IsEmpty())
                    ::SetTimer(m.hwnd, kTooltipTimer, 400, nullptr);
                if (c) {
                    TEventUI e = MakeEvent(UIEVENT_MOUSEENTER, c, pt, wParam, lParam);
                    c->Event(e);
                }
            }
            if (m.hover) {
                TEventUI e = MakeEvent(UIEVENT_MOUSEMOVE, m.hover, pt, wParam, lParam);
                m.hover->Event(e);
            }
            break;
        }
        case WM_MOUSELEAVE:
            ::KillTimer(m.hwnd, kTooltipTimer);
            if (QCoreApplication::instance()) QToolTip::hideText();
            if (m.hover && !m.click) {
                TEventUI e = MakeEvent(UIEVENT_MOUSELEAVE, nullptr, m.mouse, wParam, lParam);
                CControlUI* old = m.hover;
                m.hover = nullptr;
                old->Event(e);
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            m.click = c;
            c->SetFocus();
            SetCapture();
            TEventUI e = MakeEvent(uMsg == WM_LBUTTONDOWN ? UIEVENT_BUTTONDOWN : UIEVENT_DBLCLICK,
                                   c, pt, wParam, lParam);
            c->Event(e);
            break;
        }
        case WM_LBUTTONUP: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            ReleaseCapture();
            if (!m.click) break;
            CControlUI* c = m.click;
            m.click = nullptr;
            TEventUI e = MakeEvent(UIEVENT_BUTTONUP, c, pt, wParam, lParam);
            c->Event(e);
            break;
        }
        case WM_RBUTTONDOWN: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            c->SetFocus();
            TEventUI e = MakeEvent(UIEVENT_RBUTTONDOWN, c, pt, wParam, lParam);
            c->Event(e);
            break;
        }
        case WM_CONTEXTMENU: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(m.hwnd, &pt);
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            TEventUI e = MakeEvent(UIEVENT_CONTEXTMENU, c, pt,
                                   static_cast<WPARAM>(reinterpret_cast<UINT_PTR>(c)), 0);
            c->Event(e);
            break;
        }
        case WM_MOUSEWHEEL: {
            POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
            ::ScreenToClient(m.hwnd, &pt);
            m.mouse = pt;
            CControlUI* c = FindControl(pt);
            if (!c || c->GetManager() != this) break;
            int delta = GET_WHEEL_DELTA_WPARAM(wParam);
            TEventUI e = MakeEvent(UIEVENT_SCROLLWHEEL, c, pt,
                                   MAKELONG(delta < 0 ? SB_LINEDOWN : SB_LINEUP, 0), lParam);
            c->Event(e);
            break;
        }
        case WM_CHAR:
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN: {
            // Tab moves the focus between the window's controls unless the focused
            // control takes Tab as input; its character then goes nowhere.
            const bool tab = wParam == VK_TAB && (uMsg == WM_KEYDOWN || uMsg == WM_CHAR) &&
                             !KeyHeld(VK_CONTROL) && !KeyHeld(VK_MENU) && !WantsTab(m.focus);
            if (tab) {
                if (uMsg == WM_KEYDOWN) SetNextTabControl(!KeyHeld(VK_SHIFT));
                lRes = 0;
                return true;
            }
            if (!m.focus) break;
            int type = uMsg == WM_CHAR      ? UIEVENT_CHAR
                       : uMsg == WM_KEYDOWN ? UIEVENT_KEYDOWN
                       : uMsg == WM_KEYUP   ? UIEVENT_KEYUP
                                            : UIEVENT_SYSKEY;
            TEventUI e = MakeEvent(type, m.focus, m.mouse, wParam, lParam);
            e.chKey = static_cast<TCHAR>(wParam);
            m.key = m.focus;
            m.focus->Event(e);
            break;
        }
        case WM_KILLFOCUS:
        case WM_CAPTURECHANGED:
            if (uMsg == WM_CAPTURECHANGED && !m.captured) break;
            m.captured = false;
            if (m.click) {
                // The press ends without a click when the capture goes elsewhere.
                TEventUI e = MakeEvent(UIEVENT_BUTTONUP, m.click, POINT{-100000, -100000}, 0, 0);
                CControlUI* c = m.click;
                m.click = nullptr;
                if (uMsg == WM_KILLFOCUS) c->Event(e);
            }
            break;
        default:
            break;
    }
    return false;
}

}  // namespace DuiLib
