// The room's media session with the engine, the public panes and the private video
// windows.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/ClientApp.h"
#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "controls/RoomCtrlUI.h"
#include "facade/Strevo.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "model/UserObj.h"
#include "room/PubVideoContainerUI.h"
#include "room/WndRoom.h"
#include "room/WndUserPopupVideo.h"
#include "vexacam/NormalCameraHelper.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

using namespace DuiLib;

namespace {

CControlUI* CALLBACK MatchPointer(CControlUI* control, LPVOID wanted) {
    return control == wanted ? control : nullptr;
}

// The media configuration texts of the three smoothness modes.
const char* const kAvPresets[3] = {
    "1 15 60000 32000 1000 1000 10 12 5 6 1000 3 224 168 1",
    "1 15 32 48000 1000 1000 10 12 5 6 1000 3 256 192 2",
    "1 15 31 64000 1000 1000 10 12 5 6 1000 3 320 240 2",
};

// "alias(id)" as panes and windows show a member.
std::wstring Caption(const CUserObj* user) {
    std::string alias = user->alias.substr(0, 17);
    return winplat::FormatText(L"%ls(%d)", winplat::AnsiToWide(alias).c_str(), user->userId);
}

// The room's media relay address by the network choice; a second choice without a
// second address takes the first.
bool MediaAddress(int roomId, std::string& host, int& port) {
    CCommKernelData* data = KernelData();
    CRoomObj* room =
        data && data->m_pRoomManager ? data->m_pRoomManager->FindRoom(roomId) : nullptr;
    if (!room) return false;
    int index = data->m_UserEnv.m_nNetType != 0 ? 1 : 0;
    if (index == 1 && room->mediaHosts[1].empty()) index = 0;
    host = room->mediaHosts[index];
    port = room->mediaPorts[index];
    return !host.empty();
}

}  // namespace

void CWndRoom::MuteUserStream(bool video, int userId, bool on) {
    CCommKernelData* data = KernelData();
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

int CWndRoom::ApplyAvModuleConfig() {
    if (!m_pStrevo) return -10;
    CUserEnvSetting* env = UserEnv();
    const int mode = env ? env->m_nVideoSmooth : 0;
    std::vector<char> text;
    if (mode >= 1 && mode <= 3)
        text.assign(kAvPresets[mode - 1], kAvPresets[mode - 1] + std::strlen(kAvPresets[mode - 1]));
    text.push_back('\0');
    return m_pStrevo->setAvMoudleConfig2(text.data());
}

void CWndRoom::ApplyMediaAddress() {
    if (!m_pStrevo) return;
    std::string host;
    int port = 0;
    if (MediaAddress(m_nRoomId, host, port)) m_pStrevo->setRemoteIpInfo_2(host.c_str(), port);
}

void CWndRoom::BuildCaptureGraphs() {
    CUserEnvSetting* env = UserEnv();
    if (!env || !m_pStrevo) return;
    const int me = LocalUserId();
    if (!env->m_bInitVideoCap) {
        CNormalCameraHelper camera;
        _DEVIECENAME_LIST* list = camera.getDeviceList(1);
        if (list && list->name[0]) {
            RAVO::VideoSetConfig config{};
            config.cap_size = 3;
            config.play_width = 320;
            config.play_height = 240;
            config.fps = 15;
            config.bitrate = 128000;
            config.mode = 1;
            config.camera_id = theApp.m_nVideoDev;
            // The engine's field is shorter than the list's; the index decides the device.
            const size_t n = strnlen(list->name, sizeof list->name);
            std::memcpy(config.camera_name, list->name, std::min(n, sizeof config.camera_name - 1));
            m_pStrevo->setVideoConfig(&config);
            m_pStrevo->buildVideoCapGraph(me);
        }
        camera.UninitDevice();
        env->m_bInitVideoCap = true;  // a missing camera is not asked again this cycle
    }
    if (!env->m_bInitAudioCap) {
        RAVO::AudioSetConfig config{};
        m_pStrevo->setAudioConfig(&config);
        m_pStrevo->buildAudioCapGraph(me);
        env->m_bInitAudioCap = true;
    }
}

CPubVideoContainerUI* CWndRoom::PublicPane(int index) const {
    if (index < 0 || index > 2 || !m_pPubVideo[index]) return nullptr;
    return static_cast<CPubVideoContainerUI*>(m_pPubVideo[index]->GetInterface(L"PubVideo"));
}

void CWndRoom::PublishLocalMedia() {
    CUserEnvSetting* env = UserEnv();
    if (!env) return;
    env->m_bMuteMic = true;  // the user starts muted
    if (m_pRoomCtrl) m_pRoomCtrl->RefreshMuteButtons();
    if (!m_pStrevo) return;
    if (m_pStrevo->m_pVideoSource) m_pStrevo->m_pVideoSource->set_sharedata(1);
    if (m_pStrevo->m_pCapVideoGrabber) m_pStrevo->m_pCapVideoGrabber->setCallBack(this);
    if (env->m_bMuteVideo)
        m_pStrevo->stopVideoCapGraph();
    else
        m_pStrevo->startVideoCapGraph();
    if (m_pStrevo->m_pAudioSource) m_pStrevo->m_pAudioSource->set_sharedata(1);
    if (m_pStrevo->m_pCapAudioGrabber) m_pStrevo->m_pCapAudioGrabber->setCallBack(this);
    m_pStrevo->stopAudioCapGraph();  // muted
    env->m_bLocalPreview = true;
}

void CWndRoom::ShowMicVideo(CUserObj* user) {
    CUserVideoWndMgr* mgr = m_pUserVideoWndMgr;
    if (!user || !mgr) return;
    const int id = user->userId;
    if (mgr->HasWnd(id) || mgr->IsOnPublicPane(id)) return;
    // The record's index is a byte (255: none); only the three panes exist.
    CPubVideoContainerUI* pane = PublicPane(user->micIndex);
    if (!pane) {
        ::OutputDebugStringW(
            winplat::FormatText(L"ShowMicVideo: user %d has microphone index %d, no pane\n", id,
                                static_cast<int>(user->micIndex))
                .c_str());
        return;
    }
    pane->SetVideoUser(Caption(user).c_str(), id);
    CCommKernelData* data = KernelData();
    pane->SetUserLevel(data ? data->GetLevelImgName(1, user->levels[0]) : nullptr, user->IsZhubo());
    if (id == LocalUserId()) {
        PublishLocalMedia();
        return;
    }
    if (m_pStrevo) {
        m_pStrevo->addVideoStream(id);
        m_pStrevo->addAudioStream(id);
    }
    SendConnMediaOpen(id);
    if (m_pStrevo) {
        m_pStrevo->subcribeVideoStream(id);
        m_pStrevo->subcribeAudioStream(id);
    }
}

void CWndRoom::RecaptionMediaUser(const CUserObj* user) {
    if (!user) return;
    const int id = user->userId;
    const std::wstring caption = Caption(user);
    for (int i = 0; i < 3; ++i)
        if (CPubVideoContainerUI* pane = PublicPane(i); pane && pane->GetUserId() == id)
            pane->SetVideoUser(caption.c_str(), id);
    if (m_pUserVideoWndMgr)
        if (CWndUserPopupVideo* wnd = m_pUserVideoWndMgr->GetWnd(id))
            wnd->SetVideoUser(caption.c_str(), id);
}

void CWndRoom::OpenUserVideoWnd(CUserObj* user, bool alreadySubscribed) {
    CUserVideoWndMgr* mgr = m_pUserVideoWndMgr;
    if (!user || !mgr) return;
    const int id = user->userId;
    const std::wstring caption = Caption(user);
    if (mgr->HasWnd(id) || mgr->IsOnPublicPane(id)) return;

    auto* wnd = new CWndUserPopupVideo;
    if (!wnd->Create(m_hWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) return;
    wnd->SetVideoUser(caption.c_str(), id);
    mgr->Add(id, wnd);
    wnd->SetPrivate(1, m_hWnd);

    // Tiled four to a row below public pane 1.
    const int k = mgr->GetCount() - 1;
    POINT pt{0, 0};
    if (m_pPubVideo[0]) {
        const RECT& rc = m_pPubVideo[0]->GetPos();
        pt = POINT{rc.left, rc.bottom + 3};
    }
    ::ClientToScreen(m_hWnd, &pt);
    pt.x += (k % 4) * 200;
    pt.y += (k / 4) * 184;
    wnd->SetSizeIndex(0);
    ::SetWindowPos(wnd->GetHWND(), nullptr, pt.x, pt.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    wnd->ShowWindow(true, false);

    if (id == LocalUserId()) {
        PublishLocalMedia();
        return;
    }
    SendConnMediaOpen(id);
    if (alreadySubscribed || !m_pStrevo) return;
    m_pStrevo->addVideoStream(id);
    m_pStrevo->addAudioStream(id);
    m_pStrevo->subcribeVideoStream(id);
    m_pStrevo->subcribeAudioStream(id);
}

void CWndRoom::EndUserMedia(int userId) {
    if (userId == LocalUserId()) {
        CUserEnvSetting* env = UserEnv();
        if (env) env->m_bLocalPreview = false;
        if (m_pStrevo) {
            m_pStrevo->stopVideoCapGraph();
            m_pStrevo->stopAudioCapGraph();
            m_pStrevo->destoryVideoCapGraph();
            m_pStrevo->destoryAudioCapGraph();
        }
        if (env) env->m_bInitVideoCap = env->m_bInitAudioCap = false;
        return;
    }
    if (m_pStrevo) {
        m_pStrevo->delAudioStream(userId);
        m_pStrevo->delVideoStream(userId);
    }
    SendConnMediaClose(userId);
}

void CWndRoom::CloseMicPane(int userId) {
    EndUserMedia(userId);
    if (m_pUserVideoWndMgr) m_pUserVideoWndMgr->ClosePublicPaneOfUser(userId);
}

void CWndRoom::CloseUserMedia(int userId) {
    EndUserMedia(userId);
    CWndUserPopupVideo* wnd = m_pUserVideoWndMgr ? m_pUserVideoWndMgr->Remove(userId) : nullptr;
    if (wnd) wnd->Close(1);
}

void CWndRoom::SendConnMediaOpen(int userId) {
    CCommKernel::GetInstance()->SendMsg_RoomConnMediaReq(m_nRoomId, userId, 1);
}
void CWndRoom::SendConnMediaClose(int userId) {
    CCommKernel::GetInstance()->SendMsg_RoomConnMediaReq(m_nRoomId, userId, 3);
}

void CWndRoom::SetMicMute(bool mute) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    data->m_UserEnv.m_bMuteMic = mute;
    // The secret microphone publishes too: its holder must be able to unmute.
    if (!m_pStrevo || !(data->GetLocalUser()->flags & 0x7)) return;
    if (mute)
        m_pStrevo->stopAudioCapGraph();
    else
        m_pStrevo->startAudioCapFraph();
}

void CWndRoom::SetSpeakerMute(bool mute) {
    if (CUserEnvSetting* env = UserEnv()) env->m_bMuteSpeak = mute;
    if (m_pStrevo) m_pStrevo->muteAudioStreamAll(mute ? 1 : 0);
}

void CWndRoom::OnRoomMediaChanged() {
    ApplyMediaAddress();
}

void CWndRoom::OnConnMediaRequest(const char* payload) {
    if (!payload) return;
    int32_t roomId = 0, requesterId = 0, targetId = 0;
    std::memcpy(&roomId, payload, 4);
    std::memcpy(&requesterId, payload + 4, 4);
    std::memcpy(&targetId, payload + 8, 4);
    const uint8_t op = static_cast<uint8_t>(payload[12]);
    CCommKernelData* data = KernelData();
    if (!data || !data->m_pUserManager) return;
    const int me = data->GetLocalUser()->userId;
    if (targetId != me || requesterId == me) return;
    CUserObj* requester = data->m_pUserManager->FindUser(requesterId);
    if (!requester) return;

    if (op == 3) {
        data->m_FriendMgr.ClearPrivSpectator(requesterId);
        return;
    }
    if (op != 1) return;
    const uint32_t flags = data->GetLocalUser()->flags;
    bool accept = false;
    if (flags & 0x1) {
        accept = true;
    } else if (flags & 0x2) {
        accept = true;
        data->m_FriendMgr.AddPrivSpectator(requesterId, requester);
    } else if (flags & 0x4) {
        accept = data->m_pUserMVManager && data->m_pUserMVManager->CheckPrivilege(8, requester);
        if (accept) data->m_FriendMgr.AddPrivSpectator(requesterId, requester);
    }
    if (accept) {
        CCommKernel::GetInstance()->SendMsg_RoomConnMediaResp(m_nRoomId, requesterId);
        return;
    }
    if (!m_pPrivTextOut) return;
    // The alias is the member's own text: at most its 17-byte field, escaped.
    const std::wstring alias = winplat::AnsiToWide(requester->alias.substr(0, 17));
    char tail[320];
    std::snprintf(tail, sizeof tail,
                  "%d 请求观看您的视频 ,点击<a href=\"accept_connect:%d\">【同意】</a> 或者 "
                  "<a href=\"refuse_connect:%d\">【拒绝】</a></DIV>",
                  requesterId, requesterId, requesterId);
    std::wstring line =
        L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; FONT-SIZE: "
        L"11pt; FONT-WEIGHT: normal\" class=chatroom_LoginInfo>";
    line += HtmlText::Escape(alias);
    line += winplat::Utf8ToWide(tail);
    m_pPrivTextOut->WriteBlock(line.c_str(), 0);
}

int CWndRoom::OnGrabVideoSample(int id, int, char* data, int len, int mode, int width, int height) {
    if (mode == 1) id = m_media.m_nLocalUserId.load();
    if (CUserVideoWndMgr* mgr = m_media.m_videoWndMgr.get())
        mgr->DrawUserVideo(id, data, len, width, height);
    return 0;
}

int CWndRoom::OnGrabAudioSample(int id, int, char* data, int len, int mode, int, int) {
    if (mode == 1) id = m_media.m_nLocalUserId.load();
    if (CUserVideoWndMgr* mgr = m_media.m_videoWndMgr.get()) mgr->SetUserVolume(id, data, len);
    return 0;
}

void CWndRoom::TearDownEngine() {
    if (!m_pStrevo) return;
    m_pStrevo->stopAVPlayerGraph();
    m_pStrevo->stopVideoCapGraph();
    m_pStrevo->stopAudioCapGraph();
    m_pStrevo->destoryVideoCapGraph();
    m_pStrevo->destoryAudioCapGraph();
    m_pStrevo->destoryAVPlayGraph();
    m_pStrevo->destoryRTPSession();
    delete m_pStrevo;
    m_pStrevo = nullptr;
}

void CWndRoom::StartMediaSession() {
    // A rejoin without a stop would leave the old engine running.
    TearDownEngine();
    m_media.m_nLocalUserId.store(LocalUserId());
    if (!m_pUserVideoWndMgr) InitPanes();
    CPubVideoContainerUI* panes[3] = {PublicPane(0), PublicPane(1), PublicPane(2)};
    if (m_pUserVideoWndMgr) m_pUserVideoWndMgr->SetPublicPanes(panes);

    m_pStrevo = new RAVO::CStrevo;
    ApplyAvModuleConfig();
    m_pStrevo->setLocalIpInfo(nullptr, 0);
    std::string host;
    int port = 0;
    MediaAddress(m_nRoomId, host, port);
    m_pStrevo->setRemoteIpInfo(host.c_str(), port);
    m_pStrevo->createRTPSession();
    m_pStrevo->buildAVPlayGraph();
    if (m_pStrevo->m_pPlayVideoGrabber) m_pStrevo->m_pPlayVideoGrabber->setCallBack(this);
    if (m_pStrevo->m_pPlayAudioGrabber) m_pStrevo->m_pPlayAudioGrabber->setCallBack(this);

    for (CPubVideoContainerUI* pane : panes)
        if (pane) pane->SetMicState(L"麦上无人");
    m_pStrevo->startAVPlayGraph();
}

void CWndRoom::StopMediaSession() {
    TearDownEngine();
    if (CCommKernelData* data = KernelData()) {
        data->m_UserEnv.m_bInitVideoCap = false;
        data->m_UserEnv.m_bInitAudioCap = false;
        data->m_UserEnv.m_bLocalPreview = false;
        data->m_UserEnv.m_bMuteMic = true;
        // The map keeps user objects the next session no longer has.
        data->m_FriendMgr.ClearAllPrivSpectator();
    }
}

void CWndRoom::ForgetMediaUser(int userId) {
    if (CCommKernelData* data = KernelData()) data->m_FriendMgr.ClearPrivSpectator(userId);
}

void CWndRoom::CloseAllUserVideoWnds() {
    if (m_pUserVideoWndMgr) m_pUserVideoWndMgr->CloseAll();
}

void CWndRoom::RefreshPaneVideo(CControlUI* pane) {
    auto* video =
        pane ? static_cast<CPubVideoContainerUI*>(pane->GetInterface(L"PubVideo")) : nullptr;
    if (video) video->RefreshVideo();
}

bool CWndRoom::OfferNotifyToPanes(TNotifyUI& msg) {
    for (int i = 0; i < 3; ++i)
        if (CPubVideoContainerUI* pane = PublicPane(i))
            if (pane->HandleNotify(msg)) return true;
    return false;
}

int CWndRoom::GetPaneUserId(int pane) const {
    CPubVideoContainerUI* video = PublicPane(pane);
    return video ? video->GetUserId() : 0;
}

void CWndRoom::InitPanes() {
    if (!m_media.m_videoWndMgr) m_media.m_videoWndMgr = std::make_unique<CUserVideoWndMgr>();
    m_pUserVideoWndMgr = m_media.m_videoWndMgr.get();
    if (!m_media.m_hDrawDib) m_media.m_hDrawDib = DrawDibOpen();
    m_hDrawDib = reinterpret_cast<HANDLE>(m_media.m_hDrawDib);
    const bool fourLists = m_nRoomKind == ROOM_KIND_FOUR_LISTS;
    for (int i = 0; i < 3; ++i) {
        CPubVideoContainerUI* pane = PublicPane(i);
        if (!pane) continue;
        if (pane->GetCount() == 0)
            pane->Build(fourLists ? L"publicvideownd_3.xml" : L"publicvideownd.xml");
        pane->SetDrawDib(m_media.m_hDrawDib);
        pane->SetOwnerValue(m_hWnd);
        pane->SetBkImage(fourLists ? L"256x192.png" : L"200x150.png");
    }
}
