// The chat-room window: one exists while the user is in a room. The lobby creates
// it on the join answer, registers it in the kernel's window table, calls InitRoom
// and relays every room notification to its handlers; the window turns them into
// lists, chat lines, panes and hints, and sends what the local user asks for.
//
// One class, many files: each section below names the files that define its
// members; a member defined elsewhere names its file. Add members in the section of
// their concern; do not rename.
#pragma once

#include <cstdint>
#include <ctime>
#include <set>
#include <string>
#include <vector>

#include "app/GiftNoticeQueue.h"
#include "controls/QuickPhraseList.h"
#include "controls/REWindowWnd.h"
#include "controls/SkinWnd.h"
#include "dialogs/EmoReceiver.h"
#include "filters/SamplerGrabCallBack.h"
#include "fenlo/UIlib.h"
#include "kernel/CmdRecords.h"
#include "lobby/RoomWindowSeam.h"
#include "room/RoomMediaParts.h"
#include "room/RoomMessages.h"

namespace RAVO {
class CStrevo;
}
class CCtrlListFriend;
class CRoomCtrlUI;
class CLuckyMsgBox;
class CUserObj;
class CRoomObj;
class CUserVideoWndMgr;
class CPubVideoContainerUI;
// Child windows of the room; the room holds their owner slots only.
class CWndIconHelp;
class CWndRoomAudioSetting3;
class CWndUserInfo;
class CWndGetPaid;
class WndUserViolationHanding;
class CWndQunshua;
class CWndUserSeal;
class CWndSendWordGift;
class CWndBaoxiangIcon;
class CWndBaoxiangOpen;
class CWndRoomAutoChat;
class CWndRoomExchange;
class CWndRoomLookme;
class CWndSendLaba;
class CWndSendGonggao;
class CWndMyAccount;
class CWndRoomSetting;
class CWndGiftInfo;

// A queued gift of a group gift: one send per recipient.
struct tagGroupGiftItem {
    int nGiftId;
    int nCount;
    int nUserId;
};

// Room kinds: the layout, row, pane and panel templates depend on it.
constexpr int ROOM_KIND_STANDARD = 1;
constexpr int ROOM_KIND_PLAIN = 2;
constexpr int ROOM_KIND_FOUR_LISTS = 31;

// The eleven popup menus, by slot.
enum RoomMenu {
    kMenuUnused = 0,  // a slot nothing fills
    kMenuInputEdit,
    kMenuChatText,
    kMenuViolation,  // submenu of the link and list user menus
    kMenuLinkUser,
    kMenuListUser,
    kMenuWaitMic,
    kMenuQuickPhrase,
    kMenuSettings,
    kMenuPane,
    kMenuUpMic,
    kMenuManagerList,
    kMenuPaneMicType,  // submenu of the pane menu
    kRoomMenuCount
};

class CWndRoom : public CSkinWnd,
                 public DuiLib::CWebBrowserEventHandler,
                 public IEmoReceiver,
                 public RAVO::ISamplerGrabVideoCallBack,
                 public RAVO::ISamplerGrabAudioCallBack,
                 public IGiftNoticeRoomWnd,
                 public IRoomWindow {
public:
    // ===== Structure, lifecycle, messages, timers (WndRoom.cpp, WndRoomLifecycle.cpp)
    CWndRoom();
    ~CWndRoom() override;
    const SkinWndTraits& Traits() const override;
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;

    // The room record's 16-bit type, before Create.
    void SetRoomKind(int kind) override;
    int GetRoomKind() const { return m_nRoomKind; }
    DuiLib::CWindowWnd* Window() override { return this; }
    int GetRoomId() override { return m_nRoomId; }
    // Starts (or restarts, on a rejoin) the room session: timers, list templates,
    // gift-notice queue, controls, media.
    void InitRoom(int roomId) override;
    // Leaves nothing running but the reconnect timer.
    void StopAllMedia() override;
    // The room connection dropped; a reconnect runs every 20 s, at most 20 times.
    void OnRoomDisconnected() override;
    void Reconnect();
    // The layout file of a room kind; an unknown kind gets the standard layout.
    static LPCTSTR LayoutForKind(int kind);
    // Whether a kind has a layout of its own.
    static bool IsKnownKind(int kind);
    // The video zone of a client width: zone width, pane width and height (never
    // negative; 200 x 150 panes unless maximised).
    struct VideoLayout {
        int zoneWidth;
        int paneWidth;
        int paneHeight;
    };
    static VideoLayout ComputeVideoLayout(int clientWidth, bool maximised);
    // Where the chat input goes in a client rectangle (x, y, width, height).
    static RECT ComputeChatInputRect(int kind, const RECT& client);

    // Handlers the lobby calls that this part keeps.
    void OnRoomInfoChanged() override;
    void OnRoomAttrChanged() override;
    void ReloadAudioDevice() override;
    void OnMyWealthChanged() override;
    void UpdateMyInfo() override;
    void OnWaitMicListChanged() override;
    // Null: the current skin.
    void ApplySkinColors(const tagSkinInfo* skin) override;

    // Gift-notice queue (timer 302).
    DuiLib::CWebBrowserUI* GetPubChatView() override { return m_pPubTextOut; }
    // The largest count of the layout's count list (1 without one; WndRoomGiftNotify.cpp).
    int GetLargestGiftCount() override;

    // ===== Controls, menus and commands (WndRoomControls.cpp, WndRoomMenus.cpp,
    //       WndRoomCommands.cpp)
    void Notify(DuiLib::TNotifyUI& msg) override;
    HRESULT ShowContextMenu(LPCTSTR text, DuiLib::CWebBrowserUI* pWeb) override;
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    // The user id of a user link "orinid:<digits>" (the whole text); -1 when the text
    // is not such a link, 0 for a link that names no user.
    static int ParseOrinId(LPCTSTR text);

    void InviteDownMic(int userId);
    void InviteUpMic(int userId, int kind);
    void LeaveMyMic();
    void RequestMyMic(int kind, int index);
    void SelectChatTarget(CUserObj* user);
    void SelectGiftTarget(CUserObj* user);
    void RemoveChatTarget(int userId);
    void RemoveGiftTarget(int userId);
    void RemoveUserEverywhere(int userId);
    void UpdateUserListCounts();
    void FillAllUserList();
    void LocateUser(int userId);
    void LaunchGame();
    // A web page in the desktop's browser; what cannot be opened is told as a hint line.
    void OpenPage(const wchar_t* address);
    void CopyUserId(int userId);
    void CopyUserAlias(int userId);
    void ShowUserListTab(int tab);
    void ShowUserListTab2(int tab);
    void ShowGiftGroup(int group);
    void ToggleWaitMicPane();
    void LeaveRoomToLobby();
    void OnSelectTargetUser(int userId);
    // Private video of a user on the VIP or secret microphone (double click, 13914).
    void ConnectUserVideo(CUserObj* user, bool hintWhenNotPrivate);

    // Read access for the owner's tests and the later parts.
    HMENU GetMenuHandle(int slot) const;
    CCtrlListFriend* GetUserList() const { return m_pRoomUserList; }
    CCtrlListFriend* GetManagerList() const { return m_pRoomMgrList; }
    CCtrlListFriend* GetWaitMicList() const { return m_pWaitMicList; }
    CCtrlListFriend* GetOnMicList() const { return m_pOnMicList; }
    CREWindowWnd& GetChatInput() { return m_chatInput; }
    CLuckyMsgBox* GetLuckyMsgBox() const { return m_pLuckyMsgBox; }
    int GetSelectedUserId() const { return m_nSelUserId; }
    int GetReconnectCount() const { return m_nReconnectCount; }
    bool IsLoggedIn() const { return m_bLoggedIn != 0; }

    // ===== Chat rendering and sending (WndRoomChat.cpp, RoomChat.cpp, RoomChatSend.cpp,
    //       RoomChatLinks.cpp)
    // One hint line into the private chat (or the public one when kind says so).
    void InsertHintLine(int target, int kind, const wchar_t* text) override;
    void SendChatFromInput();
    void SendChatMsg(int kind, int targetId, LPCTSTR text);
    void ChooseChatFont();
    void ShowChatEmotion();
    void OnRoomChatMsg(tag_CMDRoomChatMsg* record, int localEcho) override;
    void OnEmoSelected(LPCTSTR code) override;
    void GetChatPageHead(DuiLib::CDuiString& head, DuiLib::CWebBrowserUI* pWeb) override;
    // Line builders the room's other lines use (RoomChat.cpp).
    static void FormatTimeSpan(time_t t, std::wstring& out);
    void FormatUserLink(int userId, CUserObj* user, const char* name, bool isMe, std::wstring& out);
    static void FormatAnonymousLink(std::wstring& out);
    // Network chat markup: sanitised, emoticon codes as pictures.
    void FormatChatText(const wchar_t* text, std::wstring& out);
    void WriteEntranceBanner(int car, CUserObj* user);
    // SendChatMsg's work: true when the line went out (RoomChatSend.cpp).
    bool SendChatLine(int kind, int targetId, const std::wstring& text);
    // The thank-you link's line: kind 1 to everybody, no echo (RoomChatLinks.cpp).
    void SendThankLine(const std::wstring& text);

    // ===== Chat links (RoomChatLinks.cpp)
    void BeforeNavigate2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags, LPCTSTR targetFrame,
                         LPCTSTR postData, LPCTSTR headers, bool& cancel) override;

    // ===== Media (WndRoomMedia.cpp)
    int ApplyAvModuleConfig();
    void ApplyMediaAddress();
    void BuildCaptureGraphs();
    void ShowMicVideo(CUserObj* user);
    void OpenUserVideoWnd(CUserObj* user, bool alreadySubscribed);
    void CloseMicPane(int userId);
    void CloseUserMedia(int userId);
    void SendConnMediaOpen(int userId);
    void SendConnMediaClose(int userId);
    void SetMicMute(bool mute);
    void SetSpeakerMute(bool mute);
    void OnRoomMediaChanged() override;
    void OnConnMediaRequest(const char* payload) override;
    // 12033/12034: one member's sound or picture on or off (never the local user's).
    void MuteUserStream(bool video, int userId, bool on);
    // 12025 for one of the public panes.
    void RefreshPaneVideo(DuiLib::CControlUI* pane);
    int OnGrabVideoSample(int id, int type, char* data, int len, int mode, int width,
                          int height) override;
    int OnGrabAudioSample(int id, int type, char* data, int len, int mode, int p1, int p2) override;
    // InitRoom's engine steps (engine, play graph, panes) and StopAllMedia's teardown.
    void StartMediaSession();
    void StopMediaSession();
    // Closes every private video window and empties the user-window map.
    void CloseAllUserVideoWnds();
    // 12025: lParam names a pane; only one of this window's panes is refreshed.
    void OnVideoFrameReady(LPARAM pane);
    // The pane a notification came from (0..2), or -1.
    int PaneIndexOf(DuiLib::CControlUI* control) const;
    // Offers a notification to the public panes first; true when one took it.
    bool OfferNotifyToPanes(DuiLib::TNotifyUI& msg);
    // User shown in a public pane (0..2), 0 when none.
    int GetPaneUserId(int pane) const;
    // The panes' layout files, background and window handles (InitWindow steps 4, 6, 8).
    void InitPanes();
    // The local user's camera and microphone go out (a microphone or a private window).
    void PublishLocalMedia();
    // A member's streams and media connection end (the local user: capture torn down).
    void EndUserMedia(int userId);
    // The engine's teardown in its order; the facade is deleted.
    void TearDownEngine();
    // A member left the room: a private spectator entry would keep his freed user object.
    void ForgetMediaUser(int userId);
    // The public pane of a microphone index 0..2, or null.
    CPubVideoContainerUI* PublicPane(int index) const;
    CRoomMediaParts m_media;

    // ===== User and microphone notifications (WndRoomUserNotify.cpp, WndRoomSiege.cpp)
    void OnUserEnterRoom(CUserObj* user) override;
    void OnRoomUserListEnd() override;
    void OnPubMicInfoChanged(int index) override;
    void OnRoomNoticeText(int index, const wchar_t* text) override;
    void OnUserKickedOut(int actorId, int targetId, int reason, int flag) override;
    void OnUserExitRoom(int userId) override;
    void OnUserMicStateChanged(const char* payload) override;
    void OnMicStateFailed(const char* payload) override;
    void OnWaitMicIndexChanged(const char* payload) override;
    void OnUserBanned(const char* payload) override;
    void OnUserPriorityChanged(const char* payload) override;
    void OnMicTypeChanged(const char* payload) override;
    void OnUserAliasChanged(int userId) override;
    void OnSiegeStateChanged(const char* payload) override;
    // The siege strip from the room's block; rewritten every second while the castle
    // is held (WndRoomSiege.cpp).
    void RedrawSiegeStrip();
    // Steps 2 to 6 of an entrance, for a user not announced before.
    void AnnounceEntrance(CUserObj* user);
    // A user's rows of the sorted lists taken out and put back, so that they re-sort.
    void ResortUserRows(CUserObj* user);
    // The title of public pane 0..2.
    void SetPubMicTitle(int pane, const wchar_t* text);
    // Users whose entrance was announced in this entry of the room: whether a user is
    // new cannot be told by the list, which a search text filters.
    std::set<int> m_announcedIds;

    // ===== Gift, seal, fireworks, loudspeaker, money notifications
    //       (WndRoomGiftNotify.cpp)
    void OnTradeGiftFailed(const char* payload) override;
    void OnTradeGiftNotify(const char* payload) override;
    void OnLoudspeakerMsg(const char* payload) override;
    void OnLuckyGiftReward(const char* payload) override;
    void OnGiftRollNotify() override;  // WndRoomGifts.cpp
    void OnFireworksPicked(const char* payload) override;
    void OnTradeFireworksFailed(int code, int value) override;
    void OnPlayFireworksNotify(const char* payload) override;  // WndRoomGifts.cpp
    void OnTradeFireworksOk(int delaySeconds, int fireworksId) override;
    void OnSealNotify(const char* payload) override;
    void OnSendSealFailed() override;
    void OnMoneyTransferNotify(int senderId, int amount) override;
    void OnMoneyOpFailed() override;
    // Tells the open exchange dialog that the balances changed (WndRoomAdminDialogs.cpp).
    void RefreshExchangeBalance();

    // ===== Administration answers (WndRoomAdmin.cpp)
    void OnSetRoomNoticeResp(int result) override;
    void OnSetRoomInfoResp(int result) override;
    void OnSetRoomOpStatusResp(int result) override;
    void OnSeeUserIpResp(const char* payload) override;
    void OnForbidInviteUpMicResp(int state) override;
    void OnWaitMicLimitSetOk() override;
    void OnWaitMicLimitChanged() override;
    void OnUpWaitMicOk() override;
    void OnOperateWaitMicResp(int result) override;
    void OnUpWaitMicLimitExceeded() override;
    void OnConnMediaResp(const char* payload) override;
    void OnConnMediaErr(const char* payload) override;
    void OnSetUserPwdResp(int result) override;
    // Whether a private video window of that user is open (the media part's).
    bool HasUserVideoWnd(int userId) const;

    // ===== Actions of the local user (WndRoomActions.cpp)
    void TakeMic(int kind, int index);
    void JoinWaitMic();
    void OperateWaitMic(int userId, int occurrence, int operation);
    void AppointManager(int userId, int kind);
    void CancelManager(int userId);
    void SetPaneMicType(int pane, int micType);
    // Nothing for a pane whose microphone is untimed.
    void ExtendPaneMicTime(int pane, int minutes);
    // Whether the pane's public microphone runs on a time limit.
    bool PaneMicTimed(int pane) const;
    // Puts a member on public microphone `pane` (nothing when he already holds it).
    void PutUserOnPubMic(int pane, int userId);
    void SendQuickPhrase(int index);
    void CollectRoom();
    void ShowTopUpHint();
    void ShowLookMeWnd();  // WndRoomAdminDialogs.cpp
    void ShowLabaWnd();
    void ShowGonggaoWnd();
    void ShowAccountWnd();  // WndRoomDialogs.cpp
    void ShowGroupGiftWnd();
    void ShowRoomSettingWnd();  // WndRoomAdminDialogs.cpp
    void OnGiftItemClick(int giftId);
    void ShowGiftTip(bool show, int giftId, int x, int y);
    void MicCountdownTick();
    void OnPopupVideoClosed(int userId, LPARAM wnd);
    void OnSealChosen(int userId, int sealId);
    void OnShowWordGiftWnd(int userId);
    // The colour strip of a target (0: everybody); strip -1 picks one at random.
    void SendCaitiao(int targetId, int stripId);
    // The group gift of the gift panel while the recipient chooser is open.
    void SendGroupGift(int giftId, int count);
    // A member who left is no recipient of the open chooser.
    void DropGroupGiftRecipient(int userId);
    // The gift panel's count edit: its number, or -1 past 32 bits; 0 when it is none.
    int64_t ReadGiftCount() const;
    // Turns of the public microphones whose local holder was already asked to leave
    // (their start times), so the countdown asks once per turn.
    int32_t m_micLeaveAsked[3] = {0, 0, 0};

    // ===== Gifts, seals and effects sent (WndRoomGifts.cpp)
    void FillGiftPane();
    void OnAppTileClick(int tag);
    void SendSealReq(int userId, int sealId);
    void SendCaitiaoToChatTarget();
    void OnPaneQuickGift(WPARAM wParam, LPARAM lParam);
    // One step of the group-gift queue: at most 10 sends.
    void GroupGiftStep();
    // Timer 304/305 body: a step, then timer 305 stops for a guest or an empty queue.
    void RunGroupGiftTimer();
    // Checks and sends a gift with words (the word-gift dialog, the panes, the queue).
    void SendGiftWithWords(int targetId, int giftId, int count, const char* words);
    // Fills the zeroed gift record and sends it.
    void SendTradeGift(int targetId, const std::string& targetAlias, int giftId, int count,
                       const char* words);

    // ===== Dialogs of the room (WndRoomDialogs.cpp, WndRoomAdminDialogs.cpp)
    void ShowUserInfoWnd(int userId);
    void ShowSealWnd(int userId);
    void ShowIconHelpWnd();
    void ShowAudioSettingWnd();
    void ShowNetworkChoose();
    void ShowViolationWnd(int userId);
    void ShowGetPaidWnd();
    void ShowAutoChatWnd();
    void ShowExchangeWnd();
    void ShowSkinChooser();
    void ShowPersonalSettings();
    void OnOpenChestResp(const char* payload) override;
    // The treasure-box game: created once, centred; later calls show and foreground it.
    void ShowBaoxiangOpenWnd();
    // Destroys the seal picker and the treasure-box windows (OnDestroy).
    void DestroyChildWindows();
    // The spectator list while its modal loop runs (a second request does nothing).
    CWndRoomLookme* m_pWndLookme = nullptr;

protected:
    // ===== Structure, lifecycle, messages, timers
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT OnDestroy();
    LRESULT OnMove(BOOL& bHandled);
    LRESULT OnTimer(UINT_PTR id);
    void OnWindowInit();
    void LayoutVideoZone();
    void PlaceChatInput();
    // The title's maximise and restore buttons: the one for the other state shows.
    void ShowMaxOrRestore();

    // ===== Controls, menus and commands
    void InitWindow() override;
    void FindControls();
    void CreateMenus();
    void DestroyMenus();
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;
    void OnListItemMenu(DuiLib::TNotifyUI& msg);
    void OnPaneMenu(DuiLib::TNotifyUI& msg, int pane);
    void OnUserRowClick(DuiLib::TNotifyUI& msg, bool doubleClick);
    void ShowSettingsMenu();
    void TrackMenu(int slot, UINT flags);
    // The user list a row belongs to, or null when it is none of the four.
    CCtrlListFriend* ListOfRow(DuiLib::CControlUI* row) const;
    // The user a row of the four lists shows, looked up by its recorded id.
    CUserObj* UserOfRow(DuiLib::CControlUI* row) const;
    bool RunCommand(int id);
    void ToggleSetting(int id);
    void SendMicState(int targetId, int kind, int index);

public:
    // ===== Members, in this order
    int m_nRoomId = 0;
    int m_nRoomKind = ROOM_KIND_STANDARD;
    HANDLE m_hDrawDib = nullptr;  // opened with the media session
    int m_nSelUserId = 0;
    int m_nSelPaneIndex = -1;
    uint8_t m_bLoggedIn = 0;
    uint8_t m_bLoginFlag2 = 0;
    int m_nReconnectCount = 0;
    int m_nSelItemIndex = 0;

    DuiLib::CControlUI* m_pWinBGCtl = nullptr;
    DuiLib::CControlUI* m_pMySettingBtn = nullptr;
    DuiLib::CControlUI* m_pBtnClose = nullptr;
    DuiLib::CControlUI* m_pBtnMin = nullptr;
    DuiLib::CControlUI* m_pBtnMax = nullptr;
    DuiLib::CControlUI* m_pBtnRestore = nullptr;
    DuiLib::CControlUI* m_pMyUserAlias = nullptr;
    DuiLib::CControlUI* m_pMyUserId = nullptr;
    DuiLib::CControlUI* m_pRoomName = nullptr;
    DuiLib::CControlUI* m_pEdtSearchUser = nullptr;
    DuiLib::CControlUI* m_pMgrUserSel = nullptr;
    DuiLib::CControlUI* m_pAllUserSel = nullptr;
    DuiLib::CControlUI* m_pApcUserSel = nullptr;
    DuiLib::CControlUI* m_pOnMicUserSel = nullptr;
    CCtrlListFriend* m_pRoomUserList = nullptr;
    CCtrlListFriend* m_pRoomMgrList = nullptr;
    CCtrlListFriend* m_pWaitMicList = nullptr;
    CCtrlListFriend* m_pOnMicList = nullptr;
    DuiLib::CWebBrowserUI* m_pMenuBrowser = nullptr;  // context menu opened last
    DuiLib::CWebBrowserUI* m_pPubTextOut = nullptr;
    DuiLib::CWebBrowserUI* m_pPrivTextOut = nullptr;
    DuiLib::CWebBrowserUI* m_pLabaZone = nullptr;
    DuiLib::CWebBrowserUI* m_pSiegeTextOut = nullptr;
    DuiLib::CTabLayoutUI* m_pGiftPaneSwitch = nullptr;
    DuiLib::CControlUI* m_pGiftList[4] = {nullptr, nullptr, nullptr, nullptr};
    DuiLib::CControlUI* m_pAppList = nullptr;
    DuiLib::CComboUI* m_pGiftUserCombo = nullptr;
    DuiLib::CComboUI* m_pGiftNumCombo = nullptr;
    DuiLib::CControlUI* m_pGiftNumEdit = nullptr;
    DuiLib::CComboUI* m_pChatUserCombo = nullptr;
    DuiLib::CControlUI* m_pRoomYugao = nullptr;
    DuiLib::CControlUI* m_pFlyGiftRace = nullptr;
    DWORD m_dwGiftStripInk = 0;  // the layout's text colour of the gift strip
    DuiLib::CControlUI* m_pStaNk = nullptr;
    DuiLib::CControlUI* m_pStaNb = nullptr;
    DuiLib::CControlUI* m_pZjZone = nullptr;

    RAVO::CStrevo* m_pStrevo = nullptr;              // owned
    CGiftNoticeQueue* m_pGiftNoticeQueue = nullptr;  // owned
    CUserVideoWndMgr* m_pUserVideoWndMgr = nullptr;  // owned by the media session

    DuiLib::CControlUI* m_pVideoZone = nullptr;
    DuiLib::CControlUI* m_pPubVideo[3] = {nullptr, nullptr, nullptr};
    CRoomCtrlUI* m_pRoomCtrl = nullptr;
    DuiLib::CControlUI* m_pToolEmo = nullptr;
    DuiLib::CControlUI* m_pWaitMicPane = nullptr;

    // Owner slots: null while the window is not open; the window clears its slot.
    CWndIconHelp* m_pWndIconHelp = nullptr;
    CWndRoomAudioSetting3* m_pWndAudioSetting = nullptr;
    CWndUserInfo* m_pWndUserInfo = nullptr;
    CWndGetPaid* m_pWndGetPaid = nullptr;
    DuiLib::CControlUI* m_pDafuwen = nullptr;
    WndUserViolationHanding* m_pWndViolation = nullptr;
    CWndQunshua* m_pWndQunshua = nullptr;
    CWndUserSeal* m_pWndUserSeal = nullptr;
    CWndSendWordGift* m_pWndSendWordGift = nullptr;
    CLuckyMsgBox* m_pLuckyMsgBox = nullptr;
    CWndBaoxiangIcon* m_pWndBaoxiangIcon = nullptr;  // never created
    CWndBaoxiangOpen* m_pWndBaoxiangOpen = nullptr;
    CWndRoomAutoChat* m_pWndAutoChat = nullptr;
    CWndRoomExchange* m_pWndExchange = nullptr;

    CREWindowWnd m_chatInput;
    std::vector<tagGroupGiftItem> m_groupGiftQueue;
    CQuickPhraseList m_quickPhrases;
    HMENU m_hMenus[kRoomMenuCount] = {};
    DuiLib::CControlUI* m_pSendMenuBtn = nullptr;

    // Owner slots of the local user's dialogs.
    CWndSendLaba* m_pWndSendLaba = nullptr;
    CWndSendGonggao* m_pWndSendGonggao = nullptr;
    CWndMyAccount* m_pWndMyAccount = nullptr;
    CWndRoomSetting* m_pWndRoomSetting = nullptr;
    CWndGiftInfo* m_pWndGiftInfo = nullptr;
    bool m_bNetChooseOpen = false;  // the modal carrier chooser runs

private:
    // The caption of the pane or private window showing this member, after his alias changed.
    void RecaptionMediaUser(const CUserObj* user);

    SkinWndTraits m_traits;
};

// The registered room window (kernel window table entry 2) when it is a CWndRoom.
CWndRoom* GetRegisteredRoomWindow();
// The room window factory the program's wiring installs (lobby/RoomWindowSeam.h).
IRoomWindow* CreateRoomWindowObject();
