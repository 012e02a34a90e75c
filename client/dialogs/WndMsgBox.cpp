#include "dialogs/WndMsgBox.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {
    "CWndMsgBox",      L"WndMsgBox1.xml", kMsgCreate | kMsgSize | kMsgNcHitTest,
    ScClose::kDefault, Lifetime::kStack,  true};
// WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU
const DWORD kMsgBoxStyle = 0x96C80000;
}  // namespace

CWndMsgBox::CWndMsgBox() = default;

const SkinWndTraits& CWndMsgBox::Traits() const {
    return kTraits;
}

void CWndMsgBox::SetText(LPCTSTR text) {
    m_sText = text;
    if (m_pTip) m_pTip->SetText(m_sText);
}

void CWndMsgBox::SetButtons(int mode) {
    m_nButtons = mode;
    if (!m_pCancelBtn) return;
    if (mode == 0)
        m_pCancelBtn->SetVisible(false);
    else if (mode == 1)
        m_pCancelBtn->SetVisible(true);
}

void CWndMsgBox::InitWindow() {
    m_pTip = static_cast<CLabelUI*>(Find(L"tip"));
    m_pOkBtn = Find(L"okbtn");
    m_pCancelBtn = Find(L"cancelbtn");
    if (m_pTip && !m_pTip->GetInterface(L"Label")) m_pTip = nullptr;
    if (m_pCancelBtn && m_nButtons == 0) m_pCancelBtn->SetVisible(false);
}

UINT CWndMsgBox::DoModal(HWND parent) {
    if (!Create(parent, L"", kMsgBoxStyle, 0, 0, 0, 0, 0)) return IDCANCEL;
    if (m_pTip) m_pTip->SetText(m_sText);
    CenterWindow();
    return ShowModal();
}

void CWndMsgBox::OnClick(TNotifyUI& msg) {
    if (!msg.pSender) return;
    if (msg.pSender == m_pOkBtn) {
        Close(IDOK);
        return;
    }
    if (msg.pSender == m_pCancelBtn || msg.pSender->GetName() == L"closebtn") Close(IDCANCEL);
}
