// Hint lines of the room window: the program's own notes to the user in the private
// chat. The other chat members live in RoomChat.cpp (received lines, page heads, line
// builders), RoomChatSend.cpp (sending, emoticons, the chat font) and RoomChatLinks.cpp
// (link commands).
#include <string>

#include "controls/HtmlText.h"
#include "room/ChatLines.h"
#include "room/WndRoom.h"

using namespace DuiLib;

void CWndRoom::InsertHintLine(int target, int kind, const wchar_t* text) {
    if (!text) return;
    if (kind != 1 || target != 1 || !m_pPrivTextOut) return;
    // Hints carry user and server text: escaped, never markup.
    const std::wstring line = ChatLines::HintLine(1, HtmlText::Escape(text));
    m_pPrivTextOut->WriteBlock(line.c_str(), 0);
}
