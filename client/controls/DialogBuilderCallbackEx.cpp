#include "controls/DialogBuilderCallbackEx.h"

#include <cwchar>
#include <new>

#include "lobby/RoomGroupTreeUI.h"
#include "controls/CtrlListFriend.h"
#include "controls/CtrlListQunshuaUser.h"
#include "controls/FaceListItem.h"
#include "controls/FaceListUI.h"
#include "controls/GiftControlUI.h"
#include "controls/GiftListItem.h"
#include "controls/GiftListUI.h"
#include "controls/ListFriendItem.h"
#include "controls/MultiImageUI.h"
#include "controls/RoomCtrlUI.h"

// The controls behind these names come with the lobby, room, gift and video
// windows; until a class is here its name builds nothing.
const CDialogBuilderCallbackEx::Entry CDialogBuilderCallbackEx::kEntries[16] = {
    {L"RGroupTree", []() -> DuiLib::CControlUI* { return new (std::nothrow) CRoomGroupTreeUI; }},
    {L"UserList", []() -> DuiLib::CControlUI* { return new (std::nothrow) CCtrlListFriend; }},
    {L"GiftList", []() -> DuiLib::CControlUI* { return new (std::nothrow) CGiftListUI; }},
    {L"FaceList", []() -> DuiLib::CControlUI* { return new (std::nothrow) CFaceListUI; }},
    {L"GiftListItem", []() -> DuiLib::CControlUI* { return new (std::nothrow) CGiftListItem; }},
    {L"UserListItem", []() -> DuiLib::CControlUI* { return new (std::nothrow) CListFriendItem; }},
    {L"FaceListItem", []() -> DuiLib::CControlUI* { return new (std::nothrow) CFaceListItem; }},
    {L"PubVideo", nullptr},         // CPubVideoContainerUI
    {L"PopPubVideo", nullptr},      // CPopPubVideoContainerUI
    {L"VideoPane", nullptr},        // CVideoPane
    {L"VideoImg", nullptr},         // CVideoImgUI
    {L"RoomCtrl", []() -> DuiLib::CControlUI* { return new (std::nothrow) CRoomCtrlUI; }},
    {L"GiftControl", []() -> DuiLib::CControlUI* { return new (std::nothrow) CGiftControlUI; }},
    {L"MVUserList",
     []() -> DuiLib::CControlUI* { return new (std::nothrow) CCtrlListQunshuaUser; }},
    {L"VideoImgPreview", nullptr},  // CVideoImgPreviewUI
    {L"MultiImage", []() -> DuiLib::CControlUI* { return new (std::nothrow) CMultiImageUI; }},
};

int CDialogBuilderCallbackEx::FindElement(LPCTSTR pstrClass) {
    if (!pstrClass) return -1;
    for (int i = 0; i < 16; ++i)
        if (std::wcscmp(kEntries[i].element, pstrClass) == 0) return i;
    return -1;
}

DuiLib::CControlUI* CDialogBuilderCallbackEx::CreateControl(LPCTSTR pstrClass) {
    int i = FindElement(pstrClass);
    if (i < 0 || !kEntries[i].create) return nullptr;
    return kEntries[i].create();
}
