// The room window's chat input: a child window hosting the rich-edit control, so
// the input keeps the control's own editing (paste, pictures, fonts) inside a skinned
// window. Enter is reported to the room window; right-click offers a paste menu.
#pragma once

#include <string>
#include <vector>

#include "fenlo/UIlib.h"
#include "win32gui/font.h"
#include "win32gui/richedit.h"

// Posted to the room window (kernel window table entry 2) on Enter in the input.
#define UM_CHAT_INPUT_ENTER 11098
// The paste menu's one command.
#define IDM_RICHEDIT_PASTE 43235

// The room window Enter in a chat input is reported to: the room's registration in
// the kernel's window table sets it (app/RoomView), and it counts only while the
// table's entry 2 still holds that window.
void SetChatInputRoomWindow(DuiLib::CWindowWnd* room);
// The handle of that room window, null when there is none.
HWND GetRoomWindowHandle();

// A COLORREF (0x00BBGGRR, as the session keeps colours) as the 0xRRGGBB that
// CREWindowWnd::SetTextColor takes.
inline DWORD RgbFromColorRef(COLORREF colour) {
    return (static_cast<DWORD>(GetRValue(colour)) << 16) |
           (static_cast<DWORD>(GetGValue(colour)) << 8) | GetBValue(colour);
}

// The chat font's size is in points: lines carry it as "FONT-SIZE: <n>pt", so the
// input and the font chooser show it in points too. A LOGFONT height is in pixels of
// the screen's logical resolution.
constexpr int kScreenLogicalDpi = 96;
inline LONG ChatFontHeight(int points) {
    return -static_cast<LONG>((static_cast<long long>(points) * kScreenLogicalDpi + 36) / 72);
}
inline int ChatFontPoints(LONG height) {
    const long long pixels = height < 0 ? -static_cast<long long>(height) : height;
    return static_cast<int>((pixels * 72 + kScreenLogicalDpi / 2) / kScreenLogicalDpi);
}

class CREWindowWnd : public DuiLib::CWindowWnd {
public:
    CREWindowWnd();
    ~CREWindowWnd() override;

    // Each does nothing (or gives 0 / empty text) while the rich edit is missing.
    // size in points.
    void SetTextFont(LPCWSTR faceName, int size, bool bold, bool underline, bool italic);
    // colour as 0xRRGGBB; typed text shows in it.
    void SetTextColor(DWORD rgb);
    // Replaces everything (not undoable); "" clears the input.
    void ReplaceAll(LPCWSTR text);
    // Inserts at the end, e.g. an emoticon code "[$code$]".
    void AppendText(LPCWSTR text, bool canUndo);
    // The text with embedded objects (pasted pictures) left out. The selection is
    // left on the last character.
    std::wstring GetContent();

    int GetTextLength();
    std::wstring GetSelText();
    int GetSelectionType();
    // A reference the caller releases; null without a control.
    IRichEditOle* GetRichEditOle();
    void Paste();

    HWND m_hRichEdit = nullptr;
    // The control's default format as read at creation; the colour is kept here.
    CHARFORMAT2W m_cf;
    HMENU m_hPasteMenu = nullptr;
    // User values of the embedded objects, refilled by GetContent.
    std::vector<DWORD> m_objects;

protected:
    LPCTSTR GetWindowClassName() const override;
    UINT GetClassStyle() const override;
    LRESULT HandleMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) override;
    // The host is a member of the room window and lives and dies with it.
    void OnFinalMessage(HWND hWnd) override;

private:
    LRESULT OnCreate();
    LRESULT OnNotify(const NMHDR* hdr);
};
