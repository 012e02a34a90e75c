#include "dialogs/WndRoomAutoChat.h"

#include <cwchar>
#include <string>

#include "controls/KernelData.h"
#include "app/SkinFrame.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndRoomAutoChat", L"WndRoomAutoChat.xml",  kMsgStandard,
                               ScClose::kClose,    Lifetime::kSelfDeleting, false};

// The window stays open after a save: the page says it was kept.
const wchar_t kSavedTip[] = L"设置成功！";

CCheckBoxUI* AsCheckBox(CControlUI* c) {
    return c ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr;
}

// A text as the settings keep it: one line (breaks become blanks), cut to the field.
template <size_t N>
void StoreText(wchar_t (&field)[N], const std::wstring& text) {
    std::wstring line = text.substr(0, N - 1);
    for (wchar_t& c : line)
        if (c == L'\r' || c == L'\n') c = L' ';
    std::wmemset(field, 0, N);
    std::wmemcpy(field, line.data(), line.size());
}
}  // namespace

const SkinWndTraits& CWndRoomAutoChat::Traits() const {
    return kTraits;
}

void CWndRoomAutoChat::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    if (CControlUI* c = Find(L"switch"))
        m_pSwitch = static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout"));
    m_pChkReply = AsCheckBox(Find(L"chkautoreply"));
    m_pReplyText = Find(L"inputautoreply");
    m_pChkWelcome = AsCheckBox(Find(L"chkwelcomeword"));
    m_pWelcomeText = Find(L"inputwelcome");
    m_pReplyTip = Find(L"replytip");
    m_pWelcomeTip = Find(L"welcometip");
    CCommKernelData* data = KernelData();
    if (!data) return;
    const CUserEnvSetting& env = data->m_UserEnv;
    if (m_pChkReply) m_pChkReply->SetCheck(env.m_bAutoReplay, false);
    if (m_pChkWelcome) m_pChkWelcome->SetCheck(env.m_bAutoWellcome, false);
    if (m_pReplyText)
        m_pReplyText->SetText(
            std::wstring(env.m_szAutoReply, wcsnlen(env.m_szAutoReply, 512)).c_str());
    if (m_pWelcomeText)
        m_pWelcomeText->SetText(
            std::wstring(env.m_szAutoWelcome, wcsnlen(env.m_szAutoWelcome, 512)).c_str());
}

void CWndRoomAutoChat::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    const CDuiString& name = sender->GetName();
    CCommKernelData* data = KernelData();
    if (sender == m_pCloseBtn) {
        Close(1);
    } else if (name == L"autoreply") {
        if (m_pSwitch && m_pSwitch->GetCurSel() != 0) m_pSwitch->SelectItem(0);
    } else if (name == L"welcomword") {
        if (m_pSwitch && m_pSwitch->GetCurSel() != 1) m_pSwitch->SelectItem(1);
    } else if (name == L"btnok_reply" && data) {
        if (m_pChkReply) data->m_UserEnv.m_bAutoReplay = m_pChkReply->GetCheck();
        if (m_pReplyText)
            StoreText(data->m_UserEnv.m_szAutoReply, m_pReplyText->GetText().GetData());
        if (m_pReplyTip) m_pReplyTip->SetText(kSavedTip);
    } else if (name == L"btnok_welcome" && data) {
        if (m_pChkWelcome) data->m_UserEnv.m_bAutoWellcome = m_pChkWelcome->GetCheck();
        if (m_pWelcomeText)
            StoreText(data->m_UserEnv.m_szAutoWelcome, m_pWelcomeText->GetText().GetData());
        if (m_pWelcomeTip) m_pWelcomeTip->SetText(kSavedTip);
    }
}
