// What the local user asks for in the room: microphones, the queue, managers, quick
// phrases, collecting the room, and the dialogs that belong to the room.
#include "kernel/CommKernel.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

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
void CWndRoom::ShowLabaWnd() {}
void CWndRoom::ShowGonggaoWnd() {}
void CWndRoom::ShowGroupGiftWnd() {}
void CWndRoom::OnGiftItemClick(int) {}
void CWndRoom::ShowGiftTip(bool, int, int, int) {}
void CWndRoom::MicCountdownTick() {}
void CWndRoom::OnSealChosen(int, int) {}
void CWndRoom::OnShowWordGiftWnd(int) {}

// A private video window closing (its button or Alt+F4): its member's media ends and the
// window goes; the local user leaves his microphone as well.
void CWndRoom::OnPopupVideoClosed(int userId, LPARAM) {
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    if (data && userId == data->GetLocalUser()->userId) LeaveMyMic();
    CloseUserMedia(userId);
}
