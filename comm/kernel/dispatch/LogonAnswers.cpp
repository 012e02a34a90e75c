// Answers of the logon server: logon, privileges, room groups, profile services.
#include <cstring>

#include "kernel/dispatch/Handlers.h"
#include "kernel/KernelDefs.h"
#include "model/FixedText.h"
#include "model/RoomGroupManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserManager.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"

namespace comm {
namespace dispatch {

namespace {
constexpr size_t kPrivilegeEntrySize = 10;
constexpr size_t kGroupNameAt = 20;
constexpr size_t kGroupAddressAt = 37;
}  // namespace

bool OnLogonFailed(const Context& c, const Payload& p, const AnswerEntry& e) {
    if (!c.notifyWnd) return true;
    // Reason code first, then the two further words.
    char* reasons = new char[12];
    for (int i = 0; i < 3; ++i) {
        int32_t v = p.I32(static_cast<size_t>(i) * 4);
        std::memcpy(reasons + i * 4, &v, 4);
    }
    c.PostArray(e.msg, 0, reasons);
    return true;
}

bool OnLogonOk(const Context& c, const Payload& p, const AnswerEntry& e) {
    // Only the logon server logs on: the same answer from the lobby or a room would
    // rewrite the local user in the middle of a session.
    if (c.serverType == SERVER_TYPE_LOBBY || c.serverType == SERVER_TYPE_ROOM) {
        __log_print__("tag_dispatch: a logon answer on connection type %d is ignored\n",
                      c.serverType);
        return true;
    }
    CCommKernelData* d = c.data;
    CUserObj& me = d->m_LocalUser;
    CUserManager* users = d->m_pUserManager;
    int32_t newId = p.I32(28);
    // A member the room window lists is deleted only when it is told he left.
    if (CRoomObj* room = c.CurrentRoom(); room && newId != me.userId && room->FindUser(newId)) {
        __log_print__("tag_dispatch: a logon answer names room member %d; ignored\n", newId);
        return true;
    }
    // The local user is registered under his new id only: an earlier registration
    // goes, and so does another object known under that id (it would be lost).
    if (users->FindUser(me.userId) == &me) users->DelUser(me.userId);
    if (CUserObj* other = users->FindUser(newId); other && other != &me)
        ForgetUser(c, nullptr, newId);
    me.ClearData();
    me.money = p.I64(0);
    me.points = p.I64(8);
    me.accountData[0] = p.I32(16);
    me.accountData[1] = p.I32(20);
    me.userId = p.I32(28);
    me.logonValue1 = p.I32(32);
    me.logonValue3 = p.I32(36);
    d->m_nLogonWord2 = p.I32(40);
    d->m_nVersionWord = p.I32(44);
    me.faceId = p.I32(48);
    for (int i = 0; i < 8; ++i) me.levels[i] = p.U8(52 + static_cast<size_t>(i));
    me.sex = p.U8(60);
    me.logonValue2 = p.U8(61);
    me.entryFlag0 = p.U8(62);
    me.alias = p.Text(63, 17);
    me.forbidCarryToMic = false;
    me.password =
        FixedFieldText(d->m_CurLogonUserData.szPassword, sizeof d->m_CurLogonUserData.szPassword);
    users->AddUser(&me);
    c.PostCopy(e.msg, 0, p);
    return true;
}

bool OnPrivilegeList(const Context& c, const Payload& p, const AnswerEntry&) {
    size_t count = p.U16(0);
    if (!p.Has(2, count * kPrivilegeEntrySize)) return false;
    for (size_t i = 0; i < count; ++i) {
        size_t at = 2 + i * kPrivilegeEntrySize;
        c.data->m_pUserMVManager->AddPrivilege(2, p.U8(at), p.U8(at + 1), p.I32(at + 2),
                                               p.I32(at + 6));
    }
    return true;
}

bool OnRoomGroupListEnd(const Context& c, const Payload&, const AnswerEntry& e) {
    c.data->m_pRoomGroupManager->CalcRoomGroupUserNum();
    c.Post(e.msg, 0, 0);
    return true;
}

bool OnRoomGroup(const Context& c, const Payload& p, const AnswerEntry&) {
    tag_RoomGroupData group;
    std::memset(&group, 0, sizeof group);
    group.groupId = p.I32(4);
    group.parentId = p.I32(8);
    group.userNum = p.I32(12);
    group.showCount = p.U8(16);
    group.hasChildren = 0;
    group.extraFlag = p.U8(17);
    SetFixedFieldText(group.groupName, sizeof group.groupName,
                      p.Text(kGroupNameAt, sizeof group.groupName).c_str());
    SetFixedFieldText(group.groupAddress, sizeof group.groupAddress,
                      p.Text(kGroupAddressAt, sizeof group.groupAddress).c_str());
    c.data->m_pRoomGroupManager->AddRoomGroupData(&group);
    return true;
}

bool OnMvZhingxingResp(const Context& c, const Payload& p, const AnswerEntry& e) {
    c.Post(e.msg, W(p.I32(4)), 0);
    return true;
}

}  // namespace dispatch
}  // namespace comm
