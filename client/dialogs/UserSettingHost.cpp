#include "dialogs/UserSettingHost.h"

#include "app/ClientApp.h"
#include "app/LobbyLink.h"

namespace {

// The program's own: the lobby window's short lobby-server session and the
// application object's device settings.
class CProgramUserSettingHost : public IUserSettingHost {
public:
    void SendSetUserProfileReq(tag_CMDSetUserProfileReq* record) override {
        LobbySendSetUserProfileReq(record);
    }
    void SendSetUserPwdReq(tag_CMDSetUserPwdReq* record) override {
        LobbySendSetUserPwdReq(record);
    }
    HWND GetLobbyHwnd() override { return LobbyWindowHandle(); }
    AvDeviceSettings GetAvDevices() override {
        AvDeviceSettings d;
        d.waveInDevice = theApp.m_nWaveInDev;
        d.waveOutDevice = theApp.m_nWaveOutDev;
        d.videoDevice = theApp.m_nVideoDev;
        return d;
    }
    void SetAvDevices(const AvDeviceSettings& d) override {
        theApp.m_nWaveInDev = d.waveInDevice;
        theApp.m_nWaveOutDev = d.waveOutDevice;
        theApp.m_nVideoDev = d.videoDevice;
    }
    void SaveAVConfig() override { theApp.SaveAVConfig(); }
};

CProgramUserSettingHost g_programHost;
IUserSettingHost* g_host = nullptr;

}  // namespace

void SetUserSettingHost(IUserSettingHost* host) {
    g_host = host;
}

IUserSettingHost* GetUserSettingHost() {
    return g_host ? g_host : &g_programHost;
}
