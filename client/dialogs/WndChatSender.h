// The loudspeaker and announcement composers: one design, told apart by a row
// (skin, price label, chat kind, whether the text is trimmed). The room creates each
// once and shows it again on later requests; closing only hides it.
#pragma once

#include "controls/SkinWnd.h"
#include "dialogs/EmoReceiver.h"

struct ChatSenderRow {
    SkinWndTraits traits;
    const wchar_t* priceControl;
    const wchar_t* priceText;
    int kind;   // chat record kind
    bool trim;  // white space cut at both ends before sending
};

class CWndChatSender : public CSkinWnd, public IEmoReceiver {
public:
    explicit CWndChatSender(const ChatSenderRow& row) : m_row(row) {}

    const SkinWndTraits& Traits() const override { return m_row.traits; }
    // Appends "[$code$]" to the input and comes to the front.
    void OnEmoSelected(const wchar_t* code) override;
    // Sends the typed text as a room chat record (no local echo; the server's echo
    // is what the room shows). What cannot be sent stays and the reason is shown.
    void Send();

    DuiLib::CRichEditUI* GetInput() const { return m_pInput; }
    // Puts the keyboard into the input, so what is typed on opening is not lost.
    void FocusInput();

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;

private:
    // Says why nothing was sent, in a message box over this window.
    void Refuse(const wchar_t* reason);

    const ChatSenderRow& m_row;
    DuiLib::CControlUI* m_pEmoBtn = nullptr;
    DuiLib::CRichEditUI* m_pInput = nullptr;
    DuiLib::CControlUI* m_pPriceLabel = nullptr;
};

// Opens a composer of the room: created once (parent the room, style 0x86000000,
// extended style 0x80, centred) into the room's member, shown again afterwards.
template <class T>
T* OpenChatSender(T*& member, HWND room) {
    if (member) {
        member->ShowWindow(true, true);
        member->FocusInput();
        return member;
    }
    T* w = new T;
    w->SetOwnerSlot(&member);
    member = w;
    if (!w->Create(room, L"", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, 0, 0,
                   0, 0)) {
        if (member == w) {
            member = nullptr;
            delete w;
        }
        return nullptr;
    }
    w->CenterWindow();
    w->ShowWindow(true, true);
    w->FocusInput();
    return w;
}
