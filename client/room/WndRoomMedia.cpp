// The room's media session with the engine, the public panes and the private video
// windows.
#include <functional>

#include "facade/Strevo.h"
#include "kernel/CommKernel.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

CControlUI* CALLBACK MatchPointer(CControlUI* control, LPVOID wanted) {
    return control == wanted ? control : nullptr;
}

}  // namespace

void CWndRoom::MuteUserStream(bool video, int userId, bool on) {
    CCommKernelData* data = CCommKernel::GetInstance()->m_pData;
    if (!m_pStrevo || (data && userId == data->GetLocalUser()->userId)) return;
    if (video)
        m_pStrevo->muteVideoStream(userId, on ? 1 : 0);
    else
        m_pStrevo->muteAudioStream(userId, on ? 1 : 0);
}

void CWndRoom::OnVideoFrameReady(LPARAM pane) {
    // The pointer is only compared with the window's own panes and their parts; a
    // value that is none of them is never followed.
    auto* wanted = reinterpret_cast<CControlUI*>(pane);
    if (!wanted) return;
    for (CControlUI* container : m_pPubVideo) {
        if (!container) continue;
        if (container == wanted ||
            container->FindControl(MatchPointer, wanted, UIFIND_ALL) == wanted) {
            RefreshPaneVideo(wanted);
            return;
        }
    }
}

int CWndRoom::PaneIndexOf(CControlUI* control) const {
    for (int i = 0; i < 3; ++i)
        if (control && control == m_pPubVideo[i]) return i;
    return -1;
}

// The media issue fills these.
int CWndRoom::ApplyAvModuleConfig() {
    return -10;
}
void CWndRoom::ApplyMediaAddress() {}
void CWndRoom::BuildCaptureGraphs() {}
void CWndRoom::ShowMicVideo(CUserObj*) {}
void CWndRoom::OpenUserVideoWnd(CUserObj*, bool) {}
void CWndRoom::CloseMicPane(int) {}
void CWndRoom::CloseUserMedia(int) {}
void CWndRoom::SendConnMediaOpen(int userId) {
    CCommKernel::GetInstance()->SendMsg_RoomConnMediaReq(m_nRoomId, userId, 1);
}
void CWndRoom::SendConnMediaClose(int userId) {
    CCommKernel::GetInstance()->SendMsg_RoomConnMediaReq(m_nRoomId, userId, 3);
}
void CWndRoom::SetMicMute(bool) {}
void CWndRoom::SetSpeakerMute(bool) {}
void CWndRoom::OnRoomMediaChanged() {}
void CWndRoom::OnConnMediaRequest(const char*) {}
int CWndRoom::OnGrabVideoSample(int, int, char*, int, int, int, int) {
    return 0;
}
int CWndRoom::OnGrabAudioSample(int, int, char*, int, int, int, int) {
    return 0;
}
void CWndRoom::StartMediaSession() {}
void CWndRoom::StopMediaSession() {}
void CWndRoom::CloseAllUserVideoWnds() {}
void CWndRoom::RefreshPaneVideo(CControlUI*) {}
bool CWndRoom::OfferNotifyToPanes(TNotifyUI&) {
    return false;
}
int CWndRoom::GetPaneUserId(int) const {
    return 0;
}
void CWndRoom::InitPanes() {}
