#include "kernel/RecordWriter.h"

namespace comm {

namespace {

// Writes consecutive fields and counts the bytes.
class Cursor {
public:
    Cursor(FrameBuilder& f, size_t at) : m_f(f), m_start(at), m_at(at) {}
    Cursor& i32(int32_t v) {
        m_f.PutI32(m_at, v);
        m_at += 4;
        return *this;
    }
    Cursor& u32(uint32_t v) {
        m_f.PutU32(m_at, v);
        m_at += 4;
        return *this;
    }
    Cursor& i16(int16_t v) {
        m_f.PutI16(m_at, v);
        m_at += 2;
        return *this;
    }
    Cursor& u16(uint16_t v) {
        m_f.PutU16(m_at, v);
        m_at += 2;
        return *this;
    }
    Cursor& u8(uint8_t v) {
        m_f.PutU8(m_at, v);
        m_at += 1;
        return *this;
    }
    // A fixed field is copied as it stands, terminator or not.
    template <size_t N>
    Cursor& bytes(const char (&field)[N]) {
        m_f.PutBytes(m_at, field, N);
        m_at += N;
        return *this;
    }
    template <size_t N>
    Cursor& bytes(const uint8_t (&field)[N]) {
        m_f.PutBytes(m_at, field, N);
        m_at += N;
        return *this;
    }
    size_t count() const { return m_at - m_start; }

private:
    FrameBuilder& m_f;
    size_t m_start;
    size_t m_at;
};

}  // namespace

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserKickoutRoomInfo& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.actorId)
        .i32(r.userId)
        .i32(r.reserved)
        .u8(r.kind)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserMicState& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.actorId)
        .i32(r.targetId)
        .i16(r.kind)
        .u8(r.micIndex)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDTradeGiftRecord& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.senderId)
        .i32(r.targetId)
        .i32(r.giftId)
        .i32(r.count)
        .u8(r.flag0)
        .u8(r.flag1)
        .u8(r.anonymous)
        .u8(r.flag3)
        .bytes(r.reserved)
        .bytes(r.senderAlias)
        .bytes(r.targetAlias)
        .bytes(r.words)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetRoomOPStatusReq& r) {
    return Cursor(f, at).i32(r.roomId).i32(r.userId).u32(r.statusFlags).count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetRoomInfoReq& r) {
    Cursor c(f, at);
    c.i32(r.roomId).i32(r.userId).i32(r.creatorId);
    for (int i = 0; i < 4; ++i) c.i32(r.deputyOwnerIds[i]);
    return c.i32(r.passwordFlag).bytes(r.roomName).bytes(r.password).count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDChangePubMicStateReq& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.userId)
        .u8(r.micIndex)
        .u8(r.operation)
        .i16(r.value)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDOperateWaitMic& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.userId)
        .i32(r.targetId)
        .i32(r.position)
        .i16(r.operation)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDThrowUserInfo& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.userId)
        .i32(r.targetId)
        .u8(r.scope)
        .u8(r.sanctions)
        .u8(r.period)
        .u8(r.reason)
        .bytes(r.reserved)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserPriority& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.userId)
        .i32(r.targetId)
        .u8(r.operation)
        .u8(r.kind)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDFavoriteRoomReq& r) {
    return Cursor(f, at).i32(r.roomId).i32(r.userId).count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDUserAliasState& r) {
    return Cursor(f, at).i32(r.roomId).i32(r.userId).i32(r.faceId).bytes(r.alias).count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDMoneyAndPointOp& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.userId)
        .i32(r.targetId)
        .i32(r.amount)
        .u8(r.operation)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDRoomMediaInfo& r) {
    return Cursor(f, at).i32(r.roomId).i32(r.userId).bytes(r.mediaAddr).count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetUserProfileReq& r) {
    return Cursor(f, at)
        .i32(r.userId)
        .i32(r.faceId)
        .u8(r.sex)
        .bytes(r.alias)
        .bytes(r.reserved)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetUserPwdReq& r) {
    return Cursor(f, at)
        .i32(r.userId)
        .u8(r.kind)
        .bytes(r.oldPassword)
        .bytes(r.newPassword)
        .bytes(r.reserved)
        .count();
}

size_t PutRecord(FrameBuilder& f, size_t at, const tag_CMDSetRoomWaitMicMaxNumLimit& r) {
    return Cursor(f, at).i32(r.roomId).i32(r.userId).i32(r.limits[0]).i32(r.limits[1]).count();
}

size_t PutRecordHead(FrameBuilder& f, size_t at, const tag_CMDRoomChatMsg& r) {
    return Cursor(f, at)
        .i32(r.roomId)
        .i32(r.senderId)
        .i32(r.targetId)
        .u8(r.senderLevel)
        .u8(r.kind)
        .u16(r.textLen)
        .bytes(r.senderAlias)
        .bytes(r.targetAlias)
        .bytes(r.roomName)
        .count();
}

size_t PutRecordHead(FrameBuilder& f, size_t at, const tag_CMDSetRoomNoticeReq& r) {
    return Cursor(f, at).i32(r.roomId).i32(r.userId).u8(r.kind).u16(r.textLen).count();
}

}  // namespace comm
