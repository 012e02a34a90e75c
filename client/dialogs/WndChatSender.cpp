#include "dialogs/WndChatSender.h"

#include <string>

#include "app/RoomView.h"
#include "app/SkinTable.h"
#include "controls/ChatRecord.h"
#include "controls/HtmlText.h"
#include "dialogs/WndChatEmotion.h"
#include "dialogs/WndMsgBox.h"
#include "kernel/CommKernel.h"
#include "model/RoomManager.h"
#include "model/RoomObj.h"
#include "session/CommKernelData.h"

using namespace DuiLib;

namespace {

const wchar_t kSilencedHint[] = L"您己被禁止发言，请与管理员联系！";
const wchar_t kEmptyText[] = L"请输入要发送的内容！";
const wchar_t kNotInRoomText[] = L"您当前不在房间里,无法发送！";

bool IsBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == 0x3000;
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

void Hint(IRoomView* room, const wchar_t* text) {
    if (room) room->InsertHintLine(1, 1, text);
}

}  // namespace

void CWndChatSender::InitWindow() {
    CSkinWnd::InitWindow();
    m_pEmoBtn = Find(L"btnEmo");
    m_pInput = static_cast<CRichEditUI*>(Find(L"inputtext"));
    m_pPriceLabel = Find(m_row.priceControl);
    // Enter in the input sends (UM_RICHEDIT_SEND to this window).
    if (m_pInput) m_pInput->setNotyWnd(m_hWnd);
    if (m_pPriceLabel) m_pPriceLabel->SetText(m_row.priceText);
    if (m_pWinBG && g_pCurSkin && g_pCurSkin->szBkImage)
        m_pWinBG->SetBkImage(g_pCurSkin->szBkImage);
}

void CWndChatSender::OnClick(TNotifyUI& msg) {
    CControlUI* sender = msg.pSender;
    if (!sender) return;
    if (sender == m_pCloseBtn) {
        // Closing only hides: the typed text is there when the room opens it again.
        ShowWindow(false, false);
    } else if (sender->GetName() == L"btnSend") {
        Send();
    } else if (sender == m_pEmoBtn) {
        ShowChatEmotion(m_hWnd, m_pEmoBtn, this);
    }
}

LRESULT CWndChatSender::HandleExtraMessage(UINT uMsg, WPARAM, LPARAM, BOOL& bHandled) {
    if (uMsg == UM_RICHEDIT_SEND) {
        Send();
        bHandled = TRUE;
        return 0;
    }
    bHandled = FALSE;
    return 0;
}

void CWndChatSender::FocusInput() {
    if (!m_pInput) return;
    // The manager may still count the input as focused while the keyboard went elsewhere
    // when the window was hidden: the focus is given afresh.
    if (m_pm.GetFocus() == m_pInput) m_pm.SetFocus(nullptr);
    m_pInput->SetFocus();
}

void CWndChatSender::OnEmoSelected(const wchar_t* code) {
    if (!code) return;
    if (m_pInput) m_pInput->AppendText((L"[$" + std::wstring(code) + L"$]").c_str());
    ::SetForegroundWindow(m_hWnd);
}

void CWndChatSender::Refuse(const wchar_t* reason) {
    // Over this window: the room's hint line may lie behind it.
    CWndMsgBox box;
    box.SetText(reason);
    box.DoModal(m_hWnd);
}

void CWndChatSender::Send() {
    if (!m_pInput) return;
    CCommKernel* kernel = CCommKernel::GetInstance();
    CCommKernelData* data = kernel ? kernel->m_pData : nullptr;
    IRoomView* room = CurrentRoomView();
    const int roomId = room ? room->GetRoomId() : 0;
    if (!data) {
        Refuse(kNotInRoomText);
        return;
    }
    CUserObj* me = data->GetLocalUser();
    if (me->chatBanned) {
        Hint(room, kSilencedHint);
        Refuse(kSilencedHint);
        return;
    }
    std::wstring text = m_pInput->GetEditContent().GetData();
    // The announcement is trimmed before the emptiness test, so a blank one goes nowhere.
    if (m_row.trim) text = Trim(text);
    if (text.empty()) {
        Refuse(kEmptyText);
        return;
    }
    // Without a room the text stays, to be sent once there is one.
    if (roomId == 0) {
        Refuse(kNotInRoomText);
        return;
    }
    ChatRecordFields fields;
    fields.roomId = roomId;
    fields.sender = me;
    fields.kind = m_row.kind;
    if (data->m_pRoomManager)
        if (CRoomObj* r = data->m_pRoomManager->FindRoom(roomId)) fields.roomName = r->roomName;
    // Typed text is text: a "<" typed here must not become markup at every receiver.
    tag_CMDRoomChatMsg record;
    if (!FillChatRecord(record, fields, HtmlText::EscapeChat(text))) {
        Hint(room, kChatTooLongHint);
        Refuse(kChatTooLongHint);
        return;
    }
    kernel->SendMsg_RoomChatReq(&record);
    m_pInput->SetText(L"");
}
