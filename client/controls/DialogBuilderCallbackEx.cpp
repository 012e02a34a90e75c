#include "controls/DialogBuilderCallbackEx.h"

#include <cwchar>
#include <new>

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
#include "controls/RoomGroupTreeUI.h"
#include "controls/VideoImgPreviewUI.h"
#include "controls/VideoPane.h"

// Constant-initialised (before any file's registration runs at start-up).
CDialogBuilderCallbackEx::Entry CDialogBuilderCallbackEx::kEntries[16] = {
    {L"RGroupTree", []() -> DuiLib::CControlUI* { return new (std::nothrow) CRoomGroupTreeUI; }},
    {L"UserList", []() -> DuiLib::CControlUI* { return new (std::nothrow) CCtrlListFriend; }},
    {L"GiftList", []() -> DuiLib::CControlUI* { return new (std::nothrow) CGiftListUI; }},
    {L"FaceList", []() -> DuiLib::CControlUI* { return new (std::nothrow) CFaceListUI; }},
    {L"GiftListItem", []() -> DuiLib::CControlUI* { return new (std::nothrow) CGiftListItem; }},
    {L"UserListItem", []() -> DuiLib::CControlUI* { return new (std::nothrow) CListFriendItem; }},
    {L"FaceListItem", []() -> DuiLib::CControlUI* { return new (std::nothrow) CFaceListItem; }},
    {L"PubVideo", nullptr},     // room/PubVideoContainerUI.cpp
    {L"PopPubVideo", nullptr},  // room/PopPubVideoContainerUI.cpp
    {L"VideoPane", []() -> DuiLib::CControlUI* { return new (std::nothrow) CVideoPane; }},
    {L"VideoImg", []() -> DuiLib::CControlUI* { return new (std::nothrow) CVideoImgUI; }},
    {L"RoomCtrl", []() -> DuiLib::CControlUI* { return new (std::nothrow) CRoomCtrlUI; }},
    {L"GiftControl", []() -> DuiLib::CControlUI* { return new (std::nothrow) CGiftControlUI; }},
    {L"MVUserList",
     []() -> DuiLib::CControlUI* { return new (std::nothrow) CCtrlListQunshuaUser; }},
    {L"VideoImgPreview",
     []() -> DuiLib::CControlUI* { return new (std::nothrow) CVideoImgPreviewUI; }},
    {L"MultiImage", []() -> DuiLib::CControlUI* { return new (std::nothrow) CMultiImageUI; }},
};

int CDialogBuilderCallbackEx::FindElement(LPCTSTR pstrClass) {
    if (!pstrClass) return -1;
    for (int i = 0; i < 16; ++i)
        if (std::wcscmp(kEntries[i].element, pstrClass) == 0) return i;
    return -1;
}

bool CDialogBuilderCallbackEx::SetCreator(LPCTSTR pstrClass, Creator create) {
    const int i = FindElement(pstrClass);
    if (i < 0) return false;
    kEntries[i].create = create;
    return true;
}

DuiLib::CControlUI* CDialogBuilderCallbackEx::CreateControl(LPCTSTR pstrClass) {
    int i = FindElement(pstrClass);
    if (i < 0 || !kEntries[i].create) return nullptr;
    return kEntries[i].create();
}
