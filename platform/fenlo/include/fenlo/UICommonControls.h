// The standard controls: label, text, button, option, check box, progress, slider,
// scroll bar and edit.
#pragma once

#include "fenlo/UIContainer.h"

namespace DuiLib {

class CLabelUI : public CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    void SetTextStyle(UINT uStyle);
    UINT GetTextStyle() const;
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const;
    void SetDisabledTextColor(DWORD dwTextColor);
    DWORD GetDisabledTextColor() const;
    void SetFont(int index);
    int GetFont() const;
    RECT GetTextPadding() const;
    void SetTextPadding(RECT rc);
    bool IsShowHtml() const;
    void SetShowHtml(bool bShowHtml = true);

    SIZE EstimateSize(SIZE szAvailable) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintText(HDC hDC) override;

protected:
    DWORD m_dwTextColor = 0;
    DWORD m_dwDisabledTextColor = 0;
    int m_iFont = -1;
    UINT m_uTextStyle = 0x24;  // DT_VCENTER | DT_SINGLELINE
    RECT m_rcTextPadding = {0, 0, 0, 0};
    bool m_bShowHtml = false;
};

// Multi-line text with links (the markup of CRenderEngine::DrawHtmlText).
class CTextUI : public CLabelUI {
public:
    CTextUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    CDuiString* GetLinkContent(int iIndex);
    void DoEvent(TEventUI& event) override;
    void PaintText(HDC hDC) override;

protected:
    enum { MAX_LINK = 8 };
    int m_nLinks = 0;
    RECT m_rcLinks[MAX_LINK];
    CDuiString m_sLinks[MAX_LINK];
    int m_nHoverLink = -1;
};

class CButtonUI : public CLabelUI {
public:
    CButtonUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;

    LPCTSTR GetNormalImage() const { return m_sNormalImage; }
    void SetNormalImage(LPCTSTR pStrImage);
    LPCTSTR GetHotImage() const { return m_sHotImage; }
    void SetHotImage(LPCTSTR pStrImage);
    LPCTSTR GetPushedImage() const { return m_sPushedImage; }
    void SetPushedImage(LPCTSTR pStrImage);
    LPCTSTR GetFocusedImage() const { return m_sFocusedImage; }
    void SetFocusedImage(LPCTSTR pStrImage);
    LPCTSTR GetDisabledImage() const { return m_sDisabledImage; }
    void SetDisabledImage(LPCTSTR pStrImage);
    LPCTSTR GetForeImage() const { return m_sForeImage; }
    void SetForeImage(LPCTSTR pStrImage);
    LPCTSTR GetHotForeImage() const { return m_sHotForeImage; }
    void SetHotForeImage(LPCTSTR pStrImage);
    void SetHotTextColor(DWORD dwColor);
    DWORD GetHotTextColor() const;
    void SetPushedTextColor(DWORD dwColor);
    DWORD GetPushedTextColor() const;
    void SetHotBkColor(DWORD dwColor);
    DWORD GetHotBkColor() const;
    void SetPushedBkColor(DWORD dwColor);
    DWORD GetPushedBkColor() const;
    UINT GetButtonState() const { return m_uButtonState; }

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintBkColor(HDC hDC) override;
    void PaintText(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    UINT m_uButtonState = 0;
    DWORD m_dwHotTextColor = 0;
    DWORD m_dwPushedTextColor = 0;
    DWORD m_dwFocusedTextColor = 0;
    DWORD m_dwHotBkColor = 0;
    DWORD m_dwPushedBkColor = 0;
    CDuiString m_sNormalImage;
    CDuiString m_sHotImage;
    CDuiString m_sHotForeImage;
    CDuiString m_sPushedImage;
    CDuiString m_sPushedForeImage;
    CDuiString m_sFocusedImage;
    CDuiString m_sDisabledImage;
    CDuiString m_sForeImage;
};

class COptionUI : public CButtonUI {
public:
    ~COptionUI() override;
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    bool Activate() override;
    void SetEnabled(bool bEnable = true) override;

    LPCTSTR GetSelectedImage() const { return m_sSelectedImage; }
    void SetSelectedImage(LPCTSTR pStrImage);
    void SetSelectedTextColor(DWORD dwTextColor);
    DWORD GetSelectedTextColor() const;
    void SetSelectedBkColor(DWORD dwBkColor);
    DWORD GetSelectBkColor() const;
    LPCTSTR GetForeImage() const { return m_sSelectedForeImage; }
    CDuiString GetGroup() const;
    void SetGroup(LPCTSTR pStrGroupName = nullptr);
    bool IsSelected() const;
    virtual void Selected(bool bSelected, bool bTriggerEvent = true);

    SIZE EstimateSize(SIZE szAvailable) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintBkColor(HDC hDC) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

protected:
    bool m_bSelected = false;
    CDuiString m_sGroupName;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwSelectedTextColor = 0;
    CDuiString m_sSelectedImage;
    CDuiString m_sSelectedForeImage;
};

class CCheckBoxUI : public COptionUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetCheck(bool bCheck, bool bTriggerEvent = true);
    bool GetCheck() const;
};

class CProgressUI : public CLabelUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    bool IsHorizontal() const;
    void SetHorizontal(bool bHorizontal = true);
    int GetMinValue() const;
    void SetMinValue(int nMin);
    int GetMaxValue() const;
    void SetMaxValue(int nMax);
    int GetValue() const;
    void SetValue(int nValue);
    LPCTSTR GetForeImage() const;
    void SetForeImage(LPCTSTR pStrImage);
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    bool m_bHorizontal = true;
    int m_nMax = 100;
    int m_nMin = 0;
    int m_nValue = 0;
    DWORD m_dwForeColor = 0;
    CDuiString m_sForeImage;
};

class CSliderUI : public CProgressUI {
public:
    CSliderUI();
    LPCTSTR GetClass() const override;
    UINT GetControlFlags() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetEnabled(bool bEnable = true) override;
    int GetChangeStep() const;
    void SetChangeStep(int step);
    void SetThumbSize(SIZE szXY);
    RECT GetThumbRect() const;
    LPCTSTR GetThumbImage() const;
    void SetThumbImage(LPCTSTR pStrImage);
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;

protected:
    int ValueAt(POINT pt) const;
    SIZE m_szThumb = {10, 10};
    UINT m_uButtonState = 0;
    int m_nStep = 1;
    CDuiString m_sThumbImage;
    DWORD m_dwThumbColor = 0;
};

class CScrollBarUI : public CControlUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    CContainerUI* GetOwner() const;
    void SetOwner(CContainerUI* pOwner);
    bool IsHorizontal() const;
    void SetHorizontal(bool bHorizontal = true);
    int GetScrollRange() const;
    void SetScrollRange(int nRange);
    int GetScrollPos() const;
    void SetScrollPos(int nPos);
    int GetLineSize() const;
    void SetLineSize(int nSize);
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    RECT GetThumbRect() const;

protected:
    CContainerUI* m_pOwner = nullptr;
    bool m_bHorizontal = false;
    int m_nRange = 100;
    int m_nScrollPos = 0;
    int m_nLineSize = 8;
    POINT m_ptLastMouse = {0, 0};
    int m_nLastScrollPos = 0;
    bool m_bDragging = false;
    DWORD m_dwThumbColor = 0xFFC8CDD3;
};

// Single-line text input. Characters arrive as WM_CHAR (input methods commit through
// the same path), editing keys as WM_KEYDOWN. The selection runs from an anchor to the
// caret; typing, erasing and pasting replace it.
class CEditUI : public CLabelUI {
public:
    CEditUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    void SetEnabled(bool bEnable = true) override;
    void SetText(LPCTSTR pstrText) override;
    void SetMaxChar(UINT uMax);
    UINT GetMaxChar() const;
    void SetReadOnly(bool bReadOnly);
    bool IsReadOnly() const;
    void SetPasswordMode(bool bPasswordMode);
    bool IsPasswordMode() const;
    void SetNumberOnly(bool bNumberOnly);
    bool IsNumberOnly() const;
    // Start -1 drops the selection, leaving the caret; end -1 (or past the text) means
    // the end of the text.
    void SetSel(long nStartChar, long nEndChar);
    void SetSelAll();
    // The selected characters as [start, end); equal when nothing is selected.
    void GetSel(long& nStartChar, long& nEndChar) const;
    void SetNativeEditBkColor(DWORD dwBkColor);
    // Replaces the selection (or inserts at the caret) with the clipboard's text (Ctrl+V).
    void Paste();
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void PaintStatusImage(HDC hDC) override;
    void PaintText(HDC hDC) override;

protected:
    bool HasSel() const { return m_nAnchor != m_nCaret; }
    int SelStart() const { return m_nAnchor < m_nCaret ? m_nAnchor : m_nCaret; }
    int SelEnd() const { return m_nAnchor < m_nCaret ? m_nCaret : m_nAnchor; }
    // What is painted: the text, or one asterisk per character of a password.
    CDuiString ShownText() const;
    int CharFromX(int x) const;
    void MoveCaret(int pos, bool extend);
    // Puts text in place of the selection and tells the window; false when nothing changed.
    bool ReplaceSel(const CDuiString& text);
    void CopySel() const;

    UINT m_uMaxChar = 255;
    bool m_bReadOnly = false;
    bool m_bPasswordMode = false;
    bool m_bNumberOnly = false;
    int m_nCaret = 0;
    int m_nAnchor = 0;
    bool m_bMouseSelecting = false;
    UINT m_uButtonState = 0;
    DWORD m_dwEditbkColor = 0xFFFFFFFF;
    CDuiString m_sNormalImage;
    CDuiString m_sHotImage;
    CDuiString m_sFocusedImage;
    CDuiString m_sDisabledImage;
};

}  // namespace DuiLib
