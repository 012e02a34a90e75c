#include "lobby/WndAccountLogin.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {
    "CWndAccountLogin",
    L"login.xml",
    kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcHitTest | kMsgNcPaint | kMsgNcActivate,
    ScClose::kDefault,
    Lifetime::kSelfDeleting,
    false};
}  // namespace

const SkinWndTraits& CWndAccountLogin::Traits() const {
    return kTraits;
}

LRESULT CWndAccountLogin::OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) {
    LRESULT r = CSkinWnd::OnCreate(uMsg, wParam, lParam, bHandled);
    m_pm.AddPreMessageFilter(this);
    return r;
}

void CWndAccountLogin::InitWindow() {
    CSkinWnd::InitWindow();
    m_pCombo = Find(L"accountcombo");
    m_pAccountEdit = Find(L"accountedit");
    m_pPwdEdit = Find(L"pwdedit");
    m_pLoginBtn = Find(L"loginBtn");
    if (m_pCombo && m_pAccountEdit) m_pAccountEdit->SetText(m_pCombo->GetText());
    if (m_pAccountEdit) m_pAccountEdit->SetFocus();
}

LRESULT CWndAccountLogin::MessageHandler(UINT uMsg, WPARAM wParam, LPARAM, bool& bHandled) {
    if (uMsg != WM_KEYDOWN) return 0;
    if (wParam == VK_RETURN) {
        if (m_pAccountEdit && m_pAccountEdit->GetText().IsEmpty())
            m_pAccountEdit->SetFocus();
        else if (m_pPwdEdit && m_pPwdEdit->GetText().IsEmpty())
            m_pPwdEdit->SetFocus();
        else
            Close(1);
        bHandled = true;
        return 0;
    }
    if (wParam == VK_ESCAPE) {
        ::PostQuitMessage(0);
        bHandled = true;
    }
    return 0;
}

void CWndAccountLogin::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pCloseBtn)
        ::PostQuitMessage(0);
    else if (msg.pSender == m_pLoginBtn)
        Close(1);
}

void CWndAccountLogin::OnNotify(TNotifyUI& msg) {
    if (msg.sType == DUI_MSGTYPE_ITEMSELECT && msg.pSender && msg.pSender == m_pCombo &&
        m_pAccountEdit)
        m_pAccountEdit->SetText(m_pCombo->GetText());
}

void CWndAccountLogin::OnFinalMessage(HWND hWnd) {
    m_pm.RemovePreMessageFilter(this);
    CSkinWnd::OnFinalMessage(hWnd);
}
