// Room notifications about gifts, seals, fireworks, the loudspeaker and money.
#include "room/WndRoom.h"

// The issue of these handlers fills them.
void CWndRoom::OnTradeGiftFailed(const char*) {}
void CWndRoom::OnTradeGiftNotify(const char*) {}
void CWndRoom::OnLoudspeakerMsg(const char*) {}
void CWndRoom::OnLuckyGiftReward(const char*) {}
void CWndRoom::OnGiftRollNotify() {}
void CWndRoom::OnFireworksPicked(const char*) {}
void CWndRoom::OnTradeFireworksFailed(int, int) {}
void CWndRoom::OnPlayFireworksNotify(const char*) {}
void CWndRoom::OnTradeFireworksOk(int, int) {}
void CWndRoom::OnSealNotify(const char*) {}
void CWndRoom::OnSendSealFailed() {}
void CWndRoom::OnMoneyTransferNotify(int, int) {}
void CWndRoom::OnMoneyOpFailed() {}
