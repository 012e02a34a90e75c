// The room window's popup menus: their rows, creation, check marks, the chat
// browsers' context menu, and their one teardown.
#include <cwchar>
#include <string>

#include "controls/KernelData.h"
#include "model/PrivilegeIds.h"
#include "model/UserMVManager.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "win32gui/menu.h"

using namespace DuiLib;

namespace {

// One row of a menu: a command, a separator (id 0, no text) or a submenu (its slot).
struct MenuRow {
    UINT id;
    const wchar_t* text;
    int submenu;
};
constexpr MenuRow kSep{0, nullptr, -1};

struct MenuDef {
    int slot;
    std::initializer_list<MenuRow> rows;
};

// Submenus first: their parents take their handles.
const MenuDef kMenus[] = {
    {kMenuViolation,
     {{13931, L"踢出房间", -1}, {13932, L"房间拉黑", -1}, {13933, L"全站拉黑", -1}}},
    {kMenuPaneMicType, {{13960, L"计时麦", -1}, {13961, L"无限时麦", -1}, {13962, L"管理麦", -1}}},
    {kMenuInputEdit,
     {{13934, L"剪切", -1},
      {13935, L"复制", -1},
      {13936, L"粘贴", -1},
      kSep,
      {13937, L"删除", -1}}},
    {kMenuChatText, {{13928, L"全选", -1}, {13929, L"复制", -1}, kSep, {13930, L"清屏", -1}}},
    {kMenuLinkUser,
     {{13908, L"用户信息", -1},
      {13909, L"复制用户ID", -1},
      {13910, L"复制呢称", -1},
      kSep,
      {13911, L"抱上公麦", -1},
      {13912, L"抱上私麦", -1},
      {13913, L"抱下麦", -1},
      {13914, L"连接视频", -1},
      {13915, L"用户定位", -1},
      kSep,
      {0, L"违规处理", kMenuViolation}}},
    {kMenuListUser,
     {{13908, L"用户信息", -1},
      {13909, L"复制用户ID", -1},
      {13910, L"复制呢称", -1},
      kSep,
      {13920, L"发送赠言道具", -1},
      {13919, L"用户盖章", -1},
      {13911, L"抱上公麦", -1},
      {13912, L"抱上私麦", -1},
      {13913, L"抱下麦", -1},
      {13914, L"连接视频", -1},
      kSep,
      {13917, L"任命为正式管理", -1},
      {13918, L"任命为临时管理", -1},
      {0, L"违规处理", kMenuViolation},
      {13921, L"查看用户IP地址", -1}}},
    {kMenuWaitMic,
     {{13922, L"取消排麦", -1},
      {13923, L"提升麦序", -1},
      {13925, L"麦序置顶", -1},
      {13926, L"麦序置底", -1},
      kSep,
      {13927, L"取消所有排麦", -1}}},
    {kMenuSettings,
     {{13948, L"清除公聊", -1},
      {13949, L"清除私聊", -1},
      kSep,
      {13950, L"设置自动回复和欢迎词", -1},
      kSep,
      {13951, L"屏蔽公聊", -1},
      {13952, L"屏蔽私聊", -1},
      {13953, L"屏蔽进出信息", -1},
      {13954, L"屏蔽喝彩", -1},
      {13957, L"屏蔽礼物滚动", -1},
      {13958, L"屏蔽礼物特效(FLASH)", -1},
      {13959, L"屏蔽礼物声音", -1},
      kSep,
      {13955, L"匿名赠送礼物", -1},
      {13956, L"禁止被抱上麦", -1}}},
    {kMenuPane,
     {{13963, L"延长麦时", -1},
      {13964, L"抱下麦", -1},
      {13967, L"用户定位", -1},
      kSep,
      {0, L"设置麦类型", kMenuPaneMicType},
      kSep,
      {13966, L"关闭麦", -1}}},
    {kMenuUpMic,
     {{13968, L"上1号公麦", -1},
      {13969, L"上2号公麦", -1},
      {13970, L"上3号公麦", -1},
      kSep,
      {13971, L"上VIP私麦", -1},
      kSep,
      {13974, L"上自由麦", -1}}},
    {kMenuManagerList, {{13975, L"取消管理", -1}}},
};

constexpr UINT kQuickPhraseFirst = 13938;
constexpr UINT kForbidInviteCmd = 13956;

}  // namespace

void CWndRoom::CreateMenus() {
    for (const MenuDef& def : kMenus) {
        HMENU menu = ::CreatePopupMenu();
        m_hMenus[def.slot] = menu;
        for (const MenuRow& row : def.rows) {
            if (!row.text)
                ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            else if (row.submenu >= 0)
                ::AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(m_hMenus[row.submenu]),
                              row.text);
            else
                ::AppendMenuW(menu, MF_STRING, row.id, row.text);
        }
    }

    // Quick phrases, only when some were loaded.
    if (m_quickPhrases.Load() == 0 && m_quickPhrases.HasItems()) {
        HMENU menu = ::CreatePopupMenu();
        m_hMenus[kMenuQuickPhrase] = menu;
        for (size_t i = 0; i < m_quickPhrases.m_list.size(); ++i) {
            std::wstring text = m_quickPhrases.m_list[i];
            while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
            ::AppendMenuW(menu, MF_STRING, kQuickPhraseFirst + static_cast<UINT>(i), text.c_str());
        }
    }

    CCommKernelData* data = KernelData();
    const bool mayForbid =
        data && data->m_pUserMVManager &&
        data->m_pUserMVManager->CheckPrivilege(PRIV_FORBID_CARRY_OPTION, data->GetLocalUser());
    ::EnableMenuItem(m_hMenus[kMenuSettings], kForbidInviteCmd,
                     mayForbid ? MF_ENABLED : (MF_DISABLED | MF_GRAYED));
}

void CWndRoom::DestroyMenus() {
    // The violation submenu hangs in two menus: it is taken out of both and destroyed
    // once. The pane's type submenu goes with the pane menu.
    HMENU shared = m_hMenus[kMenuViolation];
    for (int parent : {kMenuLinkUser, kMenuListUser}) {
        HMENU menu = m_hMenus[parent];
        if (!menu || !::IsMenu(menu)) continue;
        for (int i = ::GetMenuItemCount(menu) - 1; i >= 0; --i)
            if (::GetSubMenu(menu, i) == shared)
                ::RemoveMenu(menu, static_cast<UINT>(i), MF_BYPOSITION);
    }
    m_hMenus[kMenuPaneMicType] = nullptr;
    for (HMENU& menu : m_hMenus) {
        if (menu && ::IsMenu(menu)) ::DestroyMenu(menu);
        menu = nullptr;
    }
}

HMENU CWndRoom::GetMenuHandle(int slot) const {
    return slot >= 0 && slot < kRoomMenuCount ? m_hMenus[slot] : nullptr;
}

void CWndRoom::TrackMenu(int slot, UINT flags) {
    HMENU menu = GetMenuHandle(slot);
    if (!menu) return;
    POINT pt{0, 0};
    ::GetCursorPos(&pt);
    ::TrackPopupMenu(menu, flags, pt.x, pt.y, 0, m_hWnd, nullptr);
}

void CWndRoom::ShowSettingsMenu() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    const CUserEnvSetting& env = data->m_UserEnv;
    const struct {
        UINT id;
        bool on;
    } marks[] = {
        {13951, env.m_bShiledPublicChat},
        {13952, env.m_bShiledPrivateChat},
        {13953, env.m_bShiledInoutMsg},
        {13954, env.m_bShiledColorbar},
        {13955, env.m_bAnonymity},
        {13956, data->GetLocalUser()->forbidCarryToMic},
        {13957, env.m_bShiledGiftShow},
        {13958, env.m_bShiledGiftEffect},
        {13959, env.m_bShiledGiftEffectSound},
    };
    // Each mark follows its setting both ways: a setting switched off elsewhere (the
    // settings dialog) must not stay checked.
    for (const auto& mark : marks)
        ::CheckMenuItem(m_hMenus[kMenuSettings], mark.id, mark.on ? MF_CHECKED : MF_UNCHECKED);
    TrackMenu(kMenuSettings, TPM_BOTTOMALIGN);
}

int CWndRoom::ParseOrinId(LPCTSTR text) {
    static const wchar_t kPrefix[] = L"orinid:";
    constexpr size_t kPrefixLen = sizeof kPrefix / sizeof kPrefix[0] - 1;
    if (!text || std::wcsncmp(text, kPrefix, kPrefixLen) != 0) return -1;
    const wchar_t* p = text + kPrefixLen;
    if (*p < L'0' || *p > L'9') return -1;
    long long id = 0;
    for (; *p >= L'0' && *p <= L'9'; ++p) {
        id = id * 10 + (*p - L'0');
        if (id > 0x7FFFFFFF) return 0;  // no such user
    }
    return *p == L'\0' ? static_cast<int>(id) : -1;
}

HRESULT CWndRoom::ShowContextMenu(LPCTSTR text, CWebBrowserUI* pWeb) {
    m_pMenuBrowser = pWeb;
    // A user link is the whole text "orinid:<digits>"; a selection that merely holds
    // the prefix somewhere is text.
    const int id = ParseOrinId(text);
    if (id >= 0) {
        ::OutputDebugStringW(L"这是用户右键菜单!\n");
        if (id == 0) return S_OK;
        m_nSelUserId = id;
        TrackMenu(kMenuLinkUser, TPM_BOTTOMALIGN);
        return S_OK;
    }
    ::OutputDebugStringW(L"这是选择文本右键菜单!\n");
    TrackMenu(kMenuChatText, TPM_BOTTOMALIGN);
    return S_OK;
}
