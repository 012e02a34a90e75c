#include "win32/security.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// A SID in its Windows form: revision, count, 6-byte authority, sub-authorities.
constexpr DWORD kSidHeader = 8;
constexpr BYTE kMaxSubAuthorities = 15;
constexpr DWORD kAceHeader = 8;  // type, flags, size, mask
constexpr DWORD kAclHeader = sizeof(ACL);

DWORD SidLength(const BYTE* sid) {
    return kSidHeader + 4u * sid[1];
}

bool ValidSid(const void* sid) {
    if (!sid) return false;
    const BYTE* b = static_cast<const BYTE*>(sid);
    return b[0] == 1 && b[1] <= kMaxSubAuthorities;
}

// A process-wide value that only has to differ from null.
char g_heapTag;

}  // namespace

BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision) {
    if (!descriptor || revision != SECURITY_DESCRIPTOR_REVISION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* sd = static_cast<SECURITY_DESCRIPTOR*>(descriptor);
    *sd = SECURITY_DESCRIPTOR{};
    sd->Revision = SECURITY_DESCRIPTOR_REVISION;
    return TRUE;
}

BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl,
                               BOOL defaulted) {
    if (!descriptor) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto* sd = static_cast<SECURITY_DESCRIPTOR*>(descriptor);
    constexpr WORD kDaclPresent = 0x0004, kDaclDefaulted = 0x0008;
    sd->Control = static_cast<WORD>(sd->Control & ~(kDaclPresent | kDaclDefaulted));
    if (present) sd->Control |= kDaclPresent;
    if (defaulted) sd->Control |= kDaclDefaulted;
    sd->Dacl = present ? dacl : nullptr;
    return TRUE;
}

BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE count, DWORD sub0,
                              DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4, DWORD sub5,
                              DWORD sub6, DWORD sub7, PSID* sid) {
    if (!authority || !sid || count == 0 || count > 8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const DWORD subs[8] = {sub0, sub1, sub2, sub3, sub4, sub5, sub6, sub7};
    BYTE* b = static_cast<BYTE*>(std::calloc(1, kSidHeader + 4u * count));
    if (!b) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    b[0] = 1;
    b[1] = count;
    std::memcpy(b + 2, authority->Value, 6);
    for (BYTE i = 0; i < count; ++i) std::memcpy(b + kSidHeader + 4u * i, &subs[i], 4);
    *sid = b;
    return TRUE;
}

LPVOID FreeSid(PSID sid) {
    std::free(sid);
    return nullptr;
}

DWORD GetLengthSid(PSID sid) {
    return ValidSid(sid) ? SidLength(static_cast<const BYTE*>(sid)) : 0;
}

BOOL InitializeAcl(PACL acl, DWORD length, DWORD revision) {
    if (!acl || length < kAclHeader || length > 0xFFFF || revision != ACL_REVISION) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::memset(acl, 0, kAclHeader);
    acl->AclRevision = static_cast<BYTE>(revision);
    acl->AclSize = static_cast<WORD>(length & ~3u);
    return TRUE;
}

BOOL AddAccessAllowedAce(PACL acl, DWORD revision, DWORD accessMask, PSID sid) {
    if (!acl || acl->AclRevision != ACL_REVISION || revision > ACL_REVISION) {
        SetLastError(ERROR_INVALID_ACL);
        return FALSE;
    }
    if (!ValidSid(sid)) {
        SetLastError(ERROR_INVALID_SID);
        return FALSE;
    }
    // Find the end of the entries already there, staying inside the ACL.
    BYTE* base = reinterpret_cast<BYTE*>(acl);
    DWORD used = kAclHeader;
    for (WORD i = 0; i < acl->AceCount; ++i) {
        if (used + 4 > acl->AclSize) {
            SetLastError(ERROR_INVALID_ACL);
            return FALSE;
        }
        WORD size;
        std::memcpy(&size, base + used + 2, 2);
        if (size < 4 || used + size > acl->AclSize) {
            SetLastError(ERROR_INVALID_ACL);
            return FALSE;
        }
        used += size;
    }
    const DWORD sidLength = SidLength(static_cast<const BYTE*>(sid));
    const DWORD aceSize = kAceHeader + sidLength;
    if (used + aceSize > acl->AclSize) {
        SetLastError(ERROR_ALLOTTED_SPACE_EXCEEDED);
        return FALSE;
    }
    BYTE* ace = base + used;
    ace[0] = ACCESS_ALLOWED_ACE_TYPE;
    ace[1] = 0;
    const WORD size16 = static_cast<WORD>(aceSize);
    std::memcpy(ace + 2, &size16, 2);
    std::memcpy(ace + 4, &accessMask, 4);
    std::memcpy(ace + kAceHeader, sid, sidLength);
    ++acl->AceCount;
    return TRUE;
}

HANDLE GetProcessHeap() {
    return &g_heapTag;
}

LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    if (!heap) return nullptr;
    // A zero-byte block is still a distinct block.
    const SIZE_T n = bytes ? bytes : 1;
    return (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, n) : std::malloc(n);
}

BOOL HeapFree(HANDLE heap, DWORD, LPVOID block) {
    if (!heap) return FALSE;
    std::free(block);
    return TRUE;
}
