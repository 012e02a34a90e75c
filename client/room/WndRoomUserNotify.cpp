// Room notifications about users and microphones.
#include "room/WndRoom.h"

// The issue of the user and microphone handlers fills these.
void CWndRoom::OnUserEnterRoom(CUserObj*) {}
void CWndRoom::OnRoomUserListEnd() {}
void CWndRoom::OnPubMicInfoChanged(int) {}
void CWndRoom::OnRoomNoticeText(int, const wchar_t*) {}
void CWndRoom::OnUserKickedOut(int, int, int, int) {}
void CWndRoom::OnUserExitRoom(int) {}
void CWndRoom::OnUserMicStateChanged(const char*) {}
void CWndRoom::OnMicStateFailed(const char*) {}
void CWndRoom::OnWaitMicIndexChanged(const char*) {}
void CWndRoom::OnUserBanned(const char*) {}
void CWndRoom::OnUserPriorityChanged(const char*) {}
void CWndRoom::OnMicTypeChanged(const char*) {}
void CWndRoom::OnUserAliasChanged(int) {}
void CWndRoom::OnWaitMicLimitSetOk() {}
void CWndRoom::OnWaitMicLimitChanged() {}
void CWndRoom::OnUpWaitMicOk() {}
void CWndRoom::OnOperateWaitMicResp(int) {}
void CWndRoom::OnUpWaitMicLimitExceeded() {}
void CWndRoom::OnSiegeStateChanged(const char*) {}
