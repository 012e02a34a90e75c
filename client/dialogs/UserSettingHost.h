// What the personal settings dialog needs of the lobby window and the application
// object: the lobby's short lobby-server session for the two requests, the lobby's
// window for the device notice, and the stored sound devices. The program's own host
// goes to the lobby window and the application object; tests install their own.
#pragma once

#include <cstdint>

#include "win32/win32.h"

struct tag_CMDSetUserProfileReq;
struct tag_CMDSetUserPwdReq;

// The application object's three device settings, as "avconfig.txt" holds them.
struct AvDeviceSettings {
    uint32_t waveInDevice = 0xFFFFFFFFu;
    uint32_t waveOutDevice = 0xFFFFFFFFu;
    int32_t videoDevice = 0;
};

class IUserSettingHost {
public:
    virtual ~IUserSettingHost() = default;
    virtual void SendSetUserProfileReq(tag_CMDSetUserProfileReq* record) = 0;
    virtual void SendSetUserPwdReq(tag_CMDSetUserPwdReq* record) = 0;
    // Null when there is no lobby window.
    virtual HWND GetLobbyHwnd() = 0;
    virtual AvDeviceSettings GetAvDevices() = 0;
    virtual void SetAvDevices(const AvDeviceSettings& devices) = 0;
    // Writes the device settings ("avconfig.txt").
    virtual void SaveAVConfig() = 0;
};

// Null restores the program's own host.
void SetUserSettingHost(IUserSettingHost* host);
IUserSettingHost* GetUserSettingHost();
