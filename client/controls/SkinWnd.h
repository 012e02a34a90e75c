// The skinned window template every top-level window of the program follows: it
// draws its own frame from a skin layout, answers the non-client messages itself,
// builds its controls with the program's factory and reacts to notifications.
// A window class states only its differences: its table row (SkinWndTraits), its
// controls (InitWindow), its extra messages and notifications.
#pragma once

#include <functional>

#include "fenlo/UIlib.h"

// The standard handlers a window has (its message set).
enum SkinWndMessage : UINT {
    kMsgCreate = 1u << 0,
    kMsgSize = 1u << 1,
    kMsgGetMinMaxInfo = 1u << 2,
    kMsgNcCalcSize = 1u << 3,
    kMsgNcHitTest = 1u << 4,
    kMsgNcPaint = 1u << 5,
    kMsgNcActivate = 1u << 6,
    kMsgSysCommand = 1u << 7,
    // The standard set S.
    kMsgStandard = 0xFF,
};

// What Alt+F4 (SC_CLOSE) does.
enum class ScClose {
    kDefault,  // no WM_SYSCOMMAND handler: the default processing closes the window
    kClose,    // Close(1)
    kWmClose,  // WM_CLOSE sent to itself
    // The variant that posted the quit message from secondary windows (help and
    // account pages): that ended the whole program, so it closes the window instead.
    kQuit,
    kSwallow,  // handled, nothing done
};

// Who creates and deletes the window.
enum class Lifetime {
    kSelfDeleting = 1,  // modeless; deletes itself, clearing the owner slot first
    kModal = 2,         // run modally and deleted by its creator
    kStack = 3,         // a local object run with ShowModal
    kProgramWide = 4,   // created once, hidden instead of closed
};

struct SkinWndTraits {
    const char* cppClass;   // row of the window class table
    const wchar_t* layout;  // skin layout file
    UINT messages;          // SkinWndMessage bits
    ScClose scClose;
    Lifetime lifetime;
    // Hit testing without the size box (the message box, the logon window).
    bool noSizeBox;
};

class CSkinWnd : public DuiLib::CWindowWnd, public DuiLib::INotifyUI {
public:
    CSkinWnd();
    ~CSkinWnd() override;

    // Stores the owner's member that points to this window; it is cleared before
    // a self-deleting window deletes itself.
    template <class T>
    T* SetOwnerSlot(T** slot) {
        if (slot)
            m_clearOwnerSlot = [slot] { *slot = nullptr; };
        else
            m_clearOwnerSlot = nullptr;
        return static_cast<T*>(this);
    }
    bool HasOwnerSlot() const { return static_cast<bool>(m_clearOwnerSlot); }

    void Notify(DuiLib::TNotifyUI& msg) override;

    DuiLib::CPaintManagerUI& GetPaintManager() { return m_pm; }
    virtual const SkinWndTraits& Traits() const = 0;

protected:
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage(HWND hWnd) override;

    virtual LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnGetMinMaxInfo(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcCalcSize(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcHitTest(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcPaint(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnNcActivate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    virtual LRESULT OnSysCommand(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
    // The window's own messages; bHandled false lets a message go on.
    virtual LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled);

    // Control look-up once the layout is attached (default: "closebtn", "winBG").
    virtual void InitWindow();
    // On "windowinit".
    virtual void OnPrepare();
    // "click" notifications (default: "closebtn" closes with 1).
    virtual void OnClick(DuiLib::TNotifyUI& msg);
    // Every other notification.
    virtual void OnNotify(DuiLib::TNotifyUI& msg);

    // The named control, or null when the layout has none.
    DuiLib::CControlUI* Find(LPCTSTR name) const;

    DuiLib::CPaintManagerUI m_pm;
    DuiLib::CControlUI* m_pCloseBtn = nullptr;
    DuiLib::CControlUI* m_pWinBG = nullptr;

private:
    std::function<void()> m_clearOwnerSlot;
};

// Opens a self-deleting window of an owner: a request while one exists shows it
// again (and brings it to the foreground when asked); otherwise a new one is
// created, centred and shown. The owner's member is cleared when it goes.
enum class ReuseAction { kShow, kShowAndForeground, kNothing };

template <class T>
T* OpenSelfDeleting(T*& member, HWND owner, ReuseAction reuse, DWORD exStyle = 0) {
    if (member) {
        if (reuse != ReuseAction::kNothing) member->ShowWindow(true, true);
        if (reuse == ReuseAction::kShowAndForeground) ::SetForegroundWindow(member->GetHWND());
        return member;
    }
    T* w = new T;
    w->SetOwnerSlot(&member);
    member = w;
    if (!w->Create(owner, L"", WS_POPUP, exStyle, 0, 0, 0, 0)) {
        // Creation failed before the window existed: nothing will delete it.
        if (member == w) {
            member = nullptr;
            delete w;
        }
        return nullptr;
    }
    w->CenterWindow();
    w->ShowWindow(true, true);
    return w;
}
