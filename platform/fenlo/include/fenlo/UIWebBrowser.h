// The web-browser control: an HTML document the program writes block by block, with
// link clicks and navigations reported to a CWebBrowserEventHandler first.
#pragma once

#include <memory>
#include <string>

#include "fenlo/UIControl.h"

namespace DuiLib {

class CWebBrowserUI;

// The 24 operations through which a browser asks its owner; every one has an empty
// default, so an owner overrides only what it answers.
class CWebBrowserEventHandler {
public:
    CWebBrowserEventHandler() = default;
    virtual ~CWebBrowserEventHandler() = default;
    // 0: a navigation is about to start; set cancel to stop it.
    virtual void BeforeNavigate2(CWebBrowserUI* pWeb, LPCTSTR url, DWORD flags, LPCTSTR targetFrame,
                                 LPCTSTR postData, LPCTSTR headers, bool& cancel) {}
    // 1
    virtual void NavigateError(CWebBrowserUI* pWeb, LPCTSTR url, LPCTSTR targetFrame,
                               int statusCode, bool& cancel) {}
    // 2: the page of url is loaded.
    virtual void NavigateComplete2(CWebBrowserUI* pWeb, LPCTSTR url) {}
    // 3
    virtual void ProgressChange(CWebBrowserUI* pWeb, LONG nProgress, LONG nProgressMax) {}
    // 4
    virtual void NewWindow3(CWebBrowserUI* pWeb, bool& cancel, DWORD flags, LPCTSTR urlContext,
                            LPCTSTR url) {}
    // 5
    virtual void CommandStateChange(CWebBrowserUI* pWeb, LONG command, bool enable) {}
    // 6: the head written before the first block (InitDocument).
    virtual void GetChatPageHead(CDuiString& head, CWebBrowserUI* pWeb) {}
    // 7: right click; text is the link (or the selection) under the cursor. S_OK when
    // the owner showed its own menu.
    virtual HRESULT ShowContextMenu(LPCTSTR text, CWebBrowserUI* pWeb) { return S_FALSE; }
    // 8
    virtual void DocumentComplete(CWebBrowserUI* pWeb, LPCTSTR url) {}
    // 9
    virtual void TitleChange(CWebBrowserUI* pWeb, LPCTSTR title) {}
    // 10
    virtual HRESULT GetHostInfo(CWebBrowserUI* pWeb, DWORD& flags, DWORD& doubleClick) {
        return E_NOTIMPL;
    }
    // 11
    virtual HRESULT ShowUI(CWebBrowserUI* pWeb) { return S_FALSE; }
    // 12
    virtual HRESULT HideUI(CWebBrowserUI* pWeb) { return S_OK; }
    // 13
    virtual HRESULT UpdateUI(CWebBrowserUI* pWeb) { return S_OK; }
    // 14
    virtual HRESULT EnableModeless(CWebBrowserUI* pWeb, BOOL enable) { return S_OK; }
    // 15
    virtual HRESULT OnDocWindowActivate(CWebBrowserUI* pWeb, BOOL activate) { return S_OK; }
    // 16
    virtual HRESULT OnFrameWindowActivate(CWebBrowserUI* pWeb, BOOL activate) { return S_OK; }
    // 17
    virtual HRESULT ResizeBorder(CWebBrowserUI* pWeb, const RECT& border, BOOL frameWindow) {
        return S_OK;
    }
    // 18: S_OK when the owner consumed the key message.
    virtual HRESULT TranslateAccelerator(CWebBrowserUI* pWeb, UINT uMsg, WPARAM wParam,
                                         LPARAM lParam) {
        return S_FALSE;
    }
    // 19
    virtual HRESULT GetOptionKeyPath(CWebBrowserUI* pWeb, CDuiString& path, DWORD reserved) {
        return E_NOTIMPL;
    }
    // 20
    virtual HRESULT GetDropTarget(CWebBrowserUI* pWeb) { return E_NOTIMPL; }
    // 21
    virtual HRESULT GetExternal(CWebBrowserUI* pWeb) { return E_NOTIMPL; }
    // 22: may give another address for url.
    virtual HRESULT TranslateUrl(CWebBrowserUI* pWeb, DWORD translate, LPCTSTR url,
                                 CDuiString& out) {
        return S_FALSE;
    }
    // 23
    virtual HRESULT FilterDataObject(CWebBrowserUI* pWeb) { return S_FALSE; }
};

class CWebBrowserUI : public CControlUI {
public:
    CWebBrowserUI();
    ~CWebBrowserUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    void SetWebBrowserEventHandler(CWebBrowserEventHandler* pEventHandler);
    CWebBrowserEventHandler* GetWebBrowserEventHandler() const;

    // Loads a local file ("file:" addresses and plain paths in either form), a web
    // page (http, https: fetched on a worker, shown when it arrives) or "about:blank";
    // the handler sees BeforeNavigate2 first and may cancel.
    void Navigate2(LPCTSTR lpszUrl);
    void Refresh();
    CDuiString GetLocationUrl() const;
    // An empty page with the handler's page head, ready for WriteBlock.
    void InitDocument();
    // Appends one block of HTML as a new paragraph at the end of the page.
    void WriteBlock(LPCTSTR html, int flags = 0);
    void Clear();
    int GetDocCompleteCount() const;
    // 0: the library's own menu (copy, select all); 1: the handler's ShowContextMenu.
    void SetContextMenuMode(int mode);
    int GetContextMenuMode() const;
    void OnCopy();
    void OnSelectAll();
    void SetBkground(DWORD color);
    void SetHomePage(LPCTSTR url);
    void SetAutoNavigation(bool bAuto);

    // The whole page as HTML and as plain text (what a reader of the document sees).
    CDuiString GetDocumentHtml() const;
    CDuiString GetDocumentText() const;
    int GetBlockCount() const;
    // The link under a point of the window, empty when none.
    CDuiString GetLinkAt(POINT pt) const;
    // Scrolls to the end of the page.
    void ScrollToBottom();

    void SetPos(RECT rc) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnable = true) override;
    void DoInit() override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    struct Impl;

private:
    bool RunNavigation(LPCTSTR url);
    // The handler's menu (mode 1) or the library's own, for the text under the cursor.
    void ShowContextMenuAt(const CDuiString& text, POINT screen);
    void StartFetch(const CDuiString& address);
    void FinishFetch(const std::wstring& url, bool ok, int status, const std::wstring& text);
    std::unique_ptr<Impl> m_impl;
    CWebBrowserEventHandler* m_pHandler = nullptr;
    int m_nDocComplete = 0;
    int m_nContextMenuMode = 0;
    CDuiString m_sUrl;
    CDuiString m_sHomePage;
    bool m_bAutoNavi = false;
};

}  // namespace DuiLib
