// What the windows below the room (the dialogs, the chat input) ask of the room window
// the user is in: its window, its room id and a hint line. The room window implements
// this (the lobby's IRoomWindow extends it); the registration below is kernel window
// table entry 2, which holds the window itself (its readers take it as a
// DuiLib::CWindowWnd*), or a stand-in without a window as itself.
#pragma once

namespace DuiLib {
class CWindowWnd;
}

class IRoomView {
public:
    virtual ~IRoomView() = default;

    // The window itself (create, centre, show, close, its handle).
    virtual DuiLib::CWindowWnd* Window() = 0;
    // 0 while no room is entered.
    virtual int GetRoomId() = 0;
    // A line in one of the room's chat browsers; (1, 1, text) is the private browser's
    // hint line, where every refusal and notice inside a room goes.
    virtual void InsertHintLine(int target, int kind, const wchar_t* text) = 0;
};

// The room registered as entry 2 of the kernel's window table, or null (also once the
// entry was cleared or given to another window).
IRoomView* CurrentRoomView();
// Writes entry 2 (null clears it) and tells the chat input which window Enter goes to.
void SetCurrentRoomView(IRoomView* room);

// Sent to the room window by the seal picker: wParam target user id, lParam seal id.
#define UM_SEAL_CHOSEN 12031
