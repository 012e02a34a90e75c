// Sending chat from the room window: the input's rules, the line's record and its
// echo, emoticons from the picker and the chat font.
#include <algorithm>
#include <string>

#include "controls/ChatRecord.h"
#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "dialogs/WndChatEmotion.h"
#include "kernel/CommKernel.h"
#include "model/PrivilegeIds.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "model/UserMVManager.h"
#include "model/UserObj.h"
#include "room/ChatLines.h"
#include "room/WndRoom.h"
#include "session/CommKernelData.h"
#include "util/ErrorMessage.h"
#include "win32gui/commdlg.h"

using namespace DuiLib;

namespace {

constexpr size_t kShortChatChars = 20;
constexpr int kMaxFontPoints = 20;
constexpr uint32_t kRoomPublicChatClosed = 0x1;
constexpr uint32_t kRoomPrivateChatClosed = 0x2;

bool CheckPrivilege(CCommKernelData* data, short id) {
    return data->m_pUserMVManager &&
           data->m_pUserMVManager->CheckPrivilege(id, data->GetLocalUser());
}

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000;
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// The line break Enter typed at the end of the input goes again, so a refused line
// stays as the person typed it.
void DropEnterBreak(CREWindowWnd& input) {
    HWND edit = input.m_hRichEdit;
    if (!edit) return;
    LONG n = ::GetWindowTextLengthW(edit);
    if (n <= 0) return;
    CHARRANGE last{n - 1, n};
    ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&last));
    const std::wstring tail = input.GetSelText();
    if (tail == L"\r" || tail == L"\n")
        ::SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    CHARRANGE end{n, n};
    ::SendMessageW(edit, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&end));
}

}  // namespace

void CWndRoom::SendChatMsg(int kind, int targetId, LPCTSTR text) {
    if (text) SendChatLine(kind, targetId, text);
}

bool CWndRoom::SendChatLine(int kind, int targetId, const std::wstring& text) {
    CCommKernelData* data = KernelData();
    if (text.empty() || !data) return false;
    CUserObj* me = data->GetLocalUser();
    if (kind == 15 && !CheckPrivilege(data, PRIV_PRIVATE_CHAT)) {
        InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
        return false;
    }
    if (targetId == me->userId) {
        InsertHintLine(1, 1, L"不能对自己聊天!");
        return false;
    }
    ChatLines::ChatFont font;
    font.face.assign(data->m_szFontName, wcsnlen(data->m_szFontName, kChatFontNameChars));
    font.colour = data->m_crTextColor;
    font.size = data->m_nFontSize;
    font.bold = data->m_bBold != 0;
    font.italic = data->m_bItalic != 0;
    font.underline = data->m_bUnderline != 0;

    ChatRecordFields fields;
    fields.roomId = m_nRoomId;
    fields.sender = me;
    fields.targetId = targetId;
    fields.kind = kind;
    CRoomObj* room = data->m_pRoomManager ? data->m_pRoomManager->FindRoom(m_nRoomId) : nullptr;
    if (room) {
        fields.roomName = room->roomName;
        if (CUserObj* target = room->FindUser(targetId)) fields.targetAlias = target->alias;
    }
    tag_CMDRoomChatMsg record;
    if (!FillChatRecord(record, fields, ChatLines::ComposeChatHtml(text, font))) {
        InsertHintLine(1, 1, kChatTooLongHint);
        return false;
    }
    CCommKernel::GetInstance()->SendMsg_RoomChatReq(&record);
    OnRoomChatMsg(&record, 1);
    return true;
}

void CWndRoom::SendChatFromInput() {
    CCommKernelData* data = KernelData();
    CRoomObj* room =
        data && data->m_pRoomManager ? data->m_pRoomManager->FindRoom(m_nRoomId) : nullptr;
    if (!room) return;
    DropEnterBreak(m_chatInput);
    int targetId = 0;
    if (m_pChatUserCombo) {
        int sel = m_pChatUserCombo->GetCurSel();
        if (CControlUI* item = sel >= 0 ? m_pChatUserCombo->GetItemAt(sel) : nullptr)
            targetId = static_cast<int>(item->GetTag());
    }
    auto* privCheck = static_cast<CCheckBoxUI*>(m_pm.FindControl(L"privchatcheck"));
    const bool priv = targetId != 0 && privCheck && privCheck->GetCheck();
    CUserObj* me = data->GetLocalUser();
    if (priv && (room->roomFlags & kRoomPrivateChatClosed)) {
        InsertHintLine(1, 1, L"当前房间关闭了私聊！");
        return;
    }
    if (room->roomFlags & kRoomPublicChatClosed) {
        InsertHintLine(1, 1, L"当前房间关闭了公聊！");
        return;
    }
    if (me->chatBanned) {
        InsertHintLine(1, 1, L"您己被禁止发言，请与管理员联系！");
        return;
    }
    if (priv && !CheckPrivilege(data, PRIV_PRIVATE_CHAT)) {
        InsertHintLine(1, 1, CErrorMessage::m_szErrText[0]);
        return;
    }
    const std::wstring text = Trim(m_chatInput.GetContent());
    if (text.empty()) {
        m_chatInput.ReplaceAll(L"");
        return;
    }
    if (CheckPrivilege(data, PRIV_CHAT_LIMIT_20) && text.size() > kShortChatChars) {
        InsertHintLine(1, 1, CErrorMessage::m_szErrText[1]);
        return;
    }
    // The input is cleared only once the line went out; a refused line stays.
    if (SendChatLine(priv ? 15 : 0, targetId, text)) m_chatInput.ReplaceAll(L"");
}

void CWndRoom::OnEmoSelected(LPCTSTR code) {
    if (!code || !HtmlText::IsEmoticonCode(code)) return;
    m_chatInput.AppendText((L"[$" + std::wstring(code) + L"$]").c_str(), false);
    ::SetForegroundWindow(m_hWnd);
    if (m_chatInput.m_hRichEdit) ::SetFocus(m_chatInput.m_hRichEdit);
}

void CWndRoom::ShowChatEmotion() {
    ::ShowChatEmotion(m_hWnd, m_pToolEmo, this);
}

void CWndRoom::ChooseChatFont() {
    CCommKernelData* data = KernelData();
    if (!data) return;
    LOGFONTW lf{};
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
    wcsncpy(lf.lfFaceName, data->m_szFontName, LF_FACESIZE - 1);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfHeight = ChatFontHeight(data->m_nFontSize);
    if (data->m_bBold) lf.lfWeight = FW_BOLD;
    lf.lfItalic = data->m_bItalic;
    lf.lfUnderline = data->m_bUnderline;

    CHOOSEFONTW cf{};
    cf.lStructSize = sizeof cf;
    cf.hwndOwner = m_hWnd;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    cf.rgbColors = data->m_crTextColor;
    if (!::ChooseFontW(&cf)) return;

    const COLORREF colour = cf.rgbColors;
    const bool bold = lf.lfWeight >= FW_BOLD;
    const bool italic = lf.lfItalic != 0;
    const bool underline = lf.lfUnderline != 0;
    const int size = std::clamp(ChatFontPoints(lf.lfHeight), 1, kMaxFontPoints);
    lf.lfFaceName[LF_FACESIZE - 1] = 0;
    m_chatInput.SetTextFont(lf.lfFaceName, size, bold, underline, italic);
    m_chatInput.SetTextColor(RgbFromColorRef(colour));
    data->SetRichEdtFont(lf.lfFaceName, size, bold, underline, italic);
    data->SetRichEdtTextColor(colour);
    CUserEnvSetting& env = data->m_UserEnv;
    wcsncpy(env.m_szFontName, lf.lfFaceName, sizeof env.m_szFontName / sizeof(wchar_t) - 1);
    env.m_nTextColor = static_cast<int>(colour);
    env.m_nSize = size;
    env.m_bBold = bold;
    env.m_bUnderline = underline;
    env.m_bItalic = italic;
}
