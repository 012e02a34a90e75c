// Checks of what an administrator types before it goes into a request record: ids
// and amounts as digits only, texts that fit their field in the code page exactly,
// relay addresses that every member can parse back, and query values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace admininput {

// A user id: digits only (blanks around allowed), 1..2^31-1. When `noneAllowed`, an
// empty text or 0 is accepted too and means no user (0).
bool ParseUserId(const std::wstring& text, bool noneAllowed, int32_t& out);

// A count: digits only (blanks around allowed), read in 64 bits; false when empty,
// not a number or beyond 64 bits.
bool ParseCount(const std::wstring& text, int64_t& out);

enum class FieldFit { kFits, kTooLong, kUnsupported };

// The text in the code page, when every character has a mapping and it takes at most
// `maxBytes` bytes (the terminator not counted).
FieldFit ToCodePageField(const std::wstring& text, size_t maxBytes, std::string& out);

// The relay list "host:port;host:port;host:port;host:port" from four addresses and
// ports as typed; false when an address holds ':', ';' or a blank, or a port is not
// empty and not 0..65535. Empty fields stay empty.
bool JoinMediaList(const std::wstring (&hosts)[4], const std::wstring (&ports)[4],
                   std::wstring& out);

// Query-value encoding: letters, digits and "-_.~" stay, every other byte is %XX.
std::wstring PercentEncode(const std::string& bytes);

}  // namespace admininput
