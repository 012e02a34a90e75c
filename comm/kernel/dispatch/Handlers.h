// The answer handlers, by group. Each runs after the fixed part of its layout was
// found in the payload, checks what depends on counts and lengths, changes the
// model, and posts.
#pragma once

#include "kernel/Notifications.h"
#include "kernel/dispatch/Dispatch.h"

namespace comm {
namespace dispatch {

// An int32 of the payload as wParam, keeping its 32 bits.
inline WPARAM W(int32_t v) {
    return static_cast<WPARAM>(static_cast<uint32_t>(v));
}

// Forgets a user who is going: from `room`, from every room that holds his object
// (no map may keep an object that is deleted), and from the user map.
void ForgetUser(const Context& c, CRoomObj* room, int userId);

#define MIVORA_ANSWER(name) bool name(const Context& c, const Payload& p, const AnswerEntry& e)

// Posting only.
MIVORA_ANSWER(PostNothing);        // nothing but the notification: wParam 0, lParam 0
MIVORA_ANSWER(PostCopy0);          // wParam 0, copy
MIVORA_ANSWER(PostCopyIfRoom0);    // room i32[0] known: wParam i32[0], copy
MIVORA_ANSWER(PostCopyRoom0);      // wParam i32[0], copy, whatever the room
MIVORA_ANSWER(PostResultIfRoom0);  // room i32[0] known: wParam i32[0], lParam i32[4]

// Logon server (main 103).
MIVORA_ANSWER(OnLogonFailed);
MIVORA_ANSWER(OnLogonOk);
MIVORA_ANSWER(OnPrivilegeList);
MIVORA_ANSWER(OnRoomGroupListEnd);
MIVORA_ANSWER(OnRoomGroup);
MIVORA_ANSWER(OnMvZhingxingResp);

// Room, its information, texts and media.
MIVORA_ANSWER(OnJoinRoom);
MIVORA_ANSWER(OnUserListEnd);
MIVORA_ANSWER(OnRoomBaseInfo);
MIVORA_ANSWER(OnRoomMedia);
MIVORA_ANSWER(OnRoomText);
MIVORA_ANSWER(OnRoomAttr);
MIVORA_ANSWER(OnWaitMicLimits);

// Users of the room.
MIVORA_ANSWER(OnUserList);
MIVORA_ANSWER(OnUserEnter);
MIVORA_ANSWER(OnUserExit);
MIVORA_ANSWER(OnUserKickedOut);
MIVORA_ANSWER(OnUserAlias);
MIVORA_ANSWER(OnUserPriority);
MIVORA_ANSWER(OnForbidInviteUpMic);
MIVORA_ANSWER(OnSeeUserIp);

// Microphones and the wait queue.
MIVORA_ANSWER(OnPublicMics);
MIVORA_ANSWER(OnWaitMicList);
MIVORA_ANSWER(OnPublicMicChanged);
MIVORA_ANSWER(OnUpWaitMic);
MIVORA_ANSWER(OnOperateWaitMicResp);
MIVORA_ANSWER(OnWaitMicIndex);

// Gifts, fireworks, seals and money.
MIVORA_ANSWER(OnChatMsg);
MIVORA_ANSWER(OnGiftRoll);
MIVORA_ANSWER(OnLuckyGift);
MIVORA_ANSWER(OnFireworksBought);
MIVORA_ANSWER(OnFireworksFailed);
MIVORA_ANSWER(OnFireworksPicked);
MIVORA_ANSWER(OnMyWealth);
MIVORA_ANSWER(OnSendSealFailed);
MIVORA_ANSWER(OnSeal);
MIVORA_ANSWER(OnMoneyTransfer);

#undef MIVORA_ANSWER

}  // namespace dispatch
}  // namespace comm
