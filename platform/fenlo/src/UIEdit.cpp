#include <algorithm>
#include <string>

#include <QClipboard>
#include <QGuiApplication>

#include "fenlo/UICommonControls.h"
#include "fenlo/UIRender.h"
#include "internal.h"
#include "win32gui/user.h"

namespace DuiLib {

using namespace detail;

namespace {
constexpr DWORD kSelectionBack = 0xFF3399FF;
constexpr DWORD kSelectionText = 0xFFFFFFFF;

bool KeyDown(int vk) {
    return (::GetKeyState(vk) & 0x8000) != 0;
}
bool Acceptable(wchar_t c, bool numberOnly) {
    if (c < 0x20 || c == 0x7F) return false;
    return !numberOnly || (c >= L'0' && c <= L'9');
}
}  // namespace

CEditUI::CEditUI() {
    m_uTextStyle = DT_SINGLELINE | DT_VCENTER | DT_LEFT;
    m_rcTextPadding = RECT{4, 3, 4, 3};
    m_dwBackColor = 0xFFFFFFFF;
}
LPCTSTR CEditUI::GetClass() const {
    return L"EditUI";
}
LPVOID CEditUI::GetInterface(LPCTSTR n) {
    if (n && wcscmp(n, L"Edit") == 0) return static_cast<CEditUI*>(this);
    return CLabelUI::GetInterface(n);
}
UINT CEditUI::GetControlFlags() const {
    return IsEnabled() ? (UIFLAG_SETCURSOR | UIFLAG_TABSTOP) : 0;
}
void CEditUI::SetEnabled(bool b) {
    CControlUI::SetEnabled(b);
    if (!b) m_uButtonState = 0;
}
void CEditUI::SetText(LPCTSTR s) {
    CDuiString t(s);
    if (t.GetLength() > static_cast<int>(m_uMaxChar)) t = t.Left(static_cast<int>(m_uMaxChar));
    m_sText = t;
    m_nCaret = m_nAnchor = m_sText.GetLength();
    Invalidate();
}
void CEditUI::SetMaxChar(UINT u) {
    m_uMaxChar = u;
}
UINT CEditUI::GetMaxChar() const {
    return m_uMaxChar;
}
void CEditUI::SetReadOnly(bool b) {
    m_bReadOnly = b;
    Invalidate();
}
bool CEditUI::IsReadOnly() const {
    return m_bReadOnly;
}
void CEditUI::SetPasswordMode(bool b) {
    m_bPasswordMode = b;
    Invalidate();
}
bool CEditUI::IsPasswordMode() const {
    return m_bPasswordMode;
}
void CEditUI::SetNumberOnly(bool b) {
    m_bNumberOnly = b;
}
bool CEditUI::IsNumberOnly() const {
    return m_bNumberOnly;
}
void CEditUI::SetSel(long nStart, long nEnd) {
    const int len = m_sText.GetLength();
    if (nStart < 0) {
        m_nAnchor = m_nCaret;  // the caret stays where it is
    } else {
        m_nAnchor = std::min<int>(static_cast<int>(nStart), len);
        m_nCaret = nEnd < 0 || nEnd > len ? len : static_cast<int>(nEnd);
    }
    Invalidate();
}
void CEditUI::SetSelAll() {
    SetSel(0, -1);
}
void CEditUI::GetSel(long& nStart, long& nEnd) const {
    nStart = SelStart();
    nEnd = SelEnd();
}
void CEditUI::SetNativeEditBkColor(DWORD c) {
    m_dwEditbkColor = c;
}

CDuiString CEditUI::ShownText() const {
    if (!m_bPasswordMode) return m_sText;
    return CDuiString(std::wstring(static_cast<size_t>(m_sText.GetLength()), L'*').c_str());
}

int CEditUI::CharFromX(int x) const {
    // The boundary nearest to x: past a character's middle counts as after it.
    const CDuiString shown = ShownText();
    const int left = m_rcItem.left + m_rcTextPadding.left;
    int prev = 0;
    for (int i = 1; i <= shown.GetLength(); ++i) {
        int w = CRenderEngine::GetTextSize(nullptr, m_pManager, shown.Left(i), m_iFont, 0).cx;
        if (x < left + (prev + w) / 2) return i - 1;
        prev = w;
    }
    return shown.GetLength();
}

void CEditUI::MoveCaret(int pos, bool extend) {
    m_nCaret = std::clamp(pos, 0, m_sText.GetLength());
    if (!extend) m_nAnchor = m_nCaret;
    Invalidate();
}

bool CEditUI::ReplaceSel(const CDuiString& text) {
    if (!HasSel() && text.IsEmpty()) return false;
    const int start = SelStart();
    m_sText = m_sText.Left(start) + text + m_sText.Mid(SelEnd());
    m_nCaret = m_nAnchor = start + text.GetLength();
    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_TEXTCHANGED);
    Invalidate();
    return true;
}

void CEditUI::CopySel() const {
    // A password never leaves its edit.
    if (m_bPasswordMode || !HasSel() || !QGuiApplication::instance()) return;
    CDuiString part = m_sText.Mid(SelStart(), SelEnd() - SelStart());
    QGuiApplication::clipboard()->setText(QString::fromStdWString(part.GetData()));
}

void CEditUI::DoEvent(TEventUI& event) {
    if (!IsMouseEnabled() && event.Type > UIEVENT__MOUSEBEGIN && event.Type < UIEVENT__MOUSEEND) {
        CLabelUI::DoEvent(event);
        return;
    }
    switch (event.Type) {
        case UIEVENT_SETFOCUS:
            // Focus from the keyboard or the program selects everything, so that what is
            // typed next replaces it; a click that gave the focus places the caret after.
            m_bFocused = true;
            m_nAnchor = 0;
            m_nCaret = m_sText.GetLength();
            if (m_pManager)
                ::CreateCaret(m_pManager->GetPaintWindow(), nullptr, 1, GetHeight() - 8);
            Invalidate();
            return;
        case UIEVENT_KILLFOCUS:
            m_bFocused = false;
            m_bMouseSelecting = false;
            ::DestroyCaret();
            Invalidate();
            return;
        case UIEVENT_BUTTONDOWN:
            // Shift+click stretches the selection to the click, as a drag does.
            MoveCaret(CharFromX(event.ptMouse.x), KeyDown(VK_SHIFT));
            m_bMouseSelecting = true;
            return;
        case UIEVENT_MOUSEMOVE:
            if (m_bMouseSelecting) MoveCaret(CharFromX(event.ptMouse.x), true);
            return;
        case UIEVENT_BUTTONUP:
            m_bMouseSelecting = false;
            return;
        case UIEVENT_DBLCLICK:
            // One line: a double click takes all of it.
            m_bMouseSelecting = false;
            SetSelAll();
            return;
        case UIEVENT_MOUSEENTER:
            m_uButtonState |= UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_MOUSELEAVE:
            m_uButtonState &= ~UISTATE_HOT;
            Invalidate();
            return;
        case UIEVENT_KEYDOWN: {
            const int key = static_cast<int>(event.wParam);
            const bool ctrl = KeyDown(VK_CONTROL);
            const bool shift = KeyDown(VK_SHIFT);
            if (ctrl && key == 'A') {
                SetSelAll();
                return;
            }
            if (ctrl && key == 'V') {
                if (!m_bReadOnly) Paste();
                return;
            }
            if (ctrl && (key == 'C' || key == 'X')) {
                CopySel();
                if (key == 'X' && !m_bReadOnly && !m_bPasswordMode) ReplaceSel(CDuiString());
                return;
            }
            switch (key) {
                case VK_LEFT:
                    // Without Shift an arrow first collapses the selection to its side.
                    if (!shift && HasSel())
                        MoveCaret(SelStart(), false);
                    else
                        MoveCaret(m_nCaret - 1, shift);
                    return;
                case VK_RIGHT:
                    if (!shift && HasSel())
                        MoveCaret(SelEnd(), false);
                    else
                        MoveCaret(m_nCaret + 1, shift);
                    return;
                case VK_HOME:
                    MoveCaret(0, shift);
                    return;
                case VK_END:
                    MoveCaret(m_sText.GetLength(), shift);
                    return;
                case VK_DELETE:
                    if (m_bReadOnly) return;
                    if (!HasSel()) m_nAnchor = std::min(m_nCaret + 1, m_sText.GetLength());
                    ReplaceSel(CDuiString());
                    return;
                case VK_RETURN:
                    if (m_pManager) m_pManager->SendNotify(this, DUI_MSGTYPE_RETURN);
                    return;
                default:
                    return;
            }
        }
        case UIEVENT_CHAR: {
            if (m_bReadOnly) return;
            const wchar_t c = event.chKey;
            if (c == L'\b') {
                if (!HasSel()) m_nAnchor = std::max(m_nCaret - 1, 0);
                ReplaceSel(CDuiString());
                return;
            }
            if (!Acceptable(c, m_bNumberOnly)) return;
            const int kept = m_sText.GetLength() - (SelEnd() - SelStart());
            if (kept >= static_cast<int>(m_uMaxChar)) return;
            ReplaceSel(CDuiString(c));
            return;
        }
        default:
            break;
    }
    CLabelUI::DoEvent(event);
}

void CEditUI::Paste() {
    if (!QGuiApplication::instance()) return;
    std::wstring text = QGuiApplication::clipboard()->text().toStdWString();
    // One line of plain text: line breaks become blanks; the edit's own limits hold, with
    // the selection's room counted as free.
    const int kept = m_sText.GetLength() - (SelEnd() - SelStart());
    const size_t room =
        m_uMaxChar > static_cast<UINT>(kept) ? m_uMaxChar - static_cast<UINT>(kept) : 0;
    std::wstring add;
    for (size_t i = 0; i < text.size() && add.size() < room; ++i) {
        wchar_t c = text[i];
        if (c == L'\r' && i + 1 < text.size() && text[i + 1] == L'\n') continue;
        if (c == L'\r' || c == L'\n') c = L' ';
        if (Acceptable(c, m_bNumberOnly)) add += c;
    }
    if (add.empty()) return;
    ReplaceSel(CDuiString(add.c_str()));
}

void CEditUI::SetAttribute(LPCTSTR n, LPCTSTR v) {
    std::wstring name(n ? n : L"");
    if (name == L"readonly")
        SetReadOnly(ParseBool(v));
    else if (name == L"numberonly")
        SetNumberOnly(ParseBool(v));
    else if (name == L"password")
        SetPasswordMode(ParseBool(v));
    else if (name == L"maxchar")
        SetMaxChar(static_cast<UINT>(ParseInt(v)));
    else if (name == L"normalimage")
        m_sNormalImage = v;
    else if (name == L"hotimage")
        m_sHotImage = v;
    else if (name == L"focusedimage")
        m_sFocusedImage = v;
    else if (name == L"disabledimage")
        m_sDisabledImage = v;
    else if (name == L"nativebkcolor")
        SetNativeEditBkColor(ParseColor(v));
    else
        CLabelUI::SetAttribute(n, v);
}
void CEditUI::PaintStatusImage(HDC hDC) {
    auto draw = [&](CDuiString& img) {
        if (!img.IsEmpty() && !DrawImage(hDC, img)) img.Empty();
    };
    if (!IsEnabled() && !m_sDisabledImage.IsEmpty())
        draw(m_sDisabledImage);
    else if (IsFocused() && !m_sFocusedImage.IsEmpty())
        draw(m_sFocusedImage);
    else if ((m_uButtonState & UISTATE_HOT) && !m_sHotImage.IsEmpty())
        draw(m_sHotImage);
    else
        draw(m_sNormalImage);
    if (IsFocused() && !m_sFocusedImage.IsEmpty()) return;
    if (m_nBorderSize == 0)
        CRenderEngine::DrawRect(hDC, m_rcItem, 1, IsFocused() ? 0xFF4A90D9 : 0xFFC8CDD3);
}
void CEditUI::PaintText(HDC hDC) {
    const CDuiString shown = ShownText();
    auto xOf = [&](int pos) {
        return m_rcItem.left + m_rcTextPadding.left +
               CRenderEngine::GetTextSize(hDC, m_pManager, shown.Left(pos), m_iFont, 0).cx;
    };
    CDuiString saved = m_sText;
    m_sText = shown;
    bool html = m_bShowHtml;
    m_bShowHtml = false;
    CLabelUI::PaintText(hDC);
    m_bShowHtml = html;
    m_sText = saved;
    // The selection shows only while the edit has the focus, as in any native edit; its
    // characters are drawn again over the highlight.
    if (IsFocused() && HasSel()) {
        const int right = m_rcItem.right - m_rcTextPadding.right;
        RECT band{std::min(xOf(SelStart()), right), m_rcItem.top + 4,
                  std::min(xOf(SelEnd()), right), m_rcItem.bottom - 4};
        if (band.right > band.left) {
            CRenderEngine::DrawColor(hDC, band, kSelectionBack);
            RECT rc{band.left, m_rcItem.top + m_rcTextPadding.top, right,
                    m_rcItem.bottom - m_rcTextPadding.bottom};
            CDuiString part = shown.Mid(SelStart(), SelEnd() - SelStart());
            CRenderEngine::DrawText(hDC, m_pManager, rc, part, kSelectionText, m_iFont,
                                    m_uTextStyle);
        }
    }
    if (IsFocused() && !m_bReadOnly) {
        // A plain caret after the text before the caret position.
        const int x = xOf(m_nCaret);
        RECT caret{x, m_rcItem.top + 4, x + 1, m_rcItem.bottom - 4};
        CRenderEngine::DrawColor(hDC, caret, 0xFF000000);
        ::SetCaretPos(caret.left, caret.top);
    }
}

}  // namespace DuiLib
