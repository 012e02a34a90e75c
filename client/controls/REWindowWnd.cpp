#include "controls/REWindowWnd.h"

#include <cstring>
#include <cwchar>

#include "controls/WindowClassTable.h"
#include "kernel/CommKernel.h"

namespace {

const DWORD kRichEditStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_AUTOVSCROLL | ES_MULTILINE;  // 0x50200044
// Key events, mouse events, selection changes and 0x1000.
const DWORD kEventMaskAdd = 0xB1000;

bool IsHigh(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLow(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

}  // namespace

namespace {
DuiLib::CWindowWnd* g_roomWindow = nullptr;
}  // namespace

void SetChatInputRoomWindow(DuiLib::CWindowWnd* room) {
    g_roomWindow = room;
}

HWND GetRoomWindowHandle() {
    CCommKernel* kernel = CCommKernel::GetInstance();
    if (!g_roomWindow || !kernel || !kernel->m_pWndTable) return nullptr;
    // Only pointers are compared: a window gone from the entry is never followed.
    if (kernel->m_pWndTable[2] != static_cast<void*>(g_roomWindow)) return nullptr;
    return g_roomWindow->GetHWND();
}

CREWindowWnd::CREWindowWnd() {
    std::memset(&m_cf, 0, sizeof(m_cf));
}

CREWindowWnd::~CREWindowWnd() {
    if (IsWindow(m_hWnd)) DestroyWindow(m_hWnd);
    if (m_hPasteMenu) DestroyMenu(m_hPasteMenu);
}

LPCTSTR CREWindowWnd::GetWindowClassName() const {
    return FindWindowClassInfo("CREWindowWnd")->className;
}

UINT CREWindowWnd::GetClassStyle() const {
    return FindWindowClassInfo("CREWindowWnd")->classStyle;
}

void CREWindowWnd::OnFinalMessage(HWND) {}

LRESULT CREWindowWnd::HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) {
    switch (uMsg) {
        case WM_CREATE:
            return OnCreate();
        case WM_SIZE:
            if (m_hRichEdit) {
                RECT rc{0, 0, 0, 0};
                GetClientRect(m_hWnd, &rc);
                SetWindowPos(m_hRichEdit, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top,
                             SWP_NOZORDER);
            }
            return 0;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
        case WM_COMMAND:
            if (HIWORD(wParam) != 0) return 1;
            if (LOWORD(wParam) == IDM_RICHEDIT_PASTE && m_hRichEdit)
                ::SendMessageW(m_hRichEdit, WM_PASTE, 0, 0);
            return 0;
        case WM_DESTROY:
            // The control goes with the host; the operations then do nothing.
            m_hRichEdit = nullptr;
            break;
        default:
            break;
    }
    return CWindowWnd::HandleMessage(uMsg, wParam, lParam);
}

LRESULT CREWindowWnd::OnCreate() {
    RECT rc{0, 0, 0, 0};
    GetClientRect(m_hWnd, &rc);
    m_hRichEdit = CreateWindowExW(0, RICHEDIT_CLASSW, L"", kRichEditStyle, 0, 0, rc.right - rc.left,
                                  rc.bottom - rc.top, m_hWnd, nullptr,
                                  DuiLib::CPaintManagerUI::GetInstance(), nullptr);
    if (m_hRichEdit) {
        LRESULT mask = ::SendMessageW(m_hRichEdit, EM_GETEVENTMASK, 0, 0);
        ::SendMessageW(m_hRichEdit, EM_SETEVENTMASK, 0,
                       static_cast<LPARAM>(static_cast<DWORD>(mask) | kEventMaskAdd));
        m_cf.cbSize = sizeof(CHARFORMAT2W);
        ::SendMessageW(m_hRichEdit, EM_GETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&m_cf));
    }
    if (!m_hPasteMenu) {
        m_hPasteMenu = CreatePopupMenu();
        AppendMenuW(m_hPasteMenu, MF_STRING, IDM_RICHEDIT_PASTE, L"粘 贴");
    }
    return 0;
}

LRESULT CREWindowWnd::OnNotify(const NMHDR* hdr) {
    if (!hdr || hdr->code != EN_MSGFILTER || !m_hRichEdit || hdr->hwndFrom != m_hRichEdit) return 0;
    const auto* filter = reinterpret_cast<const MSGFILTER*>(hdr);
    if (filter->msg == WM_KEYDOWN && filter->wParam == VK_RETURN) {
        // The key still reaches the control (the line break is typed too).
        if (HWND room = GetRoomWindowHandle()) ::PostMessageW(room, UM_CHAT_INPUT_ENTER, 0, 0);
    } else if (filter->msg == WM_RBUTTONUP && m_hPasteMenu) {
        POINT pt{0, 0};
        GetCursorPos(&pt);
        TrackPopupMenu(m_hPasteMenu, TPM_LEFTBUTTON, pt.x, pt.y, 0, m_hWnd, nullptr);
    }
    return 0;
}

void CREWindowWnd::SetTextFont(LPCWSTR faceName, int size, bool bold, bool underline, bool italic) {
    if (!m_hRichEdit) return;
    LOGFONTW lf;
    std::memset(&lf, 0, sizeof(lf));
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
    if (faceName) {
        wcsncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
        lf.lfFaceName[LF_FACESIZE - 1] = 0;
    }
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = ChatFontHeight(size);
    if (bold) lf.lfWeight = FW_BOLD;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfItalic = italic ? 1 : 0;
    HFONT font = CreateFontIndirectW(&lf);
    ::SendMessageW(m_hRichEdit, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    DeleteObject(font);
}

void CREWindowWnd::SetTextColor(DWORD rgb) {
    if (!m_hRichEdit) return;
    m_cf.crTextColor = ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
    // The default format comes with the automatic colour, which would hide the stored
    // one; and only the colour is set, so a font chosen with SetTextFont stays.
    m_cf.dwEffects &= ~static_cast<DWORD>(CFE_AUTOCOLOR);
    m_cf.dwMask = CFM_COLOR;
    ::SendMessageW(m_hRichEdit, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&m_cf));
}

void CREWindowWnd::ReplaceAll(LPCWSTR text) {
    if (!m_hRichEdit) return;
    CHARRANGE all{0, -1};
    ::SendMessageW(m_hRichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&all));
    ::SendMessageW(m_hRichEdit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text ? text : L""));
}

void CREWindowWnd::AppendText(LPCWSTR text, bool canUndo) {
    if (!m_hRichEdit) return;
    LONG pos = GetWindowTextLengthW(m_hRichEdit);
    CHARRANGE end{pos, pos};
    ::SendMessageW(m_hRichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
    ::SendMessageW(m_hRichEdit, EM_REPLACESEL, canUndo ? TRUE : FALSE,
                   reinterpret_cast<LPARAM>(text ? text : L""));
}

int CREWindowWnd::GetTextLength() {
    if (!m_hRichEdit) return 0;
    GETTEXTLENGTHEX g{GTL_DEFAULT, 1200};
    return static_cast<int>(
        ::SendMessageW(m_hRichEdit, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&g), 0));
}

std::wstring CREWindowWnd::GetSelText() {
    if (!m_hRichEdit) return std::wstring();
    CHARRANGE cr{0, 0};
    ::SendMessageW(m_hRichEdit, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&cr));
    if (cr.cpMax < cr.cpMin) return std::wstring();
    std::vector<wchar_t> buf(static_cast<size_t>(cr.cpMax - cr.cpMin) + 1, L'\0');
    LRESULT n = ::SendMessageW(m_hRichEdit, EM_GETSELTEXT, 0, reinterpret_cast<LPARAM>(buf.data()));
    if (n < 0 || static_cast<size_t>(n) >= buf.size()) n = static_cast<LRESULT>(buf.size()) - 1;
    return std::wstring(buf.data(), static_cast<size_t>(n));
}

int CREWindowWnd::GetSelectionType() {
    if (!m_hRichEdit) return SEL_EMPTY;
    return static_cast<int>(::SendMessageW(m_hRichEdit, EM_SELECTIONTYPE, 0, 0));
}

IRichEditOle* CREWindowWnd::GetRichEditOle() {
    if (!m_hRichEdit) return nullptr;
    IRichEditOle* ole = nullptr;
    ::SendMessageW(m_hRichEdit, EM_GETOLEINTERFACE, 0, reinterpret_cast<LPARAM>(&ole));
    return ole;
}

void CREWindowWnd::Paste() {
    if (m_hRichEdit) ::SendMessageW(m_hRichEdit, WM_PASTE, 0, 0);
}

std::wstring CREWindowWnd::GetContent() {
    IRichEditOle* ole = GetRichEditOle();
    if (!ole) return std::wstring();
    m_objects.clear();
    LONG count = ole->GetObjectCount();
    for (LONG i = 0; i < count; ++i) {
        REOBJECT obj;
        std::memset(&obj, 0, sizeof(obj));
        obj.cbSize = sizeof(REOBJECT);
        if (ole->GetObject(i, &obj, REO_GETOBJ_ALL_INTERFACES) == S_OK)
            m_objects.push_back(obj.dwUser);
    }
    ole->Release();

    std::wstring out;
    int length = GetTextLength();
    for (int k = 0; k < length; ++k) {
        CHARRANGE one{k, k + 1};
        ::SendMessageW(m_hRichEdit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&one));
        int type = GetSelectionType();
        if (type & SEL_OBJECT) continue;
        if (type & SEL_TEXT) out += GetSelText();
    }
    // Positions count UTF-16 units: a character outside the BMP came as its two
    // halves, one per position.
    std::wstring joined;
    joined.reserve(out.size());
    for (size_t i = 0; i < out.size(); ++i) {
        if (IsHigh(out[i]) && i + 1 < out.size() && IsLow(out[i + 1])) {
            joined +=
                static_cast<wchar_t>(0x10000 + ((out[i] - 0xD800) << 10) + (out[i + 1] - 0xDC00));
            ++i;
        } else {
            joined += out[i];
        }
    }
    return joined;
}
