// Requests on the room connection (main command 105) and the lobby keep-alive.
#include "kernel/CommKernel.h"
#include "kernel/Frame.h"
#include "kernel/RecordWriter.h"
#include "kernel/TMLSocket.h"
#include "session/CommKernelData.h"

using comm::FrameBuilder;
using comm::kMainRoom;

namespace {

constexpr size_t kPayload = comm::kFrameHeaderSize;

// A frame holding one request record as its whole payload.
template <typename Record>
FrameBuilder RecordFrame(uint16_t sub, const Record& r) {
    FrameBuilder f(kMainRoom, sub, kPayload + sizeof(Record));
    comm::PutRecord(f, kPayload, r);
    return f;
}

}  // namespace

void CCommKernel::SendMsg_RoomPingReq() {
    FrameBuilder f(kMainRoom, 2, 18);
    f.PutI32(10, LocalUserId());
    f.PutI32(14, 0);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_ExitRoomReq(int roomId) {
    FrameBuilder f(kMainRoom, 34, 18);
    f.PutI32(10, LocalUserId());
    f.PutI32(14, roomId);
    SendRoom(f.data(), f.size());
    // The room server closes the connection after this; that close is expected.
    if (CTMLSocket* s = Socket(SERVER_TYPE_ROOM)) s->m_bNotifyClose = 0;
}

void CCommKernel::SendMsg_KickoutUserReq(tag_CMDUserKickoutRoomInfo* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(37, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_RoomChatReq(tag_CMDRoomChatMsg* r) {
    // A length beyond the record's text would send bytes that are not the caller's.
    if (!r || r->textLen > kRoomChatMaxText) return;
    const size_t textLen = r->textLen;
    FrameBuilder f(kMainRoom, 43, kPayload + kRoomChatHeadSize + textLen);
    size_t head = comm::PutRecordHead(f, kPayload, *r);
    f.PutBytes(kPayload + head, r->text, textLen);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_TradeGiftReq(tag_CMDTradeGiftRecord* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(46, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_TradeFireworksReq(int a, int b) {
    FrameBuilder f(kMainRoom, 54, 24);
    f.PutI32(10, CurRoomId());
    f.PutI32(14, LocalUserId());
    f.PutU16(18, static_cast<uint16_t>(a));
    f.PutU16(20, static_cast<uint16_t>(b));
    f.PutU16(22, 0);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetRoomMediaReq(tag_CMDRoomMediaInfo* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(65, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_RoomConnMediaReq(int a, int b, int c) {
    FrameBuilder f(kMainRoom, 69, 23);
    f.PutI32(10, a);
    f.PutI32(14, LocalUserId());
    f.PutI32(18, b);
    f.PutU8(22, static_cast<uint8_t>(c));
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_RoomConnMediaResp(int a, int b) {
    FrameBuilder f(kMainRoom, 70, 23);
    f.PutI32(10, a);
    f.PutI32(14, b);
    f.PutI32(18, LocalUserId());
    f.PutU8(22, 1);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_RoomConnMediaErr(int a, int b) {
    FrameBuilder f(kMainRoom, 71, 23);
    f.PutI32(10, a);
    f.PutI32(14, b);
    f.PutI32(18, LocalUserId());
    f.PutU8(22, 1);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetMicStateReq(tag_CMDUserMicState* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(72, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_ChangeUserAliasStateReq(tag_CMDUserAliasState* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(80, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetUserPriorityReq(tag_CMDUserPriority* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(84, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SeeUserIpReq(unsigned userId) {
    FrameBuilder f(kMainRoom, 87, 26);
    f.PutI32(10, CurRoomId());
    f.PutI32(14, LocalUserId());
    f.PutU32(18, userId);
    f.PutI32(22, 0);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_AddUserToBlackListReq(tag_CMDThrowUserInfo* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(90, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SendSealReq(unsigned userId, unsigned sealId) {
    FrameBuilder f(kMainRoom, 93, 26);
    f.PutI32(10, LocalUserId());
    f.PutI32(14, CurRoomId());
    f.PutU32(18, userId);
    f.PutU16(22, static_cast<uint16_t>(sealId));
    f.PutU16(24, 0);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_CollectRoomReq(tag_CMDFavoriteRoomReq* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(98, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_ChangePubMicStateReq(tag_CMDChangePubMicStateReq* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(100, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_UpWaitMicReq(unsigned a, unsigned b) {
    FrameBuilder f(kMainRoom, 103, 18);
    f.PutU32(10, a);
    f.PutU32(14, b);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_OperateWaitMicIndxReq(tag_CMDOperateWaitMic* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(106, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetRoomBaseInfoReq(tag_CMDSetRoomInfoReq* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(112, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetRoomOPStatusReq(tag_CMDSetRoomOPStatusReq* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(114, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetRoomNoticeReq(tag_CMDSetRoomNoticeReq* r) {
    if (!r || r->textLen > kRoomNoticeMaxText) return;
    const size_t textLen = r->textLen;
    FrameBuilder f(kMainRoom, 116, kPayload + kRoomNoticeHeadSize + textLen);
    size_t head = comm::PutRecordHead(f, kPayload, *r);
    f.PutBytes(kPayload + head, r->text, textLen);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetUserPwdReq3(tag_CMDSetUserPwdReq* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(120, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_MoneyAndPointOpReq(tag_CMDMoneyAndPointOp* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(126, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetRoomWaitMicMaxNumLimit(tag_CMDSetRoomWaitMicMaxNumLimit* r) {
    if (!r) return;
    FrameBuilder f = RecordFrame(130, *r);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_SetForbidInviteUpMicReq() {
    FrameBuilder f(kMainRoom, 133, 22);
    f.PutI32(10, CurRoomId());
    f.PutI32(14, LocalUserId());
    f.PutI32(18, m_pData && m_pData->m_LocalUser.forbidCarryToMic ? 1 : 0);
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_OpenChestReq(int a) {
    FrameBuilder f(kMainRoom, 143, 19);
    f.PutI32(10, CurRoomId());
    f.PutI32(14, LocalUserId());
    f.PutU8(18, static_cast<uint8_t>(a));
    SendRoom(f.data(), f.size());
}

void CCommKernel::SendMsg_LobbyPingReq() {
    FrameBuilder f(comm::kMainLobbyKeepAlive, 2, 18);
    f.PutI32(10, LocalUserId());
    f.PutI32(14, 0);
    if (CTMLSocket* s = Socket(SERVER_TYPE_LOBBY)) s->SendData(f.data(), f.size());
}
