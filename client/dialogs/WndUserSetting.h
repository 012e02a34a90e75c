// The personal settings window: profile (alias and face), password, sound devices,
// the camera dialog and the chat shields. One at a time, opened by the lobby.
#pragma once

#include <map>
#include <string>

#include "controls/SkinWnd.h"

class CWndSelUserFace;

class CWndUserSetting : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

    // Shows the device page with the mixer's current lists.
    void FillAudioDevices();
    // Applies the page shown; false when something was refused (a message box told why).
    bool Apply();
    void ChooseFace();
    // The camera dialog, modally.
    void RunCameraDialog();
    // Selects a page of "usersetting_switch" (0 profile ... 5 shields).
    void ShowPage(int page);
    int GetPage() const;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void FillUserInfo();
    void FillShields();
    void ApplyAudioDevices();
    bool ApplyProfile();
    bool ApplyPassword();
    void ApplyShields();
    void ShowFace();
    void Refuse(const wchar_t* reason);

    DuiLib::CTabLayoutUI* m_pSwitch = nullptr;
    DuiLib::CControlUI* m_pUserFace = nullptr;
    DuiLib::CEditUI* m_pAlias = nullptr;
    DuiLib::CControlUI* m_pUserId = nullptr;
    DuiLib::CControlUI* m_pUserLevel = nullptr;
    DuiLib::CControlUI* m_pOnlineTime = nullptr;
    DuiLib::CControlUI* m_pSex = nullptr;
    DuiLib::CEditUI* m_pOldPwd = nullptr;
    DuiLib::CEditUI* m_pNewPwd = nullptr;
    DuiLib::CEditUI* m_pNewPwd2 = nullptr;
    DuiLib::CComboUI* m_pMicCombo = nullptr;
    DuiLib::CComboUI* m_pSpeakCombo = nullptr;
    // Each shield box with the state it showed when last filled or applied: only a
    // box the user changed overwrites its setting (the room menu changes them too).
    std::map<DuiLib::CCheckBoxUI*, bool> m_shieldShown;
    CWndSelUserFace* m_pSelFace = nullptr;
};

// Shows the personal settings window, creating it when none is open (openUserSetting).
void OpenUserSettingWindowImpl();
