// The program's main window after logon: the room-group tree, the local user's
// alias, id and picture, two embedded pages, the tray icon. It is the kernel's notify
// window for the lobby and the room server: it joins and leaves rooms, creates the
// room window on a join answer and relays every room notification to it.
#pragma once

#include <memory>
#include <string>

#include "app/LobbyLink.h"
#include "controls/SkinWnd.h"
#include "kernel/CmdRecords.h"
#include "lobby/JoinOtherRoom.h"

class CRoomGroupTreeUI;
class CRoomGroupNode;
class CWndWaitJoinRoom;
class CWndNetworkChoose;
class CWndRoomPwd;
class CWndAboutUS;
class CTrayIcon;
class IRoomWindow;

// Lobby timers.
constexpr UINT_PTR kJoinTimeoutTimer = 301;
constexpr UINT kJoinTimeoutMs = 20000;
constexpr UINT_PTR kFirstSessionCheckTimer = 302;
constexpr UINT kFirstSessionCheckMs = 7000;
constexpr UINT_PTR kSessionCheckTimer = 303;
constexpr UINT kSessionCheckMs = 10000;
constexpr UINT_PTR kJoinAfterLeaveTimer = 304;
constexpr UINT kJoinAfterLeaveMs = 500;

// Tray menu commands.
constexpr UINT kTrayShow = 13427;
constexpr UINT kTrayHide = 13428;
constexpr UINT kTrayAbout = 13429;
constexpr UINT kTrayQuit = 13430;

#define UM_RELOAD_AUDIO_DEVICE 11099
#define UM_TRAY_NOTIFY 12137

class CWndLobby : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    CWndLobby();
    ~CWndLobby() override;

    const SkinWndTraits& Traits() const override;
    // The lobby registered as entry 1 of the kernel's window table, or null.
    static CWndLobby* Current();

    void JoinRoom(int roomId, int flag, const wchar_t* gateAddr);
    void SendJoinRoomReq();
    void RejoinRoom();
    void LeaveCurrentRoom();
    void SendSetUserPwdReq(tag_CMDSetUserPwdReq* record);
    void SendSetUserProfileReq(tag_CMDSetUserProfileReq* record);
    void ApplySkin();
    void QuitApp();
    // Opens the game page window (a guest is refused).
    void OpenGameWindow(const wchar_t* url, const wchar_t* title);

    // Browser events: link commands and the hall page.
    void BeforeNavigate2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags, LPCTSTR targetFrame,
                         LPCTSTR postData, LPCTSTR headers, bool& cancel) override;
    void NavigateComplete2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url) override;

    CRoomGroupTreeUI* GetTree() const { return m_pTree; }
    bool IsJoinPending() const { return m_bJoinPending; }
    bool HasWaitWindow() const { return m_pWaitJoinWnd != nullptr; }
    // The room password prompt while it is open, else null.
    CWndRoomPwd* GetRoomPwdWnd() const { return m_pRoomPwdWnd; }
    bool IsRejoining() const { return m_nRejoin != 0; }

protected:
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void InitWindow() override;
    void OnPrepare() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    void OnFinalMessage(HWND hWnd) override;

private:
    // Window, tree and pages (WndLobby.cpp).
    void ShowMyInfo();
    void FillTree();
    void OnTreeRowClick(DuiLib::CControlUI* row);
    void OnTimer(UINT_PTR id);
    void OnCommand(UINT id);
    void ShowLobbyAgain();
    void OpenNetworkChooser();
    void ShowAbout();
    void ShowMaxOrRestore();

    // Joining and leaving (LobbyJoin.cpp).
    void OnJoinTimeout();
    void OnJoinConnectError();
    void OnJoinOk(int roomId, char* payload);
    void OnJoinFailed(char* payload);
    void OnKickedOut(char* payload);
    void CloseWaitWindow();
    void CloseRoomConnection();

    // The lobby-server session (LobbyJoin.cpp).
    void CloseLobbySession();
    void OnSessionTick();
    void OnProfileAnswer(char* payload);
    void OnPasswordAnswer(char* payload);

    // Room notifications relayed to the room window (LobbyRelay.cpp); true when the
    // message is one of them.
    bool RelayRoomMessage(UINT uMsg, WPARAM wParam, LPARAM lParam);

    DuiLib::CWebBrowserUI* m_pLobbyWeb = nullptr;
    DuiLib::CWebBrowserUI* m_pLobbyWeb2 = nullptr;
    CRoomGroupTreeUI* m_pTree = nullptr;
    DuiLib::CControlUI* m_pMySettingBtn = nullptr;
    DuiLib::CControlUI* m_pBtnClose = nullptr;
    DuiLib::CControlUI* m_pBtnMax = nullptr;
    DuiLib::CControlUI* m_pBtnMin = nullptr;
    DuiLib::CControlUI* m_pBtnRestore = nullptr;
    DuiLib::CControlUI* m_pMyAlias = nullptr;
    DuiLib::CControlUI* m_pMyId = nullptr;
    DuiLib::CControlUI* m_pHallSwitch = nullptr;
    DuiLib::CControlUI* m_pRoomSwPane = nullptr;
    DuiLib::CControlUI* m_pGameSwPane = nullptr;
    DuiLib::CControlUI* m_pRoomSwitch = nullptr;
    DuiLib::CControlUI* m_pRoomSwCloseBtn = nullptr;
    DuiLib::CControlUI* m_pGameSwCloseBtn = nullptr;
    DuiLib::CTabLayoutUI* m_pIeSwPane = nullptr;
    CWndWaitJoinRoom* m_pWaitJoinWnd = nullptr;
    bool m_bFinderOpen = false;
    CWndNetworkChoose* m_pNetChooseWnd = nullptr;
    CWndAboutUS* m_pAboutWnd = nullptr;
    int m_nRejoin = 0;
    int m_nGroupPage = 0;
    long m_tLastLobbyTraffic = 0;
    CWndRoomPwd* m_pRoomPwdWnd = nullptr;
    std::unique_ptr<CTrayIcon> m_pTray;
    HMENU m_hTrayMenu = nullptr;
    // Completed navigations of each page (the hall page follows the second).
    int m_nLobbyWebDone = 0;
    int m_nLobbyWeb2Done = 0;
    // A join request is out and its answer not yet in (timer 301 runs).
    bool m_bJoinPending = false;
};

// The page address of a tree row's address text: "R..." the group's room list,
// "h..." the text itself; empty when there is no page.
std::wstring GroupPageAddress(const wchar_t* value, const wchar_t* roomListUrl, int groupId);
// The page address with the user part: "uname" and the percent-encoded password,
// joined with "?" or, when the address has a query already, "&".
std::wstring GroupPageWithUser(const std::wstring& page, int userId, const std::string& password);
