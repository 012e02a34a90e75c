#include "room_double.h"

#include "model/UserObj.h"
#include "win32/text.h"

namespace {
const wchar_t kRoomLayout[] =
    L"<Window size=\"800,600\"><VerticalLayout bkcolor=\"#FFEEEEEE\" /></Window>";

IRoomWindow* MakeRecordingRoom() {
    return new CRecordingRoom;
}
}  // namespace

CRecordingRoom::CRecordingRoom()
    : CTestWnd(kRoomLayout, kMsgStandard, ScClose::kClose, Lifetime::kSelfDeleting) {
    ++Alive();
}

CRecordingRoom::~CRecordingRoom() {
    --Alive();
    Log("Deleted");
}

std::vector<std::string>& CRecordingRoom::Calls() {
    static std::vector<std::string> calls;
    return calls;
}

int& CRecordingRoom::Alive() {
    static int alive = 0;
    return alive;
}

RoomWindowFactory CRecordingRoom::Install() {
    return SetRoomWindowFactory(MakeRecordingRoom);
}

void CRecordingRoom::Log(const char* what) {
    Calls().push_back(what);
}

void CRecordingRoom::Log(const char* what, int value) {
    Calls().push_back(std::string(what) + " " + std::to_string(value));
}

void CRecordingRoom::Log2(const char* what, int a, int b) {
    Calls().push_back(std::string(what) + " " + std::to_string(a) + " " + std::to_string(b));
}

void CRecordingRoom::InsertHintLine(int, int, const wchar_t* text) {
    Calls().push_back("Hint " + winplat::WideToUtf8(text ? text : L""));
}

void CRecordingRoom::OnUserEnterRoom(CUserObj* user) {
    Calls().push_back(user ? "OnUserEnterRoom " + std::to_string(user->userId)
                           : std::string("OnUserEnterRoom null"));
}

void CRecordingRoom::OnRoomNoticeText(int index, const wchar_t* text) {
    Calls().push_back("OnRoomNoticeText " + std::to_string(index) + " " +
                      winplat::WideToUtf8(text ? text : L""));
}

void CRecordingRoom::OnUserKickedOut(int actor, int target, int reason, int flag) {
    Calls().push_back("OnUserKickedOut " + std::to_string(actor) + " " + std::to_string(target) +
                      " " + std::to_string(reason) + " " + std::to_string(flag));
}

void CRecordingRoom::OnRoomChatMsg(tag_CMDRoomChatMsg* record, int flag) {
    Calls().push_back("OnRoomChatMsg " + std::to_string(record ? record->senderId : -1) + " " +
                      std::to_string(flag));
}

std::vector<std::string> CallsStarting(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& c : CRecordingRoom::Calls())
        if (c.compare(0, prefix.size(), prefix) == 0) out.push_back(c);
    return out;
}
