#include "app/LobbyLink.h"

#include <utility>

namespace {

LobbyLinkT& Link() {
    static LobbyLinkT link;
    return link;
}

}  // namespace

void SetLobbyLink(LobbyLinkT link) {
    Link() = std::move(link);
}

bool HasLobbyWindow() {
    return Link().hasWindow && Link().hasWindow();
}

HWND LobbyWindowHandle() {
    return Link().windowHandle ? Link().windowHandle() : nullptr;
}

void LobbyApplySkin() {
    if (Link().applySkin) Link().applySkin();
}

void LobbyOpenGameWindow(const wchar_t* url, const wchar_t* title) {
    if (Link().openGameWindow) Link().openGameWindow(url, title);
}

void LobbyLeaveRoomAndShow() {
    if (Link().leaveRoomAndShow) Link().leaveRoomAndShow();
}

void LobbyRejoinRoom() {
    if (Link().rejoinRoom) Link().rejoinRoom();
}

void LobbyShowSkinChooser() {
    if (Link().showSkinChooser) Link().showSkinChooser();
}

void LobbyShowPersonalSettings() {
    if (Link().showPersonalSettings) Link().showPersonalSettings();
}

void LobbySendSetUserProfileReq(tag_CMDSetUserProfileReq* record) {
    if (Link().sendSetUserProfileReq) Link().sendSetUserProfileReq(record);
}

void LobbySendSetUserPwdReq(tag_CMDSetUserPwdReq* record) {
    if (Link().sendSetUserPwdReq) Link().sendSetUserPwdReq(record);
}
