// Requests that open their connection when needed: logon, join room, and the
// lobby and logon requests of the settings and extra services.
#include <cstring>
#include <string>

#include "kernel/CommKernel.h"
#include "kernel/Frame.h"
#include "kernel/RecordWriter.h"
#include "kernel/TMLSocket.h"
#include "config/UserLogonManager.h"
#include "session/CommKernelData.h"
#include "util/LogPrint.h"
#include "util/SysInfo.h"

using comm::FrameBuilder;
using comm::kMainLogon;
using comm::kMainRoom;

namespace {

constexpr size_t kPayload = comm::kFrameHeaderSize;
constexpr size_t kMvZhingxingMaxText = 2028;  // with its NUL: the frame is built in 2048 bytes

// The machine-data words travel with every logon and join; their last byte is 0.
void PutMachineData(FrameBuilder& f, size_t at, const CCommKernelData* data) {
    uint8_t words[CUserLogonManager::kDubaDataSize] = {0};
    if (data && data->m_pUserLogonMgr)
        std::memcpy(words, data->m_pUserLogonMgr->getDubaData(), sizeof words);
    words[sizeof words - 1] = 0;
    f.PutBytes(at, words, sizeof words);
}

void PutAdapterAddress(FrameBuilder& f, size_t at, size_t width) {
    char mac[32] = {0};
    GetMacAddress(mac);
    f.PutText(at, mac, width);
}

// A fixed-width text field of a record, read no further than its width.
std::string FieldText(const char* field, size_t width) {
    return std::string(field, strnlen(field, width));
}

}  // namespace

void CCommKernel::SendOrReconnect(int type, const void* bytes, int length, int serverIndex) {
    CTMLSocket* s = Socket(type);
    if (!s) return;
    const bool logon = type == SERVER_TYPE_LOGON;
    if (IsConnected(static_cast<_eServerType>(type))) {
        if (logon) __log_print__("tag_logon: step2: SendMsg_LoginReq2...");
        s->SendData(bytes, length);
        return;
    }
    if (logon) __log_print__("tag_logon: step3: SendMsg_LoginReq2...serverIndex=%d", serverIndex);
    s->CloseSocket();
    FrameBuilder hello = comm::HelloFrame(logon ? kMainLogon : kMainRoom);
    s->QueueData(hello.data(), hello.size());
    s->QueueData(bytes, length);
    // A connect that cannot start brings no event that would send or drop the
    // queue: left there, the frames would go out behind the next request's hello.
    if (!ConnectServer(static_cast<_eServerType>(type), serverIndex)) s->ClearQueue();
}

void CCommKernel::SendOrConnect(int type, const void* bytes, int length, int serverIndex) {
    CTMLSocket* s = Socket(type);
    if (!s) return;
    if (IsConnected(static_cast<_eServerType>(type))) {
        s->SendData(bytes, length);
    } else if (s->m_nSync == 1) {
        s->QueueData(bytes, length);
    } else {
        FrameBuilder hello = comm::HelloFrame(kMainLogon);
        s->QueueData(hello.data(), hello.size());
        s->QueueData(bytes, length);
        if (!ConnectServer(static_cast<_eServerType>(type), serverIndex)) s->ClearQueue();
    }
}

void CCommKernel::SendMsg_LoginReq2(int serverIndex) {
    if (!m_pData) return;
    const tag_LogonUserData& logon = m_pData->m_CurLogonUserData;
    FrameBuilder f(kMainLogon, 3, 100);
    f.PutI32(10, logon.nUserId);
    f.PutI32(14, m_pData->m_nLogonWord);
    f.PutI32(18, static_cast<int32_t>(_time64(nullptr)));
    f.PutText(22, FieldText(logon.szPassword, sizeof logon.szPassword).c_str(), 36);
    PutMachineData(f, 58, m_pData);
    PutAdapterAddress(f, 78, 22);
    SendOrReconnect(SERVER_TYPE_LOGON, f.data(), f.size(), serverIndex);
}

void CCommKernel::SendMsg_JoinRoomReq2(int serverIndex) {
    if (!m_pData) return;
    const tag_JoinRoomUserData& join = m_pData->m_CurJoinRoomUserData;
    FrameBuilder f(kMainRoom, 25, 115);
    f.PutI32(10, LocalUserId());
    f.PutI32(14, join.nRoomId);
    f.PutI32(18, join.nValue2);
    f.PutText(22, m_pData->m_LocalUser.password.c_str(), 36);
    f.PutText(58, FieldText(join.szPassword, sizeof join.szPassword).c_str(), 17);
    PutMachineData(f, 75, m_pData);
    PutAdapterAddress(f, 95, 20);
    SendOrReconnect(SERVER_TYPE_ROOM, f.data(), f.size(), serverIndex);
}

void CCommKernel::SendMsg_SetUserProfileReq2(tag_CMDSetUserProfileReq* r, int serverIndex) {
    if (!r) return;
    FrameBuilder f(kMainLogon, 118, kPayload + sizeof *r);
    comm::PutRecord(f, kPayload, *r);
    SendOrConnect(SERVER_TYPE_LOBBY, f.data(), f.size(), serverIndex);
}

void CCommKernel::SendMsg_SetUserPwdReq2(tag_CMDSetUserPwdReq* r, int serverIndex) {
    if (!r) return;
    FrameBuilder f(kMainLogon, 120, kPayload + sizeof *r);
    comm::PutRecord(f, kPayload, *r);
    SendOrConnect(SERVER_TYPE_LOBBY, f.data(), f.size(), serverIndex);
}

void CCommKernel::SendMsg_MvZhingxingReq2(int a, char* text, int serverIndex) {
    if (!text) return;
    const size_t withNul = std::strlen(text) + 1;
    // A longer text would not fit the frame's buffer: it is not sent.
    if (withNul > kMvZhingxingMaxText) return;
    FrameBuilder f(kMainLogon, 122, kPayload + 8 + withNul);
    f.PutI32(10, a);
    f.PutI32(14, static_cast<int32_t>(withNul));
    f.PutBytes(18, text, withNul);
    SendOrConnect(SERVER_TYPE_LOGON, f.data(), f.size(), serverIndex);
}

void CCommKernel::SendMsg_MvKuxinReq2(int a, int serverIndex) {
    FrameBuilder f(kMainLogon, 124, 14);
    f.PutI32(10, a);
    SendOrConnect(SERVER_TYPE_LOGON, f.data(), f.size(), serverIndex);
}
