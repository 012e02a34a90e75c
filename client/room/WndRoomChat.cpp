// Chat of the room window: hint lines, sending from the input, emoticons, the page
// head of the chat views and the lines that arrive.
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

// The rest of the chat lives in RoomChat.cpp and RoomChatSend.cpp.
