// Gifts, seals and effects the room sends, and its gift pane.
#include "kernel/CommKernel.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

void CWndRoom::RunGroupGiftTimer() {
    GroupGiftStep();
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    const bool guest = !data || data->GetLocalUser()->levels[0] <= 1;
    if (guest || m_groupGiftQueue.empty()) ::KillTimer(m_hWnd, kTimerGroupGift);
}

// The gifts issue fills these.
void CWndRoom::FillGiftPane() {}
void CWndRoom::OnAppTileClick(int) {}
void CWndRoom::SendSealReq(int, int) {}
void CWndRoom::SendCaitiaoToChatTarget() {}
void CWndRoom::OnPaneQuickGift(WPARAM, LPARAM) {}
void CWndRoom::GroupGiftStep() {}
