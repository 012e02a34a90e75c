// Answers to the room administration and private video connection requests.
#include "room/WndRoom.h"

// The issue of these answers fills them.
void CWndRoom::OnSetRoomNoticeResp(int) {}
void CWndRoom::OnSetRoomInfoResp(int) {}
void CWndRoom::OnSetRoomOpStatusResp(int) {}
void CWndRoom::OnSeeUserIpResp(const char*) {}
void CWndRoom::OnForbidInviteUpMicResp(int) {}
void CWndRoom::OnConnMediaResp(const char*) {}
void CWndRoom::OnConnMediaErr(const char*) {}
void CWndRoom::OnSetUserPwdResp(int) {}
