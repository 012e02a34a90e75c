#include "dialogs/WndUserSetting.h"

#include <cwchar>
#include <string>

#include "app/ClientApp.h"
#include "app/SkinFrame.h"
#include "catalogs/UserLevelInfoManager.h"
#include "controls/KernelData.h"
#include "dialogs/UserSettingHost.h"
#include "dialogs/WndSelUserFace.h"
#include "dialogs/WndUserSettingShields.h"
#include "dialogs/WndUserSettingVideo.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {
const SkinWndTraits kTraits = {"CWndUserSetting", L"WndUserSetting.xml",   kMsgStandard,
                               ScClose::kClose,   Lifetime::kSelfDeleting, false};

template <class T>
T* FindAs(CPaintManagerUI& pm, const wchar_t* name, const wchar_t* iface) {
    CControlUI* c = pm.FindControl(name);
    return c ? static_cast<T*>(c->GetInterface(iface)) : nullptr;
}
}  // namespace

const SkinWndTraits& CWndUserSetting::Traits() const {
    return kTraits;
}

void CWndUserSetting::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    m_pSwitch = FindAs<CTabLayoutUI>(m_pm, L"usersetting_switch", L"TabLayout");
    m_pUserFace = Find(L"userface");
    m_pAlias = FindAs<CEditUI>(m_pm, L"edt_useralias", L"Edit");
    m_pUserId = Find(L"sta_userid");
    m_pUserLevel = Find(L"sta_userlevel");
    m_pOnlineTime = Find(L"sta_onlinetime");
    m_pSex = Find(L"sta_xinbie");
    m_pOldPwd = FindAs<CEditUI>(m_pm, L"edt_useroldpwd", L"Edit");
    m_pNewPwd = FindAs<CEditUI>(m_pm, L"edt_usernewpwd", L"Edit");
    m_pNewPwd2 = FindAs<CEditUI>(m_pm, L"edt_usernewpwd2", L"Edit");
    m_pMicCombo = FindAs<CComboUI>(m_pm, L"selmincombo", L"Combo");
    m_pSpeakCombo = FindAs<CComboUI>(m_pm, L"selspeakcombo", L"Combo");
    // Laid out but bound to no setting.
    Find(L"check_shieldcolor");
    Find(L"check_shieldrecordsound");
    Find(L"check_shieldrecordvideo");
    FillUserInfo();
    FillShields();
}

void CWndUserSetting::ShowFace() {
    if (!m_pUserFace || !KernelData()) return;
    m_pUserFace->SetBkImage(
        winplat::FormatText(L"Face/80/%d.png", KernelData()->GetLocalUser()->faceId).c_str());
}

void CWndUserSetting::FillUserInfo() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserObj* me = data->GetLocalUser();
    ShowFace();
    if (m_pUserId) m_pUserId->SetText(std::to_wstring(me->userId).c_str());
    if (m_pOnlineTime) m_pOnlineTime->SetText(L"256小时");
    if (m_pUserLevel) {
        int level = me->levels[0];
        std::wstring text = std::to_wstring(level);
        if (data->m_pUserLevelInfoManager)
            if (tag_UserLevelDescInfo* desc =
                    data->m_pUserLevelInfoManager->FindLevelDesc(1, level))
                text = desc->title;
        m_pUserLevel->SetText(text.c_str());
    }
    if (m_pSex) {
        if (me->sex == 0) m_pSex->SetText(L"男");
        if (me->sex == 1) m_pSex->SetText(L"女");
    }
    if (m_pAlias) m_pAlias->SetText(winplat::AnsiToWide(me->alias).c_str());
}

void CWndUserSetting::FillShields() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    for (const ShieldRow& row : kShieldRows) {
        auto* box = FindAs<CCheckBoxUI>(m_pm, row.control, L"CheckBox");
        if (!box) continue;
        if (ReadShield(row, *data)) box->SetCheck(true, false);
        m_shieldShown[box] = box->GetCheck();
    }
}

void CWndUserSetting::ShowPage(int page) {
    if (m_pSwitch) m_pSwitch->SelectItem(page);
    // The menu entry of the page shows as chosen, also when the page was asked for.
    static const wchar_t* const kMenu[] = {L"gaiziliaobtn", L"gaixitongbtn", L"gaiyuyinbtn",
                                           L"gaishipinbtn", L"gaimibtn",     L"gairoombtn"};
    if (page < 0 || page >= 6) return;
    if (CControlUI* c = Find(kMenu[page]))
        if (auto* option = static_cast<COptionUI*>(c->GetInterface(L"Option")))
            if (!option->IsSelected()) option->Selected(true, false);
}

int CWndUserSetting::GetPage() const {
    return m_pSwitch ? m_pSwitch->GetCurSel() : -1;
}

void CWndUserSetting::OnClick(TNotifyUI& msg) {
    const CDuiString& name = msg.pSender ? msg.pSender->GetName() : CDuiString();
    if (msg.pSender && msg.pSender == m_pCloseBtn)
        Close(1);
    else if (name == L"headimgbtn")
        ChooseFace();
    else if (name == L"gaimibtn")
        ShowPage(4);
    else if (name == L"gaiziliaobtn")
        ShowPage(0);
    else if (name == L"gaixitongbtn")
        ShowPage(1);
    else if (name == L"gaiyuyinbtn")
        FillAudioDevices();
    else if (name == L"gaishipinbtn")
        ShowPage(3);
    else if (name == L"gairoombtn")
        ShowPage(5);
    else if (name == L"videosetbtn")
        RunCameraDialog();
    else if (name == L"btn_ok") {
        // A refusal keeps the window open, so the user sees what to correct.
        if (Apply()) Close(1);
    } else if (name == L"btn_cancel")
        Close(2);
    else if (name == L"btn_apply")
        Apply();
}

void CWndUserSetting::RunCameraDialog() {
    CWndUserSettingVideo camera;
    if (!camera.Create(m_hWnd, L"selvideo", 0x96C80000, 0, 0, 0, 0, 0)) return;
    camera.CenterWindow();
    camera.ShowModal();
}

void CWndUserSetting::ChooseFace() {
    if (m_pSelFace) {
        ::BringWindowToTop(m_pSelFace->GetHWND());
        return;
    }
    CCommKernelData* data = KernelData();
    if (!data) return;
    m_pSelFace = new CWndSelUserFace;
    m_pSelFace->Create(m_hWnd, L"selface", 0x96C80000, 0, 0, 0, 0, 0);
    m_pSelFace->CenterWindow();
    m_pSelFace->SetFace(data->GetLocalUser()->faceId);
    if (m_pSelFace->ShowModal() == 1) data->GetLocalUser()->faceId = m_pSelFace->GetFace();
    delete m_pSelFace;
    m_pSelFace = nullptr;
    ShowFace();
}

void OpenUserSettingWindowImpl() {
    if (CWndUserSetting* open = theApp.m_pWndUserSetting) {
        open->ShowWindow(true, true);
        ::SetForegroundWindow(open->GetHWND());
        return;
    }
    auto* wnd = new CWndUserSetting;
    wnd->SetOwnerSlot(&theApp.m_pWndUserSetting);
    theApp.m_pWndUserSetting = wnd;
    if (!wnd->Create(nullptr, L"个人设置", 0x86880000, 0, 0, 0, 0, 0)) {
        if (theApp.m_pWndUserSetting == wnd) {
            theApp.m_pWndUserSetting = nullptr;
            delete wnd;
        }
        return;
    }
    wnd->CenterWindow();
    wnd->ShowWindow(true, true);
    ::SetForegroundWindow(wnd->GetHWND());
}
