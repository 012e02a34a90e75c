// Multi-line input with emoticon pictures; Enter posts UM_RICHEDIT_SEND to the window
// named by setNotyWnd (Ctrl+Enter inserts a line break).
#pragma once

#include <memory>

#include "fenlo/UICommonControls.h"

#define UM_RICHEDIT_SEND 12224

namespace DuiLib {

class CRichEditUI : public CContainerUI {
public:
    CRichEditUI();
    ~CRichEditUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    CDuiString GetText() const override;
    void SetText(LPCTSTR pstrText) override;
    // Appends at the end; with bCanUndo the insertion is one undo step.
    void AppendText(LPCTSTR pstrText, bool bCanUndo = false);
    // The text with every emoticon picture written back as its code "[$code$]".
    CDuiString GetEditContent() const;
    // Puts an emoticon picture (file) at the caret; code is what GetEditContent gives.
    void InsertEmoticon(LPCTSTR code, LPCTSTR imageFile);
    void setNotyWnd(HWND hWnd);
    HWND getNotyWnd() const;
    void SetReadOnly(bool bReadOnly = true);
    bool IsReadOnly() const;
    void SetLimitText(int iChars);
    int GetLimitText() const;
    void SetTextColor(DWORD dwTextColor);
    DWORD GetTextColor() const;
    void SetFont(int index);
    void SetSelAll();
    // A rich edit that wants Tab takes it as input (the default); one that does not is a
    // stop of the window's Tab order and Tab leaves it.
    void SetWantTab(bool bWantTab = true);
    bool IsWantTab() const;
    void Undo();

    void SetPos(RECT rc) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetEnabled(bool bEnable = true) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

    struct Impl;

private:
    std::unique_ptr<Impl> m_impl;
    HWND m_hNotyWnd = nullptr;
    bool m_bReadOnly = false;
    bool m_bWantTab = true;
    int m_iLimitText = 0;
    DWORD m_dwTextColor = 0xFF000000;
    int m_iFont = -1;
};

}  // namespace DuiLib
