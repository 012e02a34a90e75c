#include "controls/WindowClassTable.h"

#include <cstring>

const WindowClassInfo kWindowClassTable[] = {
    {"CLuckyMsgBox", L"UILuckyMsgBox", CS_VREDRAW | CS_HREDRAW},
    {"CREWindowWnd", L"UIRichEdit", CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS},
    {"CSystemPopMenu", L"UIMenuBase", 0},
    {"CUserPopMenu1", L"UIMenuBase", 0},
    {"CWndAboutUS", L"UIWndAboutUS", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndBaoxiangIcon", L"UIWndBaoxiangIcon", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndBaoxiangOpen", L"UIWndBaoxiangOpen", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndChatEmotion", L"UIEmotionFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndFinder", L"UIFindFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndGame", L"UIFindFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndGetPaid", L"UIGetPaid", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndGiftInfo", L"UIGiftInfo", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndIconHelp", L"UIIconHelp", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndLobby", L"UILobbyFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndLogon", L"OrinLogonFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndMsgBox", L"UIMsgBox", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndMyAccount", L"UIMyAccount", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndNetworkChoose", L"UINETWORKCHOOSE", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomPwd", L"UINETWORKCHOOSE", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndQunshua", L"UIQunshua", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomLookme", L"UIQunshua", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndQunshuaOK", L"UIQunshuaOK", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoom", L"UIRoomFrame", CS_DBLCLKS},
    {"CWndRoomAudioSetting3", L"UIRoomAudioSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomAudioSetting2", L"UIRoomAudioSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomAudioSetting", L"UIRoomAudioSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomAutoChat", L"UIRoomAutoChat", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomSetting", L"UIRoomSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomExchange", L"UIRoomSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndRoomMoreAVSetting", L"UIRoomSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndAuthority", L"UIRoomSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"WndUserViolationHanding", L"UIRoomSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndSelSkin", L"UISelSkinFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndSelUserFace", L"UIUserFace", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndSendGonggao", L"UISendGonggao", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndSendLaba", L"UISendLaba", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndSendWordGift", L"UIWndWordGift", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndUserInfo", L"UIUserInfo", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndUserPopupVideo", L"UIPopupVideo", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndUserRegister", L"UIUserRegistFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndUserSeal", L"UIWndUserSeal", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndUserSetting", L"UIUserSetting", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndUserSettingVideo", L"UIUserSettingVideoFrame", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndWaitJoinRoom", L"WndWaitJoinRoom", MIVORA_DIALOG_CLASS_STYLE},
    {"CWndWellcomTip", L"UIWellcomTip", MIVORA_DIALOG_CLASS_STYLE},
};

const size_t kWindowClassCount = sizeof(kWindowClassTable) / sizeof(kWindowClassTable[0]);

const WindowClassInfo* FindWindowClassInfo(const char* cppClass) {
    if (!cppClass) return nullptr;
    for (size_t i = 0; i < kWindowClassCount; ++i)
        if (std::strcmp(kWindowClassTable[i].cppClass, cppClass) == 0) return &kWindowClassTable[i];
    return nullptr;
}
