// Joining and leaving rooms, the join answers and the short lobby-server session.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "app/ClientApp.h"
#include "app/TrustedGates.h"
#include "controls/KernelData.h"
#include "controls/RoomLink.h"
#include "kernel/CommKernel.h"
#include "lobby/AnsiText.h"
#include "lobby/LobbyPrompts.h"
#include "lobby/RoomEntryDialogs.h"
#include "lobby/RoomWindowSeam.h"
#include "lobby/WndLobby.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

using namespace DuiLib;

namespace {

// WS_VISIBLE | WS_OVERLAPPEDWINDOW
constexpr DWORD kRoomWindowStyle = 0x10CF0000;
constexpr int kRoomWindowWidth = 800;
constexpr int kRoomWindowHeight = 600;
// Seconds without lobby-server traffic after which the session is closed.
constexpr long kSessionIdleSeconds = 9;

CCommKernel* Kernel() {
    return CCommKernel::GetInstance();
}

long NowSeconds() {
    return static_cast<long>(_time64(nullptr));
}

int32_t ReadI32(const char* payload, size_t offset) {
    int32_t v = 0;
    std::memcpy(&v, payload + offset, sizeof(v));
    return v;
}

bool GateFilled(int index) {
    CCommKernelData* data = KernelData();
    return data && data->m_pRoomGateTable && data->m_pRoomGateTable[index].szHost[0] != '\0';
}

}  // namespace

void CWndLobby::JoinRoom(int roomId, int flag, const wchar_t* gateAddr) {
    if (m_pWaitJoinWnd) return;
    CCommKernelData* data = KernelData();
    if (!data) return;
    // The join request carries the password: it goes to trusted gates only, whoever
    // asked (the link's reader decided and learnt the gate already).
    const auto gates = ParseRoomGateList(gateAddr ? gateAddr : L"");
    if (!gates || !IsTrustedGateList(*gates)) {
        LobbyTrace("tag_lobby: 房间入口不可信, 不进入.\n");
        return;
    }
    bool left = false;
    if (IRoomWindow* room = CurrentRoomWindow()) {
        if (room->GetRoomId() == roomId) {
            room->Window()->ShowWindow(true, true);
            ::BringWindowToTop(room->Window()->GetHWND());
            ::ShowWindow(m_hWnd, SW_MINIMIZE);
            return;
        }
        LeaveCurrentRoom();
        ShowLobbyAgain();
        left = true;
    }

    auto* wait = new CWndWaitJoinRoom;
    wait->SetOwnerSlot(&m_pWaitJoinWnd);
    m_pWaitJoinWnd = wait;
    if (wait->Create(m_hWnd, L"", WS_VISIBLE, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
        wait->CenterWindow();
    } else if (m_pWaitJoinWnd == wait) {
        m_pWaitJoinWnd = nullptr;
        delete wait;
    }

    std::string gate = AnsiPrefix(gates->text.c_str(), KernelCodePage(), 255);
    data->SetRoomGateAddr(&gate[0]);
    tag_JoinRoomUserData* join = data->GetCurJoinRoomUserData();
    std::memset(join, 0, sizeof(*join));
    join->nReserved = data->GetLocalUser()->userId;
    join->nRoomId = roomId;
    join->nValue2 = flag;

    if (left)
        ::SetTimer(m_hWnd, kJoinAfterLeaveTimer, kJoinAfterLeaveMs, nullptr);
    else
        SendJoinRoomReq();
}

void CWndLobby::SendJoinRoomReq() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    Kernel()->SetNotifyWnd(SERVER_TYPE_ROOM, m_hWnd);
    // Choice 1 takes the second gate, but a link may have given only one.
    int index = data->m_UserEnv.m_nNetType == 1 && GateFilled(1) ? 1 : 0;
    Kernel()->SendMsg_JoinRoomReq2(index);
    LobbyTrace("tag_logon: step1: 正在连接房间服务器...\n");
    if (!m_nRejoin) {
        m_bJoinPending = true;
        ::SetTimer(m_hWnd, kJoinTimeoutTimer, kJoinTimeoutMs, nullptr);
    }
}

void CWndLobby::RejoinRoom() {
    m_nRejoin = 1;
    SendJoinRoomReq();
}

void CWndLobby::CloseWaitWindow() {
    if (m_pWaitJoinWnd) m_pWaitJoinWnd->Close(1);
}

void CWndLobby::CloseRoomConnection() {
    Kernel()->DisconnectServer(SERVER_TYPE_ROOM);
}

void CWndLobby::LeaveCurrentRoom() {
    if (IRoomWindow* room = CurrentRoomWindow()) {
        if (room->GetRoomId() != 0) Kernel()->SendMsg_ExitRoomReq(room->GetRoomId());
        room->StopAllMedia();
        SetCurrentRoomWindow(nullptr);
        room->Window()->Close(1);
    }
    CloseRoomConnection();
    CCommKernelData* data = KernelData();
    if (!data) return;
    // The whole program folder: a cut one would put the file somewhere else.
    int n = WideCharToMultiByte(KernelCodePage(), 0, theApp.GetAppPath(), -1, nullptr, 0, nullptr,
                                nullptr);
    std::string folder(n > 0 ? static_cast<size_t>(n) : 1, '\0');
    if (n > 0)
        WideCharToMultiByte(KernelCodePage(), 0, theApp.GetAppPath(), -1, &folder[0], n, nullptr,
                            nullptr);
    data->m_FriendMgr.SaveClosedFriend(&folder[0], data->GetLocalUser()->userId);
}

void CWndLobby::OnJoinTimeout() {
    m_bJoinPending = false;
    CloseRoomConnection();
    ::KillTimer(m_hWnd, kJoinTimeoutTimer);
    CloseWaitWindow();
}

void CWndLobby::OnJoinConnectError() {
    if (m_nRejoin) return;
    m_bJoinPending = false;
    ::KillTimer(m_hWnd, kJoinTimeoutTimer);
    CloseWaitWindow();
    ShowLobbyMessage(m_hWnd, L"房间服务器连接失败,请稍后重试...");
}

void CWndLobby::OnJoinOk(int roomId, char*) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    // An answer that arrives after the time-out or a refusal has no join to
    // complete: its connection is closed rather than a window opened on it.
    if (!m_bJoinPending && !m_nRejoin) {
        CloseRoomConnection();
        return;
    }
    CRoomObj* room = data->m_pRoomManager ? data->m_pRoomManager->FindRoom(roomId) : nullptr;
    data->GetLocalUser()->flags = 0;
    LobbyTrace("tag_logon: step1: 加入房间成功...\n");
    if (m_nRejoin) {
        if (IRoomWindow* w = CurrentRoomWindow())
            w->InitRoom(roomId);
        else
            CloseRoomConnection();
    } else {
        m_bJoinPending = false;
        IRoomWindow* w = NewRoomWindow();
        if (w) {
            w->SetRoomKind(room ? static_cast<uint16_t>(room->baseInfoD) : 0);
            std::wstring name =
                room ? WideFromAnsi(room->roomName, KernelCodePage()) : std::wstring();
            std::wstring title = L"[房间:" + name + L"]";
            if (w->Window()->Create(nullptr, title.c_str(), kRoomWindowStyle, 0, 0, 0,
                                    kRoomWindowWidth, kRoomWindowHeight)) {
                w->Window()->CenterWindow();
                w->InitRoom(roomId);
                SetCurrentRoomWindow(w);
                ::BringWindowToTop(w->Window()->GetHWND());
                w->InsertHintLine(1, 1, L"正在与房间建立连接...");
                ::ShowWindow(m_hWnd, SW_MINIMIZE);
            } else {
                w = nullptr;
            }
        }
        if (!w) CloseRoomConnection();
        ::KillTimer(m_hWnd, kJoinTimeoutTimer);
        CloseWaitWindow();
    }
    m_nRejoin = 0;
}

void CWndLobby::OnJoinFailed(char* payload) {
    int code = payload ? ReadI32(payload, 8) : 0;
    if (m_nRejoin) {
        CloseRoomConnection();
        if (IRoomWindow* room = CurrentRoomWindow()) {
            SetCurrentRoomWindow(nullptr);
            room->Window()->Close(1);
        }
        ShowLobbyAgain();
        ::SetForegroundWindow(m_hWnd);
        m_nRejoin = 0;
        ShowLobbyMessage(m_hWnd, L"重连房间出现错误,关闭房间！");
        return;
    }
    if (!m_bJoinPending) {
        CloseRoomConnection();
        return;
    }
    m_bJoinPending = false;
    ::KillTimer(m_hWnd, kJoinTimeoutTimer);
    CloseWaitWindow();
    if (code == 201) {
        if (m_pRoomPwdWnd) return;
        CWndRoomPwd prompt;
        m_pRoomPwdWnd = &prompt;
        if (prompt.Create(m_hWnd, L"", WS_POPUP, WS_EX_TOOLWINDOW, 0, 0, 0, 0)) {
            prompt.CenterWindow();
            prompt.ShowModal();
        }
        m_pRoomPwdWnd = nullptr;
        return;
    }
    if (code == 101) {
        ShowLobbyMessage(m_hWnd, L"你被禁止进入该房间,详情请去10000房间咨询!");
    } else if (code == 203) {
        ShowLobbyMessage(m_hWnd, L"房间密码错误!");
    } else {
        ShowLobbyMessage(m_hWnd, winplat::FormatText(L"错误Id:%d，登陆房间失败", code).c_str());
    }
}

void CWndLobby::OnKickedOut(char* payload) {
    CCommKernelData* data = KernelData();
    if (!payload || !data) return;
    int roomId = ReadI32(payload, 0);
    int actor = ReadI32(payload, 4);
    int target = ReadI32(payload, 8);
    int reason = ReadI32(payload, 12);
    int flag = static_cast<unsigned char>(payload[16]);
    IRoomWindow* room = CurrentRoomWindow();
    const std::wstring text =
        reason == 107 ? winplat::FormatText(L"号码重复登陆,你被挤出了 %d 房间.", roomId)
                      : winplat::FormatText(L"您被 %d 踢出了 %d 房间.", actor,
                                            room ? room->GetRoomId() : data->m_nCurRoomId);
    if (target == data->GetLocalUser()->userId) {
        LeaveCurrentRoom();
        // The lobby was minimised while the room was open: it comes back restored.
        ShowLobbyAgain();
        ShowLobbyMessage(m_hWnd, text.c_str());
    } else if (room) {
        room->OnUserKickedOut(actor, target, reason, flag);
    }
}

void CWndLobby::SendSetUserPwdReq(tag_CMDSetUserPwdReq* record) {
    ::KillTimer(m_hWnd, kSessionCheckTimer);
    Kernel()->SetNotifyWnd(SERVER_TYPE_LOBBY, m_hWnd);
    Kernel()->SendMsg_SetUserPwdReq2(record, 0);
    m_tLastLobbyTraffic = NowSeconds();
    ::SetTimer(m_hWnd, kSessionCheckTimer, kSessionCheckMs, nullptr);
    LobbyTrace("tag_lobby: 发送用户设置密码请求 ,连接lobby_svr! 创建CheckCloseLobbySvr定时器.");
}

void CWndLobby::SendSetUserProfileReq(tag_CMDSetUserProfileReq* record) {
    ::KillTimer(m_hWnd, kSessionCheckTimer);
    Kernel()->SetNotifyWnd(SERVER_TYPE_LOBBY, m_hWnd);
    Kernel()->SendMsg_SetUserProfileReq2(record, 0);
    m_tLastLobbyTraffic = NowSeconds();
    ::SetTimer(m_hWnd, kSessionCheckTimer, kSessionCheckMs, nullptr);
    LobbyTrace("tag_lobby: 发送用户设置信息请求 ,连接lobby_svr!创建CheckCloseLobbySvr定时器.");
}

void CWndLobby::CloseLobbySession() {
    ::KillTimer(m_hWnd, kSessionCheckTimer);
    Kernel()->DisconnectServer(SERVER_TYPE_LOBBY);
    LobbyTrace("tag_lobby: 关闭lobby_svr 链接! 关闭CheckCloseLobbySvr 定时器.");
}

void CWndLobby::OnSessionTick() {
    if (NowSeconds() - m_tLastLobbyTraffic > kSessionIdleSeconds) CloseLobbySession();
}

void CWndLobby::OnProfileAnswer(char*) {
    CCommKernelData* data = KernelData();
    m_tLastLobbyTraffic = NowSeconds();
    ShowMyInfo();
    if (IRoomWindow* room = CurrentRoomWindow()) {
        room->UpdateMyInfo();
        if (data) {
            CUserObj* me = data->GetLocalUser();
            // The own row shows the new face and alias with the header, without waiting
            // for the room server to echo the change.
            room->OnUserAliasChanged(me->userId);
            tag_CMDUserAliasState record;
            std::memset(&record, 0, sizeof(record));
            record.roomId = room->GetRoomId();
            record.userId = me->userId;
            record.faceId = me->faceId;
            // The alias field may have no room for a NUL: copied bounded.
            SetFixedFieldText(record.alias, sizeof(record.alias), me->alias.c_str());
            Kernel()->SendMsg_ChangeUserAliasStateReq(&record);
        }
    }
    LobbyTrace("tag_lobby: recv 设置用户信息响应, 延迟lobby session 挂断时间.");
}

void CWndLobby::OnPasswordAnswer(char* payload) {
    CCommKernelData* data = KernelData();
    m_tLastLobbyTraffic = NowSeconds();
    LobbyTrace("tag_lobby: recv 设置用户密码信息响应, 延迟lobby session 挂断时间.");
    if (!payload || !data) return;
    int userId = ReadI32(payload, 0);
    int result = ReadI32(payload, 8);
    unsigned char flag = static_cast<unsigned char>(payload[12]);
    CUserObj* me = data->GetLocalUser();
    if (result == 0 && userId == me->userId && flag == 1)
        me->password = FixedFieldText(payload + 13, 16);
    if (IRoomWindow* room = CurrentRoomWindow())
        room->OnSetUserPwdResp(result);
    else  // the room's hint line is not there to tell it
        ShowLobbyMessage(m_hWnd, result == 0 ? L"密码修改成功!" : L"密码修改失败!");
}

void CWndLobby::OnTimer(UINT_PTR id) {
    switch (id) {
        case kJoinTimeoutTimer:
            OnJoinTimeout();
            break;
        case kFirstSessionCheckTimer:
            ::KillTimer(m_hWnd, kFirstSessionCheckTimer);
            OnSessionTick();
            break;
        case kSessionCheckTimer:
            OnSessionTick();
            break;
        case kJoinAfterLeaveTimer:
            ::KillTimer(m_hWnd, kJoinAfterLeaveTimer);
            SendJoinRoomReq();
            break;
        default:
            break;
    }
}
