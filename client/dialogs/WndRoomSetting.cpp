#include "dialogs/WndRoomSetting.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

#include "app/RoomView.h"
#include "app/SkinFrame.h"
#include "config/GLobalConfigFile.h"
#include "controls/KernelData.h"
#include "dialogs/AdminInput.h"
#include "dialogs/WebFrame.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"
#include "win32/text.h"

using namespace DuiLib;
using admininput::FieldFit;

namespace {

const SkinWndTraits kTraits = {"CWndRoomSetting", L"WndRoomSetting.xml",   kMsgStandard,
                               ScClose::kClose,   Lifetime::kSelfDeleting, false};

// Record widths, terminator not counted.
constexpr size_t kNameBytes = 31;
constexpr size_t kPasswordBytes = 16;
constexpr size_t kNoticeBytes = 1017;
constexpr size_t kMediaBytes = 128;

const wchar_t kSubmitted[] = L"数据已提交！";
const wchar_t kBadId[] = L"输入id错误!";
const wchar_t kTooLong[] = L"输入内容太长!";
const wchar_t kUnsupported[] = L"含有不支持的字符!";
const wchar_t kBadMedia[] = L"媒体服务器地址输入错误!";

// The status switches the base page shows; the room's other status bits are kept.
struct StatusBox {
    uint32_t bit;
    const wchar_t* name;
};
const StatusBox kStatusBoxes[] = {
    {0x01, L"chkClosePublicChat"},   {0x02, L"chkClosePrivateChat"}, {0x10, L"chkClosePublicVideo"},
    {0x20, L"chkClosePrivateVideo"}, {0x40, L"chkOpenAutoUpMic"},    {0x80, L"chkOpenWaitMic"},
};
const wchar_t* const kDeputyEdits[4] = {L"edtop1", L"edtop2", L"edtop3", L"edtop4"};
const wchar_t* const kTextEdits[4] = {L"inputtext1", L"inputtext2", L"inputtext3", L"inputjiemu"};
const wchar_t* const kHostEdits[4] = {L"edtsvrip1", L"edtsvrip2", L"edtsvrip3", L"edtsvrip4"};
const wchar_t* const kPortEdits[4] = {L"edtsvrport1", L"edtsvrport2", L"edtsvrport3",
                                      L"edtsvrport4"};
const wchar_t* const kPageButtons[5] = {L"swroombase", L"swroomnoticy", L"swroomguanli",
                                        L"swroomjiemu", L"swroommedia"};

void Hint(const wchar_t* text) {
    if (IRoomView* room = CurrentRoomView()) room->InsertHintLine(1, 1, text);
}

void Refused() {
    Hint(CErrorMessage::m_szErrText[0]);
}

// The refusal of a text that does not fit; true when it fits.
bool CheckFit(FieldFit fit) {
    if (fit == FieldFit::kTooLong) Hint(kTooLong);
    if (fit == FieldFit::kUnsupported) Hint(kUnsupported);
    return fit == FieldFit::kFits;
}

template <size_t N>
void CopyField(char (&field)[N], const std::string& bytes) {
    std::memset(field, 0, N);
    std::memcpy(field, bytes.data(), std::min(bytes.size(), N));
}

std::wstring Decimal(int value) {
    return std::to_wstring(value);
}

}  // namespace

const SkinWndTraits& CWndRoomSetting::Traits() const {
    return kTraits;
}

std::wstring CWndRoomSetting::TextOf(const wchar_t* name) const {
    CControlUI* c = Find(name);
    return c ? std::wstring(c->GetText().GetData()) : std::wstring();
}

void CWndRoomSetting::SetTextOf(const wchar_t* name, const std::wstring& text) {
    if (CControlUI* c = Find(name)) c->SetText(text.c_str());
}

bool CWndRoomSetting::IsChecked(const wchar_t* name) const {
    CControlUI* c = Find(name);
    auto* box = c ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr;
    return box && box->GetCheck();
}

void CWndRoomSetting::SetChecked(const wchar_t* name, bool checked) {
    CControlUI* c = Find(name);
    if (auto* box = c ? static_cast<CCheckBoxUI*>(c->GetInterface(L"CheckBox")) : nullptr)
        box->SetCheck(checked, false);
}

void CWndRoomSetting::InitWindow() {
    CSkinWnd::InitWindow();
    ApplySkinFrame(m_pWinBG);
    if (CControlUI* c = Find(L"switch"))
        m_pSwitch = static_cast<CTabLayoutUI*>(c->GetInterface(L"TabLayout"));
    if (CControlUI* c = Find(L"webroomadmin"))
        m_pWebAdmin = static_cast<CWebBrowserUI*>(c->GetInterface(L"WebBrowser"));
    if (CRoomObj* room = CurrentRoom()) Fill(*room);
}

void CWndRoomSetting::Fill(const CRoomObj& room) {
    SetTextOf(L"edtname", winplat::AnsiToWide(room.roomName));
    SetTextOf(L"edtcreator", Decimal(room.ownerId));
    SetTextOf(L"edtpwd", winplat::AnsiToWide(room.joinText));
    SetChecked(L"chkmvmima", !room.baseFlag);
    for (int i = 0; i < 4; ++i) SetTextOf(kDeputyEdits[i], Decimal(room.deputyOwnerIds[i]));
    for (const StatusBox& b : kStatusBoxes) SetChecked(b.name, (room.roomFlags & b.bit) != 0);
    for (int i = 0; i < 4; ++i) SetTextOf(kTextEdits[i], winplat::AnsiToWide(room.roomTexts[i]));
    for (int i = 0; i < 4; ++i) {
        const std::string& host = room.mediaHosts[i];
        SetTextOf(kHostEdits[i], host.empty() ? L"0.0.0.0" : winplat::AnsiToWide(host));
        SetTextOf(kPortEdits[i], Decimal(room.mediaPorts[i]));
    }
}

void CWndRoomSetting::ShowPage(int page) {
    if (!m_pSwitch || m_pSwitch->GetCurSel() == page) return;
    m_pSwitch->SelectItem(page);
    if (page == 2) OpenAdminPage();
}

void CWndRoomSetting::OpenAdminPage() {
    CCommKernelData* data = KernelData();
    if (!m_pWebAdmin || !data) return;
    // The password is sent as its code-page bytes, encoded: it may hold "&", "#", "%"
    // or bytes beyond ASCII. The address is never traced.
    const CUserObj& me = *data->GetLocalUser();
    const std::wstring tail = winplat::FormatText(L"&roomid=%d&time=%d", data->m_nCurRoomId,
                                                  static_cast<int>(::timeGetTime()));
    const std::wstring address = std::wstring(GlobalConfig().vcbmanager_url) + L"?userid=" +
                                 Decimal(me.userId) + L"&userpwd=" +
                                 admininput::PercentEncode(me.password) + tail;
    m_pWebAdmin->Navigate2(address.c_str());
}

void CWndRoomSetting::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    const CDuiString& name = sender->GetName();
    for (int page = 0; page < 5; ++page)
        if (name == kPageButtons[page]) ShowPage(page);
    if (sender == m_pCloseBtn)
        Close(1);
    else if (name == L"btnSubmitRoomInfo")
        SubmitBase();
    else if (name == L"btnSubmitRoomNotice")
        SubmitTexts(0, 2);
    else if (name == L"btnSubmitRoomJieMu")
        SubmitTexts(3, 3);
    else if (name == L"btnSubmitMedia")
        SubmitMedia();
}

void CWndRoomSetting::SubmitBase() {
    CCommKernelData* data = KernelData();
    CRoomObj* room = CurrentRoom();
    const bool info = LocalUserAllowed(PRIV_ROOM_BASE_INFO);
    const bool status = LocalUserAllowed(PRIV_ROOM_OP_STATUS);
    const bool owner = LocalUserAllowed(PRIV_ROOM_CREATOR);
    if (!data || !room || (!info && !status && !owner)) {
        Refused();
        return;
    }
    const int32_t me = data->GetLocalUser()->userId;

    // Everything is checked before either request goes: a typo must not remove the
    // owner, and half a submit would leave the room half changed.
    tag_CMDSetRoomInfoReq base{};
    if (info || owner) {
        base.roomId = room->roomId;
        base.userId = me;
        base.creatorId = room->ownerId;
        if (owner && !admininput::ParseUserId(TextOf(L"edtcreator"), false, base.creatorId)) {
            Hint(kBadId);
            return;
        }
        for (int i = 0; i < 4; ++i)
            if (!admininput::ParseUserId(TextOf(kDeputyEdits[i]), true, base.deputyOwnerIds[i])) {
                Hint(kBadId);
                return;
            }
        base.passwordFlag = IsChecked(L"chkmvmima") ? 0 : 1;
        std::string name, password;
        if (!CheckFit(admininput::ToCodePageField(TextOf(L"edtname"), kNameBytes, name)) ||
            !CheckFit(admininput::ToCodePageField(TextOf(L"edtpwd"), kPasswordBytes, password)))
            return;
        CopyField(base.roomName, name);
        CopyField(base.password, password);
    }

    CCommKernel* kernel = CCommKernel::GetInstance();
    if (status) {
        // Only the six switches shown here change; the room's other bits go back as stored.
        uint32_t flags = room->roomFlags;
        for (const StatusBox& b : kStatusBoxes) {
            flags &= ~b.bit;
            if (IsChecked(b.name)) flags |= b.bit;
        }
        tag_CMDSetRoomOPStatusReq req{data->m_nCurRoomId, me, flags};
        kernel->SendMsg_SetRoomOPStatusReq(&req);
    }
    if (info || owner) kernel->SendMsg_SetRoomBaseInfoReq(&base);
    Hint(kSubmitted);
}

void CWndRoomSetting::SubmitTexts(int firstKind, int lastKind) {
    CCommKernelData* data = KernelData();
    CRoomObj* room = CurrentRoom();
    if (!data || !room || !LocalUserAllowed(PRIV_ROOM_OP_STATUS)) {
        Refused();
        return;
    }
    std::string texts[4];
    for (int kind = firstKind; kind <= lastKind; ++kind)
        if (!CheckFit(
                admininput::ToCodePageField(TextOf(kTextEdits[kind]), kNoticeBytes, texts[kind])))
            return;
    CCommKernel* kernel = CCommKernel::GetInstance();
    for (int kind = firstKind; kind <= lastKind; ++kind) {
        if (texts[kind] == room->roomTexts[kind]) continue;
        tag_CMDSetRoomNoticeReq req{};
        req.roomId = data->m_nCurRoomId;
        req.userId = data->GetLocalUser()->userId;
        req.kind = static_cast<uint8_t>(kind);
        req.textLen = static_cast<uint16_t>(texts[kind].size());
        std::memcpy(req.text, texts[kind].data(), texts[kind].size());
        kernel->SendMsg_SetRoomNoticeReq(&req);
    }
    Hint(kSubmitted);
}

void CWndRoomSetting::SubmitMedia() {
    CCommKernelData* data = KernelData();
    if (!data || !LocalUserAllowed(PRIV_ROOM_MEDIA_SETTINGS)) {
        Refused();
        return;
    }
    std::wstring hosts[4], ports[4], joined;
    for (int i = 0; i < 4; ++i) {
        hosts[i] = TextOf(kHostEdits[i]);
        ports[i] = TextOf(kPortEdits[i]);
    }
    if (!admininput::JoinMediaList(hosts, ports, joined)) {
        Hint(kBadMedia);
        return;
    }
    std::string bytes;
    if (!CheckFit(admininput::ToCodePageField(joined, kMediaBytes, bytes))) return;
    tag_CMDRoomMediaInfo req{};
    req.roomId = data->m_nCurRoomId;
    req.userId = data->GetLocalUser()->userId;
    std::memcpy(req.mediaAddr, bytes.data(), bytes.size());
    CCommKernel::GetInstance()->SendMsg_SetRoomMediaReq(&req);
    Hint(kSubmitted);
}
