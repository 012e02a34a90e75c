// The logon record: what the logon request carries and what a saved account holds.
#pragma once

#include <cstdint>

#pragma pack(push, 1)
struct tag_LogonUserData {
    int32_t nUserId;
    // At most 16 characters and the NUL. In a saved account, byte 21 of the record
    // (szPassword[17]) holds that account's save-password flag.
    char szPassword[20];
};
#pragma pack(pop)
static_assert(sizeof(tag_LogonUserData) == 24, "the logon record is 24 bytes");
