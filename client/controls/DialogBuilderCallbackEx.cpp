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

DuiLib::CControlUI* CDialogBuilderCallbackEx::CreateControl(LPCTSTR pstrClass) {
    if (!pstrClass) return nullptr;
    for (const Entry& e : kEntries) {
        if (std::wcscmp(e.element, pstrClass) != 0) continue;
        return e.create ? e.create() : nullptr;
    }
    return nullptr;
}
