// Containers and layouts: plain, vertical, horizontal, tile and tab.
#pragma once

#include <vector>

#include "fenlo/UIControl.h"

namespace DuiLib {

class CScrollBarUI;

// Orders two items of a container: negative when a comes first.
typedef int (*PFNCOMPAREITEM)(CControlUI* a, CControlUI* b, UINT_PTR data);

class CContainerUI : public CControlUI {
    friend class CPaintManagerUI;

public:
    CContainerUI();
    ~CContainerUI() override;

    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;

    CControlUI* GetItemAt(int iIndex) const;
    int GetItemIndex(CControlUI* pControl) const;
    bool SetItemIndex(CControlUI* pControl, int iIndex);
    // Makes the item the last one drawn, so it shows over items it overlaps (floating
    // items keep their places). False when it is not an item of this container.
    bool BringTop(CControlUI* pControl);
    int GetCount() const;
    virtual bool Add(CControlUI* pControl);
    virtual bool AddAt(CControlUI* pControl, int iIndex);
    virtual bool Remove(CControlUI* pControl);
    virtual bool RemoveAt(int iIndex);
    virtual void RemoveAll();
    // Where pControl would go to keep the items ordered by compare (after equal ones).
    int GetInsertIndex(CControlUI* pControl, PFNCOMPAREITEM compare, UINT_PTR data = 0) const;
    // Stable sort of the items by compare.
    void Sort(PFNCOMPAREITEM compare, UINT_PTR data = 0);
    int GetItemIndexByTag(UINT_PTR tag) const;

    void DoEvent(TEventUI& event) override;
    void SetVisible(bool bVisible = true) override;
    void SetInternVisible(bool bVisible = true) override;
    void SetMouseEnabled(bool bEnable = true) override;

    virtual RECT GetInset() const;
    virtual void SetInset(RECT rcInset);
    virtual int GetChildPadding() const;
    virtual void SetChildPadding(int iPadding);
    virtual bool IsAutoDestroy() const;
    virtual void SetAutoDestroy(bool bAuto);
    virtual bool IsMouseChildEnabled() const;
    virtual void SetMouseChildEnabled(bool bEnable = true);

    void SetPos(RECT rc) override;
    void DoPaint(HDC hDC, const RECT& rcPaint) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void SetManager(CPaintManagerUI* pManager, CControlUI* pParent, bool bInit = true) override;
    CControlUI* FindControl(FINDCONTROLPROC Proc, LPVOID pData, UINT uFlags) override;

    // First control named pstrSubControlName below this container.
    CControlUI* FindSubControl(LPCTSTR pstrSubControlName);

    // Scrolling of content that overflows (vertical, horizontal when enabled).
    virtual SIZE GetScrollPos() const;
    virtual SIZE GetScrollRange() const;
    virtual void SetScrollPos(SIZE szPos);
    virtual void LineUp();
    virtual void LineDown();
    virtual void EnableScrollBar(bool bEnableVertical = true, bool bEnableHorizontal = false);
    CScrollBarUI* GetVerticalScrollBar() const;
    CScrollBarUI* GetHorizontalScrollBar() const;

protected:
    // Applies the scroll ranges once the content size is known.
    void ProcessScrollBar(RECT rc, int cxRequired, int cyRequired);
    void SetFloatPos(int iIndex);
    // Forgets the rows-in-view range of the last layout: the items changed.
    void ForgetRowsInView();
    // Gives the rows of a list their places as numbers again, after a reorder.
    void RenumberListItems();

    std::vector<CControlUI*> m_items;
    // The items [m_iInViewBegin, m_iInViewEnd) are the only ones a paint has to look
    // at, as the last layout found them; m_bInViewKnown is false when any item may be.
    size_t m_iInViewBegin = 0;
    size_t m_iInViewEnd = 0;
    bool m_bInViewKnown = false;
    // The last layout of a long list: its area and where its line began, and whether
    // every item had a length of its own (none floating, none sharing what was left).
    // Then a row added or removed lays out only the items from it down.
    RECT m_rcLine = {0, 0, 0, 0};
    int m_iLineTop = 0;
    bool m_bLineFixed = false;
    RECT m_rcInset = {0, 0, 0, 0};
    int m_iChildPadding = 0;
    bool m_bAutoDestroy = true;
    bool m_bMouseChildEnabled = true;
    CScrollBarUI* m_pVerticalScrollBar = nullptr;
    CScrollBarUI* m_pHorizontalScrollBar = nullptr;
};

class CVerticalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc) override;
};

class CHorizontalLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc) override;
};

class CTileLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    void SetPos(RECT rc) override;
    SIZE GetItemSize() const;
    void SetItemSize(SIZE szItem);
    int GetColumns() const;
    void SetColumns(int nCols);
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;

protected:
    SIZE m_szItem = {0, 0};
    int m_nColumns = 1;
};

class CTabLayoutUI : public CContainerUI {
public:
    LPCTSTR GetClass() const override;
    LPVOID GetInterface(LPCTSTR pstrName) override;
    bool Add(CControlUI* pControl) override;
    bool AddAt(CControlUI* pControl, int iIndex) override;
    bool Remove(CControlUI* pControl) override;
    void RemoveAll() override;
    int GetCurSel() const;
    bool SelectItem(int iIndex);
    bool SelectItem(CControlUI* pControl);
    void SetPos(RECT rc) override;
    void SetAttribute(LPCTSTR pstrName, LPCTSTR pstrValue) override;
    void DoInit() override;

protected:
    int m_iCurSel = -1;
};

}  // namespace DuiLib
