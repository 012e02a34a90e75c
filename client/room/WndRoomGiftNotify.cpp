// Room notifications about gifts, lucky wins, seals, fireworks, the loudspeaker and
// money.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "catalogs/GiftManager.h"
#include "controls/CtrlListFriend.h"
#include "controls/LuckyMsgBox.h"
#include "dialogs/AdminInput.h"
#include "kernel/CommKernel.h"
#include "model/FixedText.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "room/ChatLines.h"
#include "room/NotifyLines.h"
#include "room/NotifyPayload.h"
#include "room/RoomSession.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

using roomsession::FindRoom;

namespace {

constexpr uint16_t kGiftFailedAnswer = 48;
constexpr uint16_t kGiftAnswer = 49;
constexpr uint16_t kFireworksPickedAnswer = 57;
constexpr uint16_t kLuckyAnswer = 60;
constexpr uint16_t kLoudspeakerAnswer = 61;
constexpr uint16_t kSealAnswer = 95;

constexpr size_t kNameWidth = 17;
// The gift given: where its fields lie.
constexpr size_t kGiftDisplayAt = 20;
constexpr size_t kGiftAnonymousAt = 22;
constexpr size_t kGiftValue24At = 24;
constexpr size_t kGiftBaseCountAt = 28;
constexpr size_t kGiftRollAt = 32;
constexpr size_t kGiftNamesAt = 33;
// The lucky reward: the count, then the multipliers.
constexpr size_t kLuckyCountAt = 10;
constexpr size_t kLuckyFirstAt = 12;

// The two fireworks items and their words.
constexpr int kBigFireworks = 209;
constexpr int kSmallFireworks = 216;

// Where the lucky banner goes, from the room window's centre.
constexpr int kLuckyBoxHalfWidth = 293;
constexpr int kLuckyBoxHalfHeight = 117;

tag_GiftItemInfo* FindGift(int giftId) {
    CCommKernelData* data = KernelData();
    return data && data->m_pGiftManager ? data->m_pGiftManager->FindGiftItem(giftId) : nullptr;
}

int MyId() {
    CCommKernelData* data = KernelData();
    return data ? data->GetLocalUser()->userId : 0;
}

std::wstring Format(const wchar_t* fmt, int a, int b = 0) {
    return winplat::FormatText(fmt, a, b);
}

}  // namespace

int CWndRoom::GetLargestGiftCount() {
    // Read from the list each time: the layout, not this file, says what is offered.
    int64_t largest = 1;
    for (int i = 0; m_pGiftNumCombo && i < m_pGiftNumCombo->GetCount(); ++i) {
        CControlUI* item = m_pGiftNumCombo->GetItemAt(i);
        int64_t value = 0;
        if (item && admininput::ParseCount(item->GetText().GetData(), value))
            largest = std::max(largest, value);
    }
    return static_cast<int>(std::min<int64_t>(largest, INT32_MAX));
}

void CWndRoom::OnTradeGiftFailed(const char* payload) {
    const NotifyPayload p(payload, kGiftFailedAnswer);
    if (!p.Valid()) return;
    InsertHintLine(1, 1, Format(L"赠送礼物失败,失败代码=%d.", p.I32(0)).c_str());
}

void CWndRoom::OnTradeGiftNotify(const char* payload) {
    const NotifyPayload p(payload, kGiftAnswer);
    CCommKernelData* data = KernelData();
    if (!p.Valid() || !data) return;
    const int roomId = p.I32(0), giverId = p.I32(4), receiverId = p.I32(8);
    const int giftId = p.I32(12), count = p.I32(16);
    const bool anonymous = p.U8(kGiftAnonymousAt) == 1;
    const std::string giverName = p.Field(kGiftNamesAt, kNameWidth);
    const std::string receiverName = p.Field(kGiftNamesAt + kNameWidth, kNameWidth);
    const std::string thirdName = p.Field(kGiftNamesAt + 2 * kNameWidth, kNameWidth);
    tag_GiftItemInfo* item = FindGift(giftId);
    if (!item) return;

    if (roomId == m_nRoomId && p.U8(kGiftDisplayAt) == 2) {
        CRoomObj* room = FindRoom(m_nRoomId);
        const int me = MyId();
        std::wstring giverLink, receiverLink;
        if (anonymous && me != giverId && me != receiverId)
            FormatAnonymousLink(giverLink);
        else
            FormatUserLink(giverId, room ? room->FindUser(giverId) : nullptr, giverName.c_str(),
                           giverId == me, giverLink);
        FormatUserLink(receiverId, room ? room->FindUser(receiverId) : nullptr,
                       receiverName.c_str(), receiverId == me, receiverLink);
        const std::wstring head =
            NotifyLines::GiftHead(giverLink, receiverLink, count, item->giftName, giftId);

        if (m_pGiftNoticeQueue) {
            auto* notice = new tagGiftNoticeInfo;
            notice->strHead = head;
            notice->strGiftName = L"枚";
            notice->strTail = L"</DIV>";
            notice->nUserId = receiverId;
            notice->nGiftId = giftId;
            notice->nTotal = count;
            notice->nBaseCount = p.I32(kGiftBaseCountAt);
            notice->nShown = 0;
            const bool idle = m_pGiftNoticeQueue->GetCount() == 0;
            m_pGiftNoticeQueue->Push(notice);
            if (idle) ::SetTimer(m_hWnd, kTimerGiftNotice, 60, nullptr);
        }

        // Price times count passes 32 bits for dear gifts in numbers.
        const int64_t value = int64_t{item->price} * count;
        if (value >= data->m_GlobalConfig.giftthankpricelimit && receiverId == me && m_pPrivTextOut)
            m_pPrivTextOut->WriteBlock(NotifyLines::ThankLine(giverLink, receiverLink, giverName,
                                                              count, item->giftName, value)
                                           .c_str(),
                                       0);
    }

    if (p.I8(kGiftRollAt) >= 0) {
        tag_GiftRollInfo& roll = data->m_GiftRollInfo;
        roll.nRoomId = roomId;
        roll.nGiverId = giverId;
        roll.nReceiverId = receiverId;
        roll.nGiftId = giftId;
        roll.nCount = count;
        roll.bAnonymous = p.U8(kGiftAnonymousAt);
        roll.nValue24 = p.I32(kGiftValue24At);
        SetFixedFieldText(roll.szGiverAlias, sizeof roll.szGiverAlias, giverName.c_str());
        SetFixedFieldText(roll.szReceiverAlias, sizeof roll.szReceiverAlias, receiverName.c_str());
        SetFixedFieldText(roll.szThirdName, sizeof roll.szThirdName, thirdName.c_str());
        OnGiftRollNotify();
    }

    if (item->flashId >= 1 && !data->m_UserEnv.m_bShiledGiftEffect) {
        tag_PropsFlashPlayTaskItem task{};
        task.number = static_cast<uint16_t>(item->flashId);
        data->m_PropsTaskMgr.AddPlayTask(task);
    }
}

void CWndRoom::OnLuckyGiftReward(const char* payload) {
    const NotifyPayload head(payload, kLuckyAnswer);
    if (!head.Valid()) return;
    // The kernel checked the stated number of multipliers against the answer.
    const size_t count = head.U16(kLuckyCountAt);
    const NotifyPayload p(payload, kLuckyFirstAt + 2 * count);
    CRoomObj* room = FindRoom(m_nRoomId);
    CUserObj* sender = room ? room->FindUser(p.I32(4)) : nullptr;
    tag_GiftItemInfo* item = FindGift(p.U16(8));
    if (!sender || !item || p.I32(0) != m_nRoomId) return;

    std::vector<int16_t> multipliers;
    std::map<int, int> counts;
    for (size_t i = 0; i < count; ++i) {
        const int16_t m = p.I16(kLuckyFirstAt + 2 * i);
        multipliers.push_back(m);
        ++counts[m];
    }
    const bool mine = sender->userId == MyId();
    if (mine && m_pPrivTextOut) {
        std::wstring link;
        FormatUserLink(sender->userId, sender, nullptr, true, link);
        m_pPrivTextOut->WriteBlock(
            NotifyLines::LuckyRewardLine(link, item->giftName, counts).c_str(), 0);
    }
    for (const std::wstring& text :
         NotifyLines::LuckyBoxTexts(sender->alias, item->giftName, multipliers, item->price)) {
        if (!m_pLuckyMsgBox) break;
        if (::IsWindow(m_pLuckyMsgBox->GetHWND())) {
            RECT rc{};
            ::GetWindowRect(m_hWnd, &rc);
            const int x = rc.left + (rc.right - rc.left) / 2 - kLuckyBoxHalfWidth;
            const int y = rc.top + (rc.bottom - rc.top) / 2 - kLuckyBoxHalfHeight;
            ::SetWindowPos(m_pLuckyMsgBox->GetHWND(), nullptr, x, y, 0, 0,
                           SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOZORDER);
            m_pLuckyMsgBox->SaveBasePos();
        }
        m_pLuckyMsgBox->Show(text.c_str());
    }
}

void CWndRoom::OnLoudspeakerMsg(const char* payload) {
    const NotifyPayload p(payload, kLoudspeakerAnswer);
    if (!p.Valid() || !m_pLabaZone) return;
    const std::wstring block = NotifyLines::LoudspeakerBlock(p.I32(0), p.TailText(4));
    if (!block.empty()) m_pLabaZone->WriteBlock(block.c_str(), 0);
}

void CWndRoom::OnSealNotify(const char* payload) {
    const NotifyPayload p(payload, kSealAnswer);
    if (!p.Valid()) return;
    const int markerId = p.I32(0), markedId = p.I32(8);
    const int sealId = p.U16(12), minutes = p.U16(14);
    // The seal's picture is the program's own; the line is written as a hint.
    if (m_pPrivTextOut)
        m_pPrivTextOut->WriteBlock(
            ChatLines::HintLine(1, NotifyLines::SealHint(markerId, markedId, sealId, minutes))
                .c_str(),
            0);
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList, m_pWaitMicList})
        if (list) list->SetUserSeal(markedId, sealId);
}

void CWndRoom::OnSendSealFailed() {
    InsertHintLine(1, 1, L"盖章错误!");
}

void CWndRoom::OnFireworksPicked(const char* payload) {
    const NotifyPayload p(payload, kFireworksPickedAnswer);
    if (!p.Valid()) return;
    const int senderId = p.I32(28), giftId = p.I32(32), amount = p.I32(8);
    if (senderId == MyId()) return;
    if (giftId == kBigFireworks)
        InsertHintLine(1, 1, Format(L"用户 %d 发送了大烟花,您捡了%d", senderId, amount).c_str());
    else if (giftId == kSmallFireworks)
        InsertHintLine(1, 1, Format(L"用户 %d 发送了小烟花,您捡了%d", senderId, amount).c_str());
}

void CWndRoom::OnTradeFireworksFailed(int, int) {
    InsertHintLine(1, 1, L"赠送烟花失败!");
}

void CWndRoom::OnTradeFireworksOk(int delaySeconds, int fireworksId) {
    if (fireworksId == kBigFireworks)
        InsertHintLine(1, 1, Format(L"增送大烟花成功成功,将于 %d 秒后播放!", delaySeconds).c_str());
    else if (fireworksId == kSmallFireworks)
        InsertHintLine(1, 1, Format(L"增送小烟花成功成功,将于 %d 秒后播放!", delaySeconds).c_str());
    ::SetTimer(m_hWnd, kTimerFireworks, 1000, nullptr);
}

void CWndRoom::OnMoneyTransferNotify(int senderId, int amount) {
    if (senderId == MyId()) {
        InsertHintLine(1, 1, L"操作成功!");
        RefreshExchangeBalance();
    } else {
        InsertHintLine(1, 1,
                       Format(L"用户 [%d] 向您的帐户转帐 [%d] 金币!", senderId, amount).c_str());
    }
}

void CWndRoom::OnMoneyOpFailed() {
    InsertHintLine(1, 1, L"操作失败!");
}

// The gift race and the played fireworks are drawn with the gifts the room sends
// (WndRoomGifts.cpp).
