// The room chat record as the windows fill and read it: one builder for every sender
// (room chat, thank-you links, loudspeaker, announcement) and bounded readers of the
// fixed-width fields of a received record.
#pragma once

#include <string>

#include "kernel/CmdRecords.h"

class CUserObj;

// Shown when a line does not fit the record; the typed text is kept.
extern const wchar_t kChatTooLongHint[];

struct ChatRecordFields {
    int roomId = 0;
    const CUserObj* sender = nullptr;  // id, level byte and alias
    int targetId = 0;
    int kind = 0;
    std::string targetAlias;  // ANSI; empty when the target is nobody in the room
    std::string roomName;     // ANSI
};

// Fills a zeroed record with the fields and `text` converted to the ANSI code page
// (characters it lacks as numeric references). False, with the record left zeroed,
// when the converted text is longer than the kernel sends.
bool FillChatRecord(tag_CMDRoomChatMsg& record, const ChatRecordFields& fields,
                    const std::wstring& text);

// A fixed-width field up to its first NUL, never past its width.
std::string ChatFieldText(const char* field, size_t width);
// The record's text: at most its length word's bytes, up to the first NUL.
std::string ChatRecordText(const tag_CMDRoomChatMsg& record);
