#include "controls/ChatRecord.h"

#include <cstring>

#include "controls/AnsiField.h"
#include "controls/HtmlText.h"
#include "model/UserObj.h"
#include "win32/text.h"

const wchar_t kChatTooLongHint[] = L"消息太长了，请删减后再发送！";

bool FillChatRecord(tag_CMDRoomChatMsg& record, const ChatRecordFields& f,
                    const std::wstring& text) {
    std::memset(&record, 0, sizeof record);
    const std::string bytes = winplat::WideToAnsi(HtmlText::ReferenceUnencodable(text));
    // The length word counts the NUL; the kernel drops a record whose word passes this.
    if (bytes.size() + 1 > static_cast<size_t>(kRoomChatMaxText)) return false;
    record.roomId = f.roomId;
    record.senderId = f.sender ? f.sender->userId : 0;
    record.targetId = f.targetId;
    record.senderLevel = f.sender ? static_cast<uint8_t>(f.sender->levels[0] & 0xFF) : 0;
    record.kind = static_cast<uint8_t>(f.kind);
    record.textLen = static_cast<uint16_t>(bytes.size() + 1);
    // Aliases may fill their field; the room name is read as a C string.
    if (f.sender)
        CopyAnsiField(record.senderAlias, sizeof record.senderAlias, f.sender->alias,
                      FieldEnd::kMayFill);
    CopyAnsiField(record.targetAlias, sizeof record.targetAlias, f.targetAlias, FieldEnd::kMayFill);
    CopyAnsiField(record.roomName, sizeof record.roomName, f.roomName, FieldEnd::kKeepNul);
    std::memcpy(record.text, bytes.data(), bytes.size());
    record.text[bytes.size()] = '\0';
    return true;
}

std::string ChatFieldText(const char* field, size_t width) {
    if (!field) return std::string();
    const void* nul = std::memchr(field, '\0', width);
    size_t n = nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : width;
    return std::string(field, n);
}

std::string ChatRecordText(const tag_CMDRoomChatMsg& record) {
    size_t n = std::min<size_t>(record.textLen, sizeof record.text);
    return ChatFieldText(record.text, n);
}
