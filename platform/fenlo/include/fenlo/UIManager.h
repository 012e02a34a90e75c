// The paint manager: one per window; it owns the control tree, lays it out, paints
// it, routes input to controls and hands notifications to the window.
#pragma once

#include <map>
#include <memory>
#include <vector>

#include "fenlo/UIControl.h"

struct MSG;

namespace DuiLib {

struct TFontInfo {
    CDuiString sFontName;
    int iSize = 12;
    bool bBold = false;
    bool bUnderline = false;
    bool bItalic = false;
};

// A decoded image of the resource cache; the pixels stay inside the library.
struct TImageInfo {
    int nX = 0;
    int nY = 0;
    bool alphaChannel = false;
    DWORD dwMask = 0;
    void* pImage = nullptr;  // the library's picture object
};

// A picture a control keeps by name in a list of its own (rotating pictures); the two
// values are the control's to use.
struct tagTImageObject {
    CDuiString sImageName;
    int nValue1 = 0;
    int nValue2 = 0;
};

// Timer ids the paint manager hands to the window system for its controls. Windows
// keep their own timer ids below this range, so the two never collide.
#define UITIMER_ID_FIRST 0x7F000000u

class CPaintManagerUI {
public:
    CPaintManagerUI();
    ~CPaintManagerUI();

    void Init(HWND hWnd);
    void NeedUpdate();
    void Invalidate(RECT& rcItem);

    HWND GetPaintWindow() const;
    HDC GetPaintDC() const;
    POINT GetMousePos() const;
    SIZE GetClientSize() const;
    SIZE GetInitSize();
    void SetInitSize(int cx, int cy);
    RECT& GetSizeBox();
    void SetSizeBox(RECT& rcSizeBox);
    RECT& GetCaptionRect();
    void SetCaptionRect(RECT& rcCaption);
    SIZE GetRoundCorner() const;
    void SetRoundCorner(int cx, int cy);
    SIZE GetMinInfo() const;
    void SetMinInfo(int cx, int cy);
    SIZE GetMaxInfo() const;
    void SetMaxInfo(int cx, int cy);
    void SetTransparent(int nOpacity);
    void SetBackgroundTransparent(bool bTrans);
    bool IsShowUpdateRect() const;
    void SetShowUpdateRect(bool show);

    static HINSTANCE GetInstance();
    static CDuiString GetInstancePath();
    static CDuiString GetCurrentPath();
    static CDuiString GetResourcePath();
    static void SetInstance(HINSTANCE hInst);
    static void SetCurrentPath(LPCTSTR pStrPath);
    static void SetResourcePath(LPCTSTR pStrPath);

    DWORD GetDefaultDisabledColor() const;
    void SetDefaultDisabledColor(DWORD dwColor);
    DWORD GetDefaultFontColor() const;
    void SetDefaultFontColor(DWORD dwColor);
    DWORD GetDefaultLinkFontColor() const;
    void SetDefaultLinkFontColor(DWORD dwColor);
    DWORD GetDefaultLinkHoverFontColor() const;
    void SetDefaultLinkHoverFontColor(DWORD dwColor);
    DWORD GetDefaultSelectedBkColor() const;
    void SetDefaultSelectedBkColor(DWORD dwColor);

    // Fonts: index -1 is the default font.
    TFontInfo* GetDefaultFontInfo();
    void SetDefaultFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    DWORD GetCustomFontCount() const;
    int AddFont(LPCTSTR pStrFontName, int nSize, bool bBold, bool bUnderline, bool bItalic);
    void RemoveAllFonts();
    TFontInfo* GetFontInfo(int iIndex);

    // Images are looked up in the resource path (or as given when absolute) and kept.
    const TImageInfo* GetImage(LPCTSTR bitmap);
    const TImageInfo* GetImageEx(LPCTSTR bitmap, LPCTSTR type = nullptr, DWORD mask = 0);
    void RemoveAllImages();

    void AddDefaultAttributeList(LPCTSTR pStrControlName, LPCTSTR pStrControlAttrList);
    LPCTSTR GetDefaultAttributeList(LPCTSTR pStrControlName) const;
    void RemoveAllDefaultAttributeList();

    bool AttachDialog(CControlUI* pControl);
    bool InitControls(CControlUI* pControl, CControlUI* pParent = nullptr);
    void ReapObjects(CControlUI* pControl);

    bool AddOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    std::vector<CControlUI*>* GetOptionGroup(LPCTSTR pStrGroupName);
    void RemoveOptionGroup(LPCTSTR pStrGroupName, CControlUI* pControl);
    void RemoveAllOptionGroups();

    CControlUI* GetFocus() const;
    void SetFocus(CControlUI* pControl);
    // Tab and Shift+Tab: the focus goes to the next (previous) visible, enabled control
    // with UIFLAG_TABSTOP in layout order, wrapping around. False when there is none.
    bool SetNextTabControl(bool bForward = true);
    // A control that takes Tab as input itself (a rich edit with "wanttab").
    static bool WantsTab(CControlUI* pControl);

    bool SetTimer(CControlUI* pControl, UINT nTimerID, UINT uElapse);
    bool KillTimer(CControlUI* pControl, UINT nTimerID);
    void KillTimer(CControlUI* pControl);
    void RemoveAllTimers();

    void SetCapture();
    void ReleaseCapture();
    bool IsCaptured();

    bool AddNotifier(INotifyUI* pControl);
    bool RemoveNotifier(INotifyUI* pControl);
    void SendNotify(TNotifyUI& Msg, bool bAsync = false);
    void SendNotify(CControlUI* pControl, LPCTSTR pstrMessage, WPARAM wParam = 0, LPARAM lParam = 0,
                    bool bAsync = false);

    bool AddPreMessageFilter(IMessageFilterUI* pFilter);
    bool RemovePreMessageFilter(IMessageFilterUI* pFilter);
    bool AddMessageFilter(IMessageFilterUI* pFilter);
    bool RemoveMessageFilter(IMessageFilterUI* pFilter);

    bool AddPostPaint(CControlUI* pControl);
    bool RemovePostPaint(CControlUI* pControl);
    bool SetPostPaintIndex(CControlUI* pControl, int iIndex);

    void AddDelayedCleanup(CControlUI* pControl);

    CControlUI* GetRoot() const;
    CControlUI* FindControl(POINT pt) const;
    CControlUI* FindControl(LPCTSTR pstrName) const;
    CControlUI* FindSubControlByPoint(CControlUI* pParent, POINT pt) const;
    CControlUI* FindSubControlByName(CControlUI* pParent, LPCTSTR pstrName) const;
    CControlUI* FindSubControlByClass(CControlUI* pParent, LPCTSTR pstrClass, int iIndex = 0);

    // The thread's message loop of the program (ends on WM_QUIT).
    static void MessageLoop();
    static bool TranslateMessage(const MSG* pMsg);
    static void Term();

    bool MessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);
    bool PreMessageHandler(UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lRes);

    // Lays out (when needed) and paints the whole tree into hDC.
    void PaintTo(HDC hDC, const RECT& rcPaint);
    // The control was deleted: forget every reference to it.
    void ForgetControl(CControlUI* pControl);

    struct Impl;

private:
    void DoLayoutIfNeeded();
    // Lays out the controls below c that asked for it, each within its place.
    static void LayOutAsked(CControlUI* c);
    static CControlUI* CALLBACK __FindControlFromNameHash(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromCount(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromPoint(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromName(CControlUI* pThis, LPVOID pData);
    static CControlUI* CALLBACK __FindControlFromClass(CControlUI* pThis, LPVOID pData);

    std::unique_ptr<Impl> m_impl;
};

}  // namespace DuiLib
