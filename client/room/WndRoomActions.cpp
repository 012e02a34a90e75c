// What the local user asks for in the room: microphones, the queue, managers, quick
// phrases, collecting the room, and the dialogs that belong to the room.
#include "room/WndRoom.h"

void CWndRoom::ShowTopUpHint() {
    InsertHintLine(1, 1, L"亲，自动冲值尚未开通，请找房间里面找“售”标志的销售人员购买点卡哦！");
}

// The issue of the local user's actions fills these.
void CWndRoom::TakeMic(int, int) {}
void CWndRoom::JoinWaitMic() {}
void CWndRoom::OperateWaitMic(int, int, int) {}
void CWndRoom::AppointManager(int, int) {}
void CWndRoom::CancelManager(int) {}
void CWndRoom::SetPaneMicType(int, int) {}
void CWndRoom::ExtendPaneMicTime(int, int) {}
void CWndRoom::SendQuickPhrase(int) {}
void CWndRoom::CollectRoom() {}
void CWndRoom::ShowLookMeWnd() {}
void CWndRoom::ShowLabaWnd() {}
void CWndRoom::ShowGonggaoWnd() {}
void CWndRoom::ShowAccountWnd() {}
void CWndRoom::ShowGroupGiftWnd() {}
void CWndRoom::ShowRoomSettingWnd() {}
void CWndRoom::OnGiftItemClick(int) {}
void CWndRoom::ShowGiftTip(bool, int, int, int) {}
void CWndRoom::MicCountdownTick() {}
void CWndRoom::OnPopupVideoClosed(int, LPARAM) {}
void CWndRoom::OnSealChosen(int, int) {}
void CWndRoom::OnShowWordGiftWnd(int) {}
