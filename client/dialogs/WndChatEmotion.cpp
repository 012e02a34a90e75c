#include "dialogs/WndChatEmotion.h"

#include <string>

#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndChatEmotion", L"WndChatEmo.xml",      kMsgStandard,
                               ScClose::kSwallow, Lifetime::kProgramWide, false};

const wchar_t kClickPrefix[] = L"clickemotion:";
constexpr size_t kClickPrefixLen = 13;

constexpr int kWidth = 414;
constexpr int kHeight = 220;
constexpr int kAboveButton = 222;

}  // namespace

CWndChatEmotion* CWndChatEmotion::s_pInstance = nullptr;

IEmoReceiver::~IEmoReceiver() {
    CWndChatEmotion::Detach(this);
}

CWndChatEmotion* CWndChatEmotion::Instance() {
    return s_pInstance;
}

void CWndChatEmotion::Detach(IEmoReceiver* receiver) {
    if (s_pInstance && s_pInstance->m_pReceiver == receiver) s_pInstance->m_pReceiver = nullptr;
}

const SkinWndTraits& CWndChatEmotion::Traits() const {
    return kTraits;
}

void CWndChatEmotion::OnFinalMessage(HWND) {}

LRESULT CWndChatEmotion::OnCreate(UINT, WPARAM, LPARAM, BOOL& bHandled) {
    LONG style = ::GetWindowLongW(m_hWnd, GWL_STYLE);
    style &= ~static_cast<LONG>(WS_CAPTION);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, style | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    m_pm.Init(m_hWnd);
    // The page is the whole window: only the library's own controls are needed.
    CDialogBuilder builder;
    CControlUI* root = builder.Create(Traits().layout, nullptr, nullptr, &m_pm, nullptr);
    if (!root) root = new CVerticalLayoutUI;
    m_pm.AttachDialog(root);
    m_pm.AddNotifier(this);
    InitWindow();
    bHandled = TRUE;
    return 0;
}

void CWndChatEmotion::InitWindow() {
    CSkinWnd::InitWindow();
    m_pBrowser = static_cast<CWebBrowserUI*>(Find(L"ielobby"));
    if (!m_pBrowser) return;
    m_pBrowser->SetVisible(false);
    m_pBrowser->SetWebBrowserEventHandler(this);
    m_pBrowser->Navigate2(L"about:blank");
}

LRESULT CWndChatEmotion::HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM, BOOL& bHandled) {
    if (uMsg == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        m_pReceiver = nullptr;
        ::ShowWindow(m_hWnd, SW_HIDE);
        bHandled = TRUE;
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

void CWndChatEmotion::NavigateComplete2(CWebBrowserUI* pWeb, LPCTSTR) {
    if (!pWeb) return;
    if (m_bFirstNavigate) {
        m_bFirstNavigate = false;
        CCommKernelData* data = KernelData();
        if (!data) return;
        bool big = data->m_pUserMVManager &&
                   data->m_pUserMVManager->CheckPrivilege(PRIV_EMOTICON_PAGE, data->GetLocalUser());
        const wchar_t* url =
            big ? data->m_GlobalConfig.emotion_url0 : data->m_GlobalConfig.emotion_url1;
        // Without an address the browser stays on the blank page, hidden.
        if (url && url[0]) pWeb->Navigate2(url);
        return;
    }
    if (!pWeb->IsVisible()) pWeb->SetVisible(true);
}

void CWndChatEmotion::BeforeNavigate2(CWebBrowserUI*, LPCTSTR url, DWORD, LPCTSTR, LPCTSTR, LPCTSTR,
                                      bool& cancel) {
    if (!url) return;
    const std::wstring address(url);
    // Only a link that starts with the word is a pick; the page's other links go on.
    if (address.compare(0, kClickPrefixLen, kClickPrefix) != 0) return;
    cancel = true;
    const std::wstring rest = address.substr(kClickPrefixLen);
    const size_t dot = rest.find(L'.');
    const std::wstring code = dot == std::wstring::npos ? std::wstring() : rest.substr(0, dot);
    if (!HtmlText::IsEmoticonCode(code)) return;
    if (m_pReceiver) m_pReceiver->OnEmoSelected(code.c_str());
}

CWndChatEmotion* ShowChatEmotion(HWND opener, CControlUI* button, IEmoReceiver* receiver) {
    POINT corner{0, 0};
    if (button) {
        RECT rc = button->GetPos();
        corner = POINT{rc.left, rc.top};
        if (opener) ::ClientToScreen(opener, &corner);
    }
    CWndChatEmotion*& picker = CWndChatEmotion::s_pInstance;
    if (!picker) {
        auto* w = new CWndChatEmotion;
        if (!w->Create(nullptr, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW,
                       0, 0, 0, 0)) {
            delete w;
            return nullptr;
        }
        picker = w;
    }
    picker->SetReceiver(receiver);
    ::MoveWindow(picker->GetHWND(), corner.x, corner.y - kAboveButton, kWidth, kHeight, FALSE);
    picker->ShowWindow(true, true);
    return picker;
}
