// What the personal settings dialog needs of the lobby window and the application
// object: the lobby's short lobby-server session for the two requests, the lobby's
// window for the device notice, and the stored sound devices. The lobby installs it
// when it opens the dialog; without one the dialog sends and stores nothing.
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
    virtual AvDeviceSettings& GetAvDevices() = 0;
    // Writes the device settings; false when the file could not be written.
    virtual bool SaveAVConfig() = 0;
};

void SetUserSettingHost(IUserSettingHost* host);
IUserSettingHost* GetUserSettingHost();
