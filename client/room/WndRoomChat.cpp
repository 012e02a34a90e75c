// Chat of the room window: hint lines, sending from the input, emoticons, the page
// head of the chat views and the lines that arrive.
#include <string>

#include "controls/HtmlText.h"
#include "room/WndRoom.h"

using namespace DuiLib;

void CWndRoom::InsertHintLine(int target, int kind, const wchar_t* text) {
    if (!text) return;
    if (kind != 1 || target != 1 || !m_pPrivTextOut) return;
    // Hints carry user and server text: escaped, never markup.
    std::wstring line =
        L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; FONT-SIZE: "
        L"11pt; FONT-WEIGHT: normal\" class=chatroom_HintInfo><SPAN class=HintInfoPic></SPAN>";
    line += HtmlText::Escape(text);
    line += L"</DIV>";
    m_pPrivTextOut->WriteBlock(line.c_str(), 0);
}

// The rest of the chat lives in RoomChat.cpp and RoomChatSend.cpp.
