#include "dialogs/WndUserInfo.h"

#include <string>

#include "catalogs/UserLevelInfoManager.h"
#include "controls/KernelData.h"
#include "app/SkinFrame.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

using namespace DuiLib;

namespace {

const SkinWndTraits kTraits = {"CWndUserInfo", L"WndUserInfo.xml", kMsgStandard,
                               ScClose::kQuit, Lifetime::kModal,   false};

void SetText(CControlUI* c, const std::wstring& text) {
    if (c) c->SetText(text.c_str());
}

}  // namespace

const SkinWndTraits& CWndUserInfo::Traits() const {
    return kTraits;
}

CWndUserInfo* CWndUserInfo::SetUser(CUserObj* shown) {
    user = shown;
    return this;
}

void CWndUserInfo::InitWindow() {
    CSkinWnd::InitWindow();
    btn_close = Find(L"btn_close");
    closebtn = m_pCloseBtn;
    winBG = m_pWinBG;
    userface = Find(L"userface");
    sta_useralias = Find(L"sta_useralias");
    sta_userid = Find(L"sta_userid");
    sta_onlinetime = Find(L"sta_onlinetime");
    sta_userlevel = Find(L"sta_userlevel");
    sta_sex = Find(L"sta_sex");
    sta_birthday = Find(L"sta_birthday");
    sta_address = Find(L"sta_address");
    // With no user the card stays as laid out. The card is filled once: the member may
    // leave (and his object go) while it is open, so the pointer is not kept.
    if (user) Fill(*user);
    user = nullptr;
    ApplySkinFrame(winBG);
}

void CWndUserInfo::Fill(const CUserObj& shown) {
    SetText(sta_userid, std::to_wstring(shown.userId));
    // The alias is the user's own text: the label shows it literally (no markup).
    SetText(sta_useralias, winplat::AnsiToWide(shown.alias));
    SetText(sta_onlinetime, L"256小时");
    std::wstring level = std::to_wstring(shown.levels[0]);
    CCommKernelData* data = KernelData();
    if (data && data->m_pUserLevelInfoManager)
        if (tag_UserLevelDescInfo* desc =
                data->m_pUserLevelInfoManager->FindLevelDesc(1, shown.levels[0]))
            level = desc->title;
    SetText(sta_userlevel, level);
    if (shown.sex == 0) SetText(sta_sex, L"男");
    if (shown.sex == 1) SetText(sta_sex, L"女");
    SetText(sta_birthday, L"1971年1月1日");
    SetText(sta_address, L"中国 北京 东城");
    if (userface)
        userface->SetBkImage((L"Face/80/" + std::to_wstring(shown.faceId) + L".png").c_str());
}

void CWndUserInfo::OnClick(TNotifyUI& msg) {
    if (msg.pSender && (msg.pSender == btn_close || msg.pSender == closebtn)) Close(1);
}
