#include "controls/DialogBuilderCallbackEx.h"

#include <cwchar>
#include <new>

#include "app/RoomGroupTreeUI.h"

// The controls behind these names come with the lobby, room, gift and video
// windows; until a class is here its name builds nothing.
const CDialogBuilderCallbackEx::Entry CDialogBuilderCallbackEx::kEntries[16] = {
    {L"RGroupTree", []() -> DuiLib::CControlUI* { return new (std::nothrow) CRoomGroupTreeUI; }},
    {L"UserList", nullptr},         // CCtrlListFriend
    {L"GiftList", nullptr},         // CGiftListUI
    {L"FaceList", nullptr},         // CFaceListUI
    {L"GiftListItem", nullptr},     // CGiftListItem
    {L"UserListItem", nullptr},     // CListFriendItem
    {L"FaceListItem", nullptr},     // CFaceListItem
    {L"PubVideo", nullptr},         // CPubVideoContainerUI
    {L"PopPubVideo", nullptr},      // CPopPubVideoContainerUI
    {L"VideoPane", nullptr},        // CVideoPane
    {L"VideoImg", nullptr},         // CVideoImgUI
    {L"RoomCtrl", nullptr},         // CRoomCtrlUI
    {L"GiftControl", nullptr},      // CGiftControlUI
    {L"MVUserList", nullptr},       // CCtrlListQunshuaUser
    {L"VideoImgPreview", nullptr},  // CVideoImgPreviewUI
    {L"MultiImage", nullptr},       // CMultiImageUI
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
