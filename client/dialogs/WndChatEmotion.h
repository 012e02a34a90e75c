// The emoticon picker: one program-wide popup with the emoticon web page, shown next to
// the emoticon button of whoever opened it. A click on an emoticon ("clickemotion:"
// link) goes to that opener as a code; the window hides when it loses activation.
#pragma once

#include "controls/SkinWnd.h"
#include "dialogs/EmoReceiver.h"

class CWndChatEmotion : public CSkinWnd, public DuiLib::CWebBrowserEventHandler {
public:
    // The program-wide picker, null until first opened. It is never deleted.
    static CWndChatEmotion* Instance();
    // Forgets the receiver when it is the one set (receivers call it as they go).
    static void Detach(IEmoReceiver* receiver);

    void SetReceiver(IEmoReceiver* receiver) { m_pReceiver = receiver; }
    IEmoReceiver* GetReceiver() const { return m_pReceiver; }
    DuiLib::CWebBrowserUI* GetBrowser() const { return m_pBrowser; }

    const SkinWndTraits& Traits() const override;

    void BeforeNavigate2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags, LPCTSTR targetFrame,
                         LPCTSTR postData, LPCTSTR headers, bool& cancel) override;
    void NavigateComplete2(DuiLib::CWebBrowserUI* pWeb, LPCTSTR url) override;

protected:
    LRESULT OnCreate(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    LRESULT HandleExtraMessage(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled) override;
    void InitWindow() override;
    void OnFinalMessage(HWND hWnd) override;

private:
    friend CWndChatEmotion* ShowChatEmotion(HWND, DuiLib::CControlUI*, IEmoReceiver*);
    static CWndChatEmotion* s_pInstance;

    DuiLib::CWebBrowserUI* m_pBrowser = nullptr;
    IEmoReceiver* m_pReceiver = nullptr;
    bool m_bFirstNavigate = true;
};

// Opens the picker for a receiver: creates it on first use, moves it above the
// opener's emoticon button (0,0 without one), shows it. The same for every opener.
CWndChatEmotion* ShowChatEmotion(HWND opener, DuiLib::CControlUI* button, IEmoReceiver* receiver);
