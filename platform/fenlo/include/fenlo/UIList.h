// Lists (with label and container elements) and the combo box.
#pragma once

#include "fenlo/UICommonControls.h"

namespace DuiLib {

class IListOwnerUI;

class IListItemUI {
public:
    virtual int GetIndex() const = 0;
    virtual void SetIndex(int iIndex) = 0;
    virtual IListOwnerUI* GetOwner() = 0;
    virtual void SetOwner(CControlUI* pOwner) = 0;
    virtual bool IsSelected() const = 0;
    virtual bool Select(bool bSelect = true) = 0;

protected:
    ~IListItemUI() = default;
};

class IListOwnerUI {
public:
    virtual int GetCurSel() const = 0;
    virtual bool SelectItem(int iIndex, bool bTakeFocus = false) = 0;
    virtual void ItemClicked(CControlUI* pItem) = 0;
    virtual bool IsItemShowHtml() const = 0;
    virtual DWORD GetItemTextColor() const = 0;
    virtual DWORD GetSelectedItemBkColor() const = 0;
    virtual DWORD GetHotItemBkColor() const = 0;
    virtual int GetItemFont() const = 0;

protected:
    ~IListOwnerUI() = default;
};

class CListUI : public CVerticalLayoutUI, public IListOwnerUI {
public:
    CListUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;

    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;
    void RemoveAll() override;
    // Removes (and deletes) every item whose tag is tag; returns how many went.
    int RemoveByTag(UINT_PTR tag);

    int GetCurSel() const override;
    bool SelectItem(int iIndex, bool bTakeFocus = false) override;
    void ItemClicked(CControlUI* pItem) override;
    bool IsItemShowHtml() const override;
    void SetItemShowHtml(bool bShowHtml = true);
    DWORD GetItemTextColor() const override;
    DWORD GetSelectedItemBkColor() const override;
    DWORD GetHotItemBkColor() const override;
    int GetItemFont() const override;
    void SetItemTextColor(DWORD dwColor);
    void SetSelectedItemBkColor(DWORD dwColor);
    void SetHotItemBkColor(DWORD dwColor);
    void SetItemFont(int iFont);
    void EnsureVisible(int iIndex);

    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    void ReIndex(int from = 0);
    int m_iCurSel = -1;
    bool m_bShowHtml = false;
    DWORD m_dwItemTextColor = 0;
    DWORD m_dwSelectedBkColor = 0;
    DWORD m_dwHotBkColor = 0;
    int m_iItemFont = -1;
};

class CListLabelElementUI : public CLabelUI, public IListItemUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    int GetIndex() const override;
    void SetIndex(int iIndex) override;
    IListOwnerUI* GetOwner() override;
    void SetOwner(CControlUI* pOwner) override;
    bool IsSelected() const override;
    bool Select(bool bSelect = true) override;
    SIZE EstimateSize(SIZE szAvailable) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(HDC hDC) override;
    void PaintText(HDC hDC) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    int m_iIndex = -1;
    bool m_bSelected = false;
    bool m_bHot = false;
    IListOwnerUI* m_pOwner = nullptr;
};
typedef CListLabelElementUI CListTextElementUI;

class CListContainerElementUI : public CContainerUI, public IListItemUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    int GetIndex() const override;
    void SetIndex(int iIndex) override;
    IListOwnerUI* GetOwner() override;
    void SetOwner(CControlUI* pOwner) override;
    bool IsSelected() const override;
    bool Select(bool bSelect = true) override;
    void DoEvent(TEventUI& event) override;
    void PaintBkColor(HDC hDC) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    int m_iIndex = -1;
    bool m_bSelected = false;
    bool m_bHot = false;
    IListOwnerUI* m_pOwner = nullptr;
};

// A box showing the selected item; the items drop down as a popup menu.
class CComboUI : public CContainerUI, public IListOwnerUI {
public:
    CComboUI();
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    UINT GetControlFlags() const override;
    CDuiString GetText() const override;
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    bool RemoveAt(int iIndex) override;
    void RemoveAll() override;

    int GetCurSel() const override;
    bool SelectItem(int iIndex, bool bTakeFocus = false) override;
    // bTriggerEvent false selects without the "itemselect" notification (filling a
    // window from stored settings).
    bool SelectItem(int iIndex, bool bTakeFocus, bool bTriggerEvent);
    void ItemClicked(CControlUI* pItem) override;
    bool IsItemShowHtml() const override;
    DWORD GetItemTextColor() const override;
    DWORD GetSelectedItemBkColor() const override;
    DWORD GetHotItemBkColor() const override;
    int GetItemFont() const override;
    // Selects the first item whose tag is tag.
    bool SelectItemByTag(UINT_PTR tag);
    // Shows the items and selects the one chosen; false when nothing was chosen.
    bool Activate() override;

    void SetPos(RECT rc) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;

protected:
    int m_iCurSel = -1;
    DWORD m_dwTextColor = 0;
    int m_iFont = -1;
    RECT m_rcTextPadding = {4, 0, 20, 0};
    UINT m_uButtonState = 0;
    CDuiString m_sNormalImage;
    CDuiString m_sHotImage;
    CDuiString m_sPushedImage;
};

}  // namespace DuiLib
