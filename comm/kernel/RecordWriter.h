// Writes the request records into frames field by field, little-endian.
#pragma once

#include <cstddef>

#include "kernel/CmdRecords.h"
#include "kernel/Frame.h"

namespace comm {

// Each writes the record's wire bytes at `at` and returns the byte count.
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserKickoutRoomInfo& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserMicState& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDTradeGiftRecord& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetRoomOPStatusReq& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetRoomInfoReq& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDChangePubMicStateReq& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDOperateWaitMic& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDThrowUserInfo& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserPriority& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDFavoriteRoomReq& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserAliasState& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDMoneyAndPointOp& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDRoomMediaInfo& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetUserProfileReq& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetUserPwdReq& r);
size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetRoomWaitMicMaxNumLimit& r);
// Heads only; the caller appends the text.
size_t PutRecordHead(FrameBuilder& f, size_t at, const tag_CMDRoomChatMsg& r);
size_t PutRecordHead(FrameBuilder& f, size_t at, const tag_CMDSetRoomNoticeReq& r);

}  // namespace comm
