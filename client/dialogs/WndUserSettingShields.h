// The shield check boxes of the settings dialog and the setting each one shows.
#pragma once

#include "config/UserEnvSetting.h"
#include "session/CommKernelData.h"

struct ShieldRow {
    const wchar_t* control;
    // Null: the local user's own refusal of microphone invitations, kept in the user.
    bool CUserEnvSetting::*setting;
};

inline constexpr ShieldRow kShieldRows[] = {
    {L"check_shieldprivate", &CUserEnvSetting::m_bShiledPrivateChat},
    {L"check_shieldpublic", &CUserEnvSetting::m_bShiledPublicChat},
    {L"check_inoutroom", &CUserEnvSetting::m_bShiledInoutMsg},
    {L"check_giftrun", &CUserEnvSetting::m_bShiledGiftShow},
    {L"check_shieldgiftflash", &CUserEnvSetting::m_bShiledGiftEffect},
    {L"check_shieldgiftsound", &CUserEnvSetting::m_bShiledGiftEffectSound},
    {L"check_shieldroomcast", &CUserEnvSetting::m_bCanShiledTempPubNoticeMsg},
    {L"check_shiledautoopenvipmic", &CUserEnvSetting::m_bShiledAutoOpenVIPMic},
    {L"check_shieldinviteupmic", nullptr},
};

inline bool& ShieldSetting(const ShieldRow& row, CCommKernelData& data) {
    return row.setting ? data.m_UserEnv.*row.setting : data.GetLocalUser()->forbidCarryToMic;
}
inline bool ReadShield(const ShieldRow& row, CCommKernelData& data) {
    return ShieldSetting(row, data);
}
