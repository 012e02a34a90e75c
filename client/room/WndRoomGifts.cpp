// Gifts, seals and effects the room sends, and its gift pane.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

#include "app/ClientApp.h"
#include "app/OutsideOpen.h"
#include "catalogs/CaitiaoManager.h"
#include "catalogs/GiftManager.h"
#include "catalogs/SealManager.h"
#include "controls/AnsiField.h"
#include "controls/GiftListUI.h"
#include "fenlo/UIExtra.h"
#include "kernel/CommKernel.h"
#include "room/RoomSession.h"
#include "room/VideoMessages.h"
#include "room/WndRoom.h"
#include "win32/crt.h"
#include "win32/text.h"

using namespace DuiLib;
using namespace roomsession;

namespace {

const wchar_t kGuestHint[] = L"您目前的身份是游客，请注册后重新登录。";
const wchar_t kNoMoneyHint[] = L"您的余额不足，请去充值！";
constexpr size_t kGroupGiftBatch = 10;
constexpr int kMaxSealId = 0xFFFF;  // the seal request carries a 16-bit id
constexpr int kMaxRaceRepeats = 10;

struct AppTile {
    int tag;
    const wchar_t* image;
    const wchar_t* caption;
};

// Currency exchange, the outside game page, paid services, personal centre, sales.
const AppTile kAppTiles[] = {
    {-1, L"app_exchange.png", L"兑换"}, {-3, L"app_game.png", L"游戏"},
    {-4, L"app_paid.png", L"增值"},     {-5, L"app_center.png", L"个人中心"},
    {-6, L"app_sales.png", L"商城"},
};

CGiftManager* Gifts() {
    CCommKernelData* data = KernelData();
    return data ? data->m_pGiftManager : nullptr;
}

}  // namespace

void CWndRoom::SendGiftWithWords(int targetId, int giftId, int count, const char* words) {
    CCommKernelData* data = KernelData();
    CRoomObj* room = FindRoom(m_nRoomId);
    if (giftId <= 0 || count <= 0 || targetId <= 0 || !room || !data) return;
    CUserObj* me = data->GetLocalUser();
    if (me->levels[0] <= 1) {
        InsertHintLine(1, 1, kGuestHint);
        return;
    }
    if (me->levels[0] == 2) {
        InsertHintLine(1, 1, L"注册用户不能发送赠言礼物，请去办理VIP或高级会员！");
        return;
    }
    if (targetId == me->userId) {
        InsertHintLine(1, 1, L"请正确选择赠送用户，不能自己赠送给自己！");
        return;
    }
    CUserObj* target = room->FindUser(targetId);
    tag_GiftItemInfo* gift = Gifts() ? Gifts()->FindGiftItem(giftId) : nullptr;
    if (!target || !gift) return;
    // In 64 bits: a price times a count passes 32 bits long before a balance does.
    const int64_t total = static_cast<int64_t>(gift->price) * count;
    if (me->money < total) {
        InsertHintLine(1, 1, kNoMoneyHint);
        return;
    }
    SendTradeGift(targetId, target->alias, giftId, count, words);
}

void CWndRoom::SendTradeGift(int targetId, const std::string& targetAlias, int giftId, int count,
                             const char* words) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserObj* me = data->GetLocalUser();
    tag_CMDTradeGiftRecord record;
    std::memset(&record, 0, sizeof record);
    record.roomId = m_nRoomId;
    record.senderId = me->userId;
    record.targetId = targetId;
    record.giftId = giftId;
    record.count = count;
    record.flag0 = 2;
    record.flag1 = 0;
    record.anonymous = data->m_UserEnv.m_bAnonymity ? 1 : 0;
    record.flag3 = 1;
    CopyAnsiField(record.senderAlias, sizeof record.senderAlias, me->alias, FieldEnd::kMayFill);
    CopyAnsiField(record.targetAlias, sizeof record.targetAlias, targetAlias, FieldEnd::kMayFill);
    if (words) CopyAnsiField(record.words, sizeof record.words, words, FieldEnd::kKeepNul);
    CCommKernel::GetInstance()->SendMsg_TradeGiftReq(&record);
}

void CWndRoom::SendSealReq(int userId, int sealId) {
    CCommKernelData* data = KernelData();
    if (!data) return;
    CUserObj* me = data->GetLocalUser();
    if (me->levels[0] <= 1) {
        InsertHintLine(1, 1, kGuestHint);
        return;
    }
    if (userId == me->userId) {
        if (sealId == 0)
            InsertHintLine(1, 1, L"不能给自己清除盖章,请重新选择用户!");
        else if (sealId > 0)
            InsertHintLine(1, 1, L"不能给自己盖章,请重新选择用户!");
        return;
    }
    // The wire field is 16 bits: a larger id would stamp another seal.
    if (sealId < 0 || sealId > kMaxSealId || userId <= 0) return;
    tag_SealItemInfo* seal =
        data->m_pSealManager ? data->m_pSealManager->FindSealItem(sealId) : nullptr;
    if (seal && me->money < static_cast<int64_t>(seal->price)) {
        InsertHintLine(1, 1, L"您的余额不够不能盖章，请去充值");
        return;
    }
    CCommKernel::GetInstance()->SendMsg_SendSealReq(static_cast<unsigned>(userId),
                                                    static_cast<unsigned>(sealId));
}

void CWndRoom::SendCaitiaoToChatTarget() {
    int target = 0;
    if (m_pChatUserCombo) {
        const int sel = m_pChatUserCombo->GetCurSel();
        if (CControlUI* item = sel >= 0 ? m_pChatUserCombo->GetItemAt(sel) : nullptr)
            target = static_cast<int>(item->GetTag());
    }
    SendCaitiao(target, -1);
}

void CWndRoom::OnPaneQuickGift(WPARAM, LPARAM lParam) {
    const auto* gift = reinterpret_cast<const tagPaneQuickGift*>(lParam);
    if (!gift) return;
    if (gift->kind == 1) {
        SendGiftWithWords(gift->targetUserId, gift->giftId, gift->count, "");
        return;
    }
    SendCaitiao(gift->targetUserId, -1);
}

void CWndRoom::GroupGiftStep() {
    if (MyLevel() <= 1) {
        ::KillTimer(m_hWnd, kTimerGroupGift);
        m_groupGiftQueue.clear();
        return;
    }
    if (m_groupGiftQueue.empty()) {
        ::KillTimer(m_hWnd, kTimerGroupGift);
        return;
    }
    // Sends take copies: a send may write a hint line, and nothing below reads the
    // queue until the batch is gone.
    const size_t n = std::min(kGroupGiftBatch, m_groupGiftQueue.size());
    const std::vector<tagGroupGiftItem> batch(m_groupGiftQueue.begin(),
                                              m_groupGiftQueue.begin() + static_cast<long>(n));
    m_groupGiftQueue.erase(m_groupGiftQueue.begin(),
                           m_groupGiftQueue.begin() + static_cast<long>(n));
    for (const tagGroupGiftItem& item : batch)
        SendGiftWithWords(item.nUserId, item.nGiftId, item.nCount, "");
}

void CWndRoom::RunGroupGiftTimer() {
    GroupGiftStep();
    if (MyLevel() <= 1 || m_groupGiftQueue.empty()) ::KillTimer(m_hWnd, kTimerGroupGift);
}

void CWndRoom::FillGiftPane() {
    CGiftManager* gifts = Gifts();
    for (int g = 0; g < 4 && gifts; ++g) {
        auto* list = dynamic_cast<CGiftListUI*>(m_pGiftList[g]);
        tag_GiftGroupInfo* group = gifts->FindGiftGroupItem(g);
        if (!list || !group) continue;
        // The tab is named for the catalog's group it shows, not for the layout's guess.
        if (!group->groupName.empty())
            if (CControlUI* tab = Find(winplat::FormatText(L"giftgroup_%d", g + 1).c_str()))
                tab->SetText(group->groupName.c_str());
        for (tag_GiftItemInfo* item : group->items) {
            if (!item) continue;
            const std::wstring image = std::to_wstring(item->giftId) + L".png";
            list->AddGiftItem(item->giftId, image.c_str(), item->giftName.c_str());
        }
    }
    if (auto* apps = dynamic_cast<CGiftListUI*>(m_pAppList))
        for (const AppTile& tile : kAppTiles) apps->AddGiftItem(tile.tag, tile.image, tile.caption);
}

void CWndRoom::OnAppTileClick(int tag) {
    CCommKernelData* data = KernelData();
    switch (tag) {
        case -6:
            if (data) OpenPage(data->m_GlobalConfig.agent_url);
            break;
        case -5:
            if (data) OpenPage(data->m_GlobalConfig.usercenter_url);
            break;
        case -4:
            ShowGetPaidWnd();
            break;
        case -3:
            theApp.OpenGame(2);
            break;
        case -2:
        case -1:
            ShowExchangeWnd();
            break;
        default:
            break;
    }
}

void CWndRoom::OnGiftRollNotify() {
    CCommKernelData* data = KernelData();
    auto* race = dynamic_cast<CFlyGiftLabelUI*>(m_pFlyGiftRace);
    if (!data || !race) return;
    const tag_GiftRollInfo& roll = data->m_GiftRollInfo;
    // A negative count is no gift to show.
    if (roll.nGiftId == 0 || roll.nCount <= 0) return;
    const int myId = data->GetLocalUser()->userId;
    const auto named = [](const char* field, size_t width, int id) {
        const std::string name(field, strnlen(field, width));
        return name + "(" + std::to_string(id) + ")";
    };
    const bool hidden = roll.bAnonymous == 1 && roll.nGiverId != myId && roll.nReceiverId != myId;
    const std::string giver =
        hidden ? winplat::WideToAnsi(L"神秘人")
               : named(roll.szGiverAlias, sizeof roll.szGiverAlias, roll.nGiverId);
    const std::string receiver =
        named(roll.szReceiverAlias, sizeof roll.szReceiverAlias, roll.nReceiverId);
    tag_GiftItemInfo* gift = Gifts() ? Gifts()->FindGiftItem(roll.nGiftId) : nullptr;
    const std::string giftName =
        gift ? winplat::WideToAnsi(gift->giftName) + " "
             : winplat::WideToAnsi(L"未知礼物(" + std::to_wstring(roll.nGiftId) + L")");
    const std::string words(roll.szThirdName, strnlen(roll.szThirdName, sizeof roll.szThirdName));
    const time_t when = static_cast<time_t>(roll.nValue24);
    struct tm local {};
    localtime_r(&when, &local);
    char clock[16];
    std::snprintf(clock, sizeof clock, "[%02d:%02d]", local.tm_hour, local.tm_min);
    const std::string image =
        winplat::WideToAnsi(std::wstring(data->m_szAppPath) + L"\\skin\\MVChat\\gift\\" +
                            std::to_wstring(roll.nGiftId) + L"_1.gif");
    race->Clear();
    race->AddTrackItemA(image.c_str(), std::min(roll.nCount, kMaxRaceRepeats), giver.c_str(),
                        winplat::WideToAnsi(L"赠送给:").c_str(), receiver.c_str(),
                        std::to_string(roll.nCount).c_str(), winplat::WideToAnsi(L"个").c_str(),
                        giftName.c_str(), words.c_str(), clock);
    m_pm.SetTimer(m_pFlyGiftRace, kControlScrollTimer, kGiftStripStepMs);
}

void CWndRoom::OnPlayFireworksNotify(const char* payload) {
    CCommKernelData* data = KernelData();
    if (!data || !payload || data->m_UserEnv.m_bShiledGiftEffect) return;
    int32_t third = 0;
    std::memcpy(&third, payload + 8, sizeof third);
    const int giftId = third & 0xFFFF;
    tag_GiftItemInfo* gift = Gifts() ? Gifts()->FindGiftItem(giftId) : nullptr;
    tag_PropsFlashPlayTaskItem task{};
    if (gift && gift->flashId > 0) {
        task.number = static_cast<uint16_t>(gift->flashId);
    } else {
        task.number = static_cast<uint16_t>(giftId);
        task.kind = 1;
    }
    data->m_PropsTaskMgr.AddPlayTask(task);
}
