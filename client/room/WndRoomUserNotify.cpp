// Room notifications about users and microphones: entrances, leaving, bans, ranks,
// aliases, microphone changes, the public microphone table and the room texts.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "catalogs/UserLevelInfoManager.h"
#include "controls/CtrlListFriend.h"
#include "controls/RoomCtrlUI.h"
#include "kernel/CommKernel.h"
#include "kernel/dispatch/Dispatch.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserObj.h"
#include "room/ChatLines.h"
#include "room/NotifyLines.h"
#include "room/NotifyPayload.h"
#include "room/PubVideoContainerUI.h"
#include "room/RoomSession.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"
#include "win32/files.h"
#include "win32/text.h"

using namespace DuiLib;

using roomsession::FindRoom;

namespace {

// Answers whose copies these handlers read.
constexpr uint16_t kMicStateAnswer = 75;
constexpr uint16_t kMicChangedAnswer = 102;
constexpr uint16_t kWaitMicIndexAnswer = 108;
constexpr uint16_t kThrowUserAnswer = 92;
constexpr uint16_t kPriorityAnswer = 86;

// The level of the castle's lord and lady in the level catalog's castle kind.
constexpr int kLordLevel = 101;
constexpr int kLadyLevel = 100;
// The level whose members also get banner 100.
constexpr int kBannerLevel = 38;
constexpr int kLevelBanner = 100;

int MyId() {
    CCommKernelData* data = KernelData();
    return data ? data->GetLocalUser()->userId : 0;
}

std::wstring Format(const wchar_t* fmt, int a, int b = 0) {
    return winplat::FormatText(fmt, a, b);
}

void QueueFlash(int flashId) {
    CCommKernelData* data = KernelData();
    if (!data || flashId <= 0) return;
    tag_PropsFlashPlayTaskItem task{};
    task.kind = 0;
    task.number = static_cast<uint16_t>(flashId);
    data->m_PropsTaskMgr.AddPlayTask(task);
}

// Entrance banners exist for some effect bits only; one without its picture would
// show an empty frame.
bool BannerExists(int car) {
    const std::wstring path = winplat::FormatText(L"/car_01/star_fy_%d.gif", car);
    return ::GetFileAttributesW((ChatLines::ResourceFolder() + path).c_str()) !=
           INVALID_FILE_ATTRIBUTES;
}

}  // namespace

void CWndRoom::OnUserEnterRoom(CUserObj* user) {
    CCommKernelData* data = KernelData();
    if (!user || !data) return;
    // The whole member list comes once per member: a call that changes nothing must
    // cost nothing.
    bool changed = m_pRoomUserList && m_pRoomUserList->AddUser(user);
    if (m_announcedIds.insert(user->userId).second) AnnounceEntrance(user);
    if (user->GetRoomMgrLevel() != 0 && m_pRoomMgrList && m_pRoomMgrList->AddUser(user))
        changed = true;
    if ((user->flags & (USER_FLAG_VIP_MIC | USER_FLAG_SECRET_MIC)) && m_pOnMicList &&
        m_pOnMicList->AddUser(user))
        changed = true;
    if (changed) UpdateUserListCounts();
}

void CWndRoom::AnnounceEntrance(CUserObj* user) {
    CCommKernelData* data = KernelData();
    if (!user || !data) return;
    int kind = LEVEL_KIND_USER, level = user->levels[0];
    if (user->flags & USER_FLAG_CASTLE_LORD) {
        kind = LEVEL_KIND_CASTLE;
        level = kLordLevel;
    } else if (user->flags & USER_FLAG_CASTLE_LADY) {
        kind = LEVEL_KIND_CASTLE;
        level = kLadyLevel;
    }
    tag_UserLevelDescInfo* desc = data->m_pUserLevelInfoManager
                                      ? data->m_pUserLevelInfoManager->FindLevelDesc(kind, level)
                                      : nullptr;
    const bool isMe = user->userId == MyId();
    if (desc) {
        const bool during = !m_bLoggedIn || data->m_UserEnv.m_bShiledInoutMsg;
        if (during) {
            if (desc->showFlag) {
                if (m_pPubTextOut)
                    m_pPubTextOut->WriteBlock(
                        NotifyLines::EntranceLine(*desc, user->alias, true, 0).c_str(), 0);
                if (isMe) QueueFlash(desc->flashId);
            }
        } else {
            const int welcome = desc->showFlag ? user->userId : 0;
            if (m_pPubTextOut)
                m_pPubTextOut->WriteBlock(
                    NotifyLines::EntranceLine(*desc, user->alias, false, welcome).c_str(), 0);
            QueueFlash(desc->flashId);
        }
    }
    for (int bit = 0; bit < 32; ++bit)
        if ((user->entranceEffects >> bit) & 1u)
            if (BannerExists(bit + 1)) WriteEntranceBanner(bit + 1, user);
    if (user->levels[0] == kBannerLevel && BannerExists(kLevelBanner))
        WriteEntranceBanner(kLevelBanner, user);

    if (m_bLoggedIn && data->m_UserEnv.m_bAutoWellcome && data->m_UserEnv.m_szAutoWelcome[0] &&
        !isMe)
        SendChatMsg(15, user->userId, data->m_UserEnv.m_szAutoWelcome);
    if (user->flags & USER_FLAG_PUBLIC_MIC) ShowMicVideo(user);
}

void CWndRoom::OnRoomUserListEnd() {
    InsertHintLine(1, 1, L"登陆房间成功。");
    m_bLoggedIn = 1;
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room) return;
    for (int i = 0; i < ROOM_TEXT_COUNT; ++i) {
        if (room->roomTexts[i].empty()) continue;
        const std::wstring text = winplat::AnsiToWide(room->roomTexts[i]);
        OnRoomNoticeText(i, text.c_str());
    }
}

void CWndRoom::OnPubMicInfoChanged(int index) {
    // The table has ten entries and the window three panes; an index from the network
    // beyond them changes nothing.
    if (index < 0 || index >= ROOM_PUBLIC_MIC_COUNT) {
        __log_print__("tag_room: public microphone index %d out of range\n", index);
        return;
    }
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!room || index >= 3) return;
    const std::wstring title = NotifyLines::PubMicTitle(room->pubMics[index]);
    if (!title.empty()) SetPubMicTitle(index, title.c_str());
}

void CWndRoom::SetPubMicTitle(int pane, const wchar_t* text) {
    CPubVideoContainerUI* video = PublicPane(pane);
    if (video && text) video->SetMicState(text);
}

void CWndRoom::OnRoomNoticeText(int index, const wchar_t* text) {
    if (!text || index < 0) return;
    if (index <= 2) {
        if (*text && m_pPubTextOut)
            m_pPubTextOut->WriteBlock(NotifyLines::NoticeLine(text).c_str(), 0);
    } else if (index == 3 && m_pRoomYugao) {
        m_pRoomYugao->SetText(text);
    }
}

void CWndRoom::OnUserKickedOut(int actorId, int targetId, int reason, int) {
    CCommKernelData* data = KernelData();
    if (m_bLoggedIn && data && !data->m_UserEnv.m_bShiledInoutMsg && m_pPubTextOut)
        m_pPubTextOut->WriteBlock(NotifyLines::KickLine(targetId, actorId, reason).c_str(), 0);
    m_announcedIds.erase(targetId);
    // The kernel has deleted his user object already.
    ForgetMediaUser(targetId);
    RemoveUserEverywhere(targetId);
}

void CWndRoom::OnUserExitRoom(int userId) {
    CCommKernelData* data = KernelData();
    if (m_bLoggedIn && data && !data->m_UserEnv.m_bShiledInoutMsg && m_pPubTextOut)
        m_pPubTextOut->WriteBlock(NotifyLines::ExitLine(userId).c_str(), 0);
    m_announcedIds.erase(userId);
    // The kernel has deleted his user object already.
    ForgetMediaUser(userId);
    RemoveUserEverywhere(userId);
}

void CWndRoom::OnUserMicStateChanged(const char* payload) {
    const NotifyPayload p(payload, kMicStateAnswer);
    CRoomObj* room = FindRoom(m_nRoomId);
    if (!p.Valid() || !room) return;
    CUserObj* actor = room->FindUser(p.I32(4));
    CUserObj* target = room->FindUser(p.I32(8));
    if (!target) return;
    const uint8_t micFlags = p.U8(12);
    const int index = p.U8(13);
    const int oldState = NotifyLines::MicStateOfFlags(target->flags);
    const int newState = NotifyLines::MicStateOfPayload(micFlags);
    const bool indexValid = index < ROOM_PUBLIC_MIC_COUNT;
    if (newState == 1 && !indexValid)
        __log_print__("tag_room: microphone index %d out of range\n", index);

    // Only the microphone bits: the byte must not make anybody a manager or a lord.
    constexpr uint32_t kMicBits =
        USER_FLAG_PUBLIC_MIC | USER_FLAG_VIP_MIC | USER_FLAG_SECRET_MIC | USER_FLAG_OTHER_MIC;
    target->flags = (target->flags & ~kMicBits) | (micFlags & kMicBits);
    target->micIndex = USER_NO_PUBLIC_MIC;
    if (newState == 1 && indexValid) target->micIndex = static_cast<uint8_t>(index);

    const bool isMe = target->userId == MyId();
    if (isMe && m_pRoomCtrl) {
        const bool onMic = (micFlags & kMicBits) != 0;
        if (m_pRoomCtrl->m_pDownMicBtn) m_pRoomCtrl->m_pDownMicBtn->SetVisible(onMic);
        if (m_pRoomCtrl->m_pUpMicBtn) m_pRoomCtrl->m_pUpMicBtn->SetVisible(!onMic);
    }

    if (newState == 1 && oldState != 1 && indexValid) {
        tag_PubMicInfo& mic = room->pubMics[index];
        mic.userId = target->userId;
        // Minutes per turn from the network: a turn longer than the seconds field holds
        // is held at its largest, never turned negative (which ends the turn at once).
        const int32_t seconds = int32_t{mic.micType} * 60;
        mic.micTime = static_cast<int16_t>(std::clamp<int32_t>(seconds, INT16_MIN, INT16_MAX));
        mic.startTime = comm::dispatch::Now();
    } else if (oldState == 1 && newState != 1) {
        for (int i = 0; i < 3; ++i) {
            if (room->pubMics[i].userId != target->userId) continue;
            room->pubMics[i].userId = 0;
            room->pubMics[i].micTime = 0;
            break;
        }
    }

    if (newState == 1) {
        // The pane publishes the local user at once: his graphs must exist by then.
        if (isMe) BuildCaptureGraphs();
        ShowMicVideo(target);
    } else if (newState == 2 || newState == 3) {
        if (isMe) {
            BuildCaptureGraphs();
            OpenUserVideoWnd(target, newState == 3);
        }
    } else if (oldState == 1) {
        CloseMicPane(target->userId);
    } else if (oldState == 2 || oldState == 3) {
        CloseUserMedia(target->userId);
    }

    if (m_pOnMicList) {
        if (newState == 0)
            m_pOnMicList->RemoveUser(target->userId, 0);
        else if (newState == 2 || newState == 3)
            m_pOnMicList->AddUser(target);
    }
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList})
        if (list) list->UpdateUser(target);
    UpdateUserListCounts();

    const bool byOther = actor && actor != target;
    const std::wstring text =
        NotifyLines::MicChangeText(oldState, newState, byOther, target->userId);
    if (text.empty() || !m_pPrivTextOut) return;
    std::wstring line = NotifyLines::kMicHintDiv;
    FormatUserLink(target->userId, target, nullptr, isMe, line);
    if (byOther) {
        line += L"被";
        FormatUserLink(actor->userId, actor, nullptr, actor->userId == MyId(), line);
    }
    line += text + L"</DIV>";
    m_pPrivTextOut->WriteBlock(line.c_str(), 0);
}

void CWndRoom::OnMicStateFailed(const char*) {
    InsertHintLine(1, 1, L"上麦或下麦操作失败");
}

void CWndRoom::OnMicTypeChanged(const char* payload) {
    const NotifyPayload p(payload, kMicChangedAnswer);
    if (!p.Valid()) return;
    const int managerId = p.I32(4);
    const int index = p.U8(8);
    const int op = p.U8(9);
    const int value = p.I16(10);
    if (op == 2) {
        const std::wstring text = NotifyLines::MicTypeText(index, value);
        if (text.empty() || !m_pPrivTextOut) return;
        CRoomObj* room = FindRoom(m_nRoomId);
        std::wstring line = std::wstring(NotifyLines::kMicHintDiv) + L"管理员";
        FormatUserLink(managerId, room ? room->FindUser(managerId) : nullptr, nullptr,
                       managerId == MyId(), line);
        line += text + L"</DIV>";
        m_pPrivTextOut->WriteBlock(line.c_str(), 0);
    } else if (op == 1) {
        InsertHintLine(1, 1,
                       Format(L"您的麦时被管理员[ %d ]延长了 %d 分钟", managerId, value).c_str());
    }
}

void CWndRoom::OnWaitMicIndexChanged(const char* payload) {
    const NotifyPayload p(payload, kWaitMicIndexAnswer);
    if (!p.Valid()) return;
    const int managerId = p.I32(4);
    const int position = p.I16(12) + 1;
    const int op = p.I16(16);
    std::wstring hint;
    switch (op) {
        case 1:
            hint = Format(
                L"您的第 %d 排麦位置被 管理员[%d] 向前提升一位！有疑问请去 10000 房间找客服帮忙.",
                position, managerId);
            break;
        case 2:
            hint = Format(
                L"您的第 %d 排麦位置被 管理员[%d] 向后下升一位！有疑问请去 10000 房间找客服帮忙.",
                position, managerId);
            break;
        case 3:
            hint = Format(
                L"您的第 %d 排麦位置被 管理员[%d] 提升到麦序第一位！有疑问请去 10000 "
                L"房间找客服帮忙.",
                position, managerId);
            break;
        case 4:
            hint = Format(
                L"您的第 %d 排麦位置被 管理员[%d] 下降到麦序最后一位！有疑问请去 10000 "
                L"房间找客服帮忙.",
                position, managerId);
            break;
        case -1:
            hint = Format(L"您的第 %d 排麦位置被 管理员[%d] 取消！有疑问请去 10000 房间找客服帮忙.",
                          position, managerId);
            break;
        case -2:
            hint = Format(L"您的所有排麦位置被 管理员[%d] 取消！有疑问请去 10000 房间找客服帮忙.",
                          managerId);
            break;
        default:
            break;
    }
    if (!hint.empty()) InsertHintLine(1, 1, hint.c_str());
}

void CWndRoom::OnUserBanned(const char* payload) {
    const NotifyPayload p(payload, kThrowUserAnswer);
    if (!p.Valid()) return;
    const int managerId = p.I32(4);
    const int userId = p.I32(8);
    const int kind = p.U8(12);
    std::wstring hint;
    if (userId == MyId()) {
        if (kind == 1)
            hint = Format(
                L"你因违反房间规定被 管理员[%d] 进行了 房间封杀！有疑问请去 10000 房间找客服帮忙.",
                managerId);
        if (kind == 2)
            hint = Format(
                L"你因违反房间规定被 管理员[%d] 进行了 全站封杀！有疑问请去 10000 房间找客服帮忙.",
                managerId);
    } else {
        if (kind == 1)
            hint = Format(L"用户[%d] 因违反房间规定被 管理员[%d] 进行了 房间封杀！", userId,
                          managerId);
        if (kind == 2)
            hint = Format(L"用户[%d] 因违反房间规定被 管理员[%d] 进行了 全站封杀！", userId,
                          managerId);
    }
    if (!hint.empty()) InsertHintLine(1, 1, hint.c_str());
}

void CWndRoom::OnUserPriorityChanged(const char* payload) {
    const NotifyPayload p(payload, kPriorityAnswer);
    CRoomObj* room = FindRoom(m_nRoomId);
    CUserObj* user = p.Valid() && room ? room->FindUser(p.I32(8)) : nullptr;
    if (!user) return;
    const int op = p.U8(12);
    if (op == 1 && m_pRoomMgrList)
        m_pRoomMgrList->AddUser(user);
    else if (op == 2 && m_pRoomMgrList && user->GetRoomMgrLevel() == 0)
        m_pRoomMgrList->RemoveUser(user->userId, 0);
    // The rank is part of the sort order: refilling the row in place would keep it
    // where the old rank put it.
    ResortUserRows(user);
    if (m_pWaitMicList && m_pWaitMicList->HasUser(user->userId)) m_pWaitMicList->UpdateUser(user);
    UpdateUserListCounts();
}

void CWndRoom::ResortUserRows(CUserObj* user) {
    if (!user) return;
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pRoomMgrList}) {
        if (!list || !list->HasUser(user->userId)) continue;
        list->RemoveUser(user->userId, 0);
        list->AddUser(user);
    }
}

void CWndRoom::OnUserAliasChanged(int userId) {
    CRoomObj* room = m_nRoomId ? FindRoom(m_nRoomId) : nullptr;
    CUserObj* user = room ? room->FindUser(userId) : nullptr;
    if (!user) return;
    for (CCtrlListFriend* list : {m_pRoomUserList, m_pWaitMicList, m_pRoomMgrList})
        if (list) list->UpdateUser(user);
    RecaptionMediaUser(user);
}
