// The process-wide communication kernel: three server connections, the hidden
// window their socket events arrive at, the notify-window and window tables, the
// session state, and one request method per request the client sends.
#pragma once

#include <map>

#include "kernel/ACDefProcess.h"
#include "kernel/CmdRecords.h"
#include "kernel/KernelDefs.h"
#include "win32/win32.h"

class CCommWnd;
class CTMLSocket;
class CCommKernelData;
class CUserObj;

class CCommKernel : public CACDefProcess {
public:
    static CCommKernel* GetInstance();

    // Socket-event sink.
    void OnConnectToServer(void* socket) override;
    void OnCannotConnectToServer(void* socket) override;
    void OnDisConnectServer(void* socket) override;
    void OnConnectError(void* socket) override;
    void OnReadSocketError(void* socket) override;
    int OnSocketRead(void* frame, int length, void* socket) override;
    LRESULT DefMainWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) override;
    ~CCommKernel() override;
    bool init(HINSTANCE instance) override;
    void uninit() override;

    void SetNotifyWnd(_eServerType type, HWND wnd);
    bool ConnectServer(_eServerType type, const char* host, int port);
    bool ConnectServer(_eServerType type, int index);
    void DisconnectServer(_eServerType type);
    bool IsConnected(_eServerType type);
    bool IsConnecting(_eServerType type);
    void OnSocketEventMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    // Frees a payload copy posted in a notification's lParam; null is ignored.
    static void free_msgdata(char* data);

    // Room server requests (dropped when the room connection is not open).
    void SendMsg_RoomPingReq();
    void SendMsg_ExitRoomReq(int roomId);
    void SendMsg_KickoutUserReq(tag_CMDUserKickoutRoomInfo* record);
    void SendMsg_RoomChatReq(tag_CMDRoomChatMsg* record);
    void SendMsg_TradeGiftReq(tag_CMDTradeGiftRecord* record);
    void SendMsg_TradeFireworksReq(int a, int b);
    // Sends the room's first queued fireworks record once its play time has come.
    void SendMsg_PlayFireworksReq(unsigned roomId, std::map<int, CUserObj*>* users1,
                                  std::map<int, CUserObj*>* users2);
    void SendMsg_SetRoomMediaReq(tag_CMDRoomMediaInfo* record);
    void SendMsg_RoomConnMediaReq(int a, int b, int c);
    void SendMsg_RoomConnMediaResp(int a, int b);
    void SendMsg_RoomConnMediaErr(int a, int b);
    void SendMsg_SetMicStateReq(tag_CMDUserMicState* record);
    void SendMsg_ChangeUserAliasStateReq(tag_CMDUserAliasState* record);
    void SendMsg_SetUserPriorityReq(tag_CMDUserPriority* record);
    void SendMsg_SeeUserIpReq(unsigned userId);
    void SendMsg_AddUserToBlackListReq(tag_CMDThrowUserInfo* record);
    void SendMsg_SendSealReq(unsigned userId, unsigned sealId);
    void SendMsg_CollectRoomReq(tag_CMDFavoriteRoomReq* record);
    void SendMsg_ChangePubMicStateReq(tag_CMDChangePubMicStateReq* record);
    void SendMsg_UpWaitMicReq(unsigned a, unsigned b);
    void SendMsg_OperateWaitMicIndxReq(tag_CMDOperateWaitMic* record);
    void SendMsg_SetRoomBaseInfoReq(tag_CMDSetRoomInfoReq* record);
    void SendMsg_SetRoomOPStatusReq(tag_CMDSetRoomOPStatusReq* record);
    void SendMsg_SetRoomNoticeReq(tag_CMDSetRoomNoticeReq* record);
    void SendMsg_SetUserPwdReq3(tag_CMDSetUserPwdReq* record);
    void SendMsg_MoneyAndPointOpReq(tag_CMDMoneyAndPointOp* record);
    void SendMsg_SetRoomWaitMicMaxNumLimit(tag_CMDSetRoomWaitMicMaxNumLimit* record);
    void SendMsg_SetForbidInviteUpMicReq();
    void SendMsg_OpenChestReq(int a);

    // Lobby keep-alive.
    void SendMsg_LobbyPingReq();

    // Requests that open their connection when needed; serverIndex selects the
    // entry (0 to 3) of that server type's table.
    void SendMsg_LoginReq2(int serverIndex);
    void SendMsg_JoinRoomReq2(int serverIndex);
    void SendMsg_SetUserProfileReq2(tag_CMDSetUserProfileReq* record, int serverIndex);
    void SendMsg_SetUserPwdReq2(tag_CMDSetUserPwdReq* record, int serverIndex);
    void SendMsg_MvZhingxingReq2(int a, char* text, int serverIndex);
    void SendMsg_MvKuxinReq2(int a, int serverIndex);

    HINSTANCE m_hInstance;
    CCommWnd* m_pCommWnd;
    CTMLSocket* m_pSockets;
    HWND* m_pNotifyWnds;
    void** m_pWndTable;
    CCommKernelData* m_pData;

    static CCommKernel* m_pThis;

protected:
    CCommKernel();

private:
    // The connection of a server type, or null for a type outside 1 to 3.
    CTMLSocket* Socket(int type);
    // Server type of one of the three connections, or 0.
    int ServerTypeOf(void* socket) const;
    void PostToNotifyWnd(int type, UINT msg, WPARAM wParam, LPARAM lParam);
    // Frame on the room connection, dropped when it is not open.
    void SendRoom(const void* bytes, int length);
    // The logon and join requests: sent when connected, otherwise the connection is
    // opened anew with the hello frame and the request queued.
    void SendOrReconnect(int type, const void* bytes, int length, int serverIndex);
    // The other self-connecting requests: sent when connected, queued while a
    // connect is under way, otherwise queued behind a hello frame and connected.
    void SendOrConnect(int type, const void* bytes, int length, int serverIndex);
    int LocalUserId() const;
    int CurRoomId() const;
};
