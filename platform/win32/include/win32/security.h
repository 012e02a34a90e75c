// Security descriptors, SIDs and ACLs, and the process heap. Nothing here guards
// anything on this system: the calls build the Windows structures in memory and
// succeed, so code that prepares them runs as written. Named sections are made for
// the owner only whatever descriptor they are given.
#pragma once

#include "win32/base.h"

#define SECURITY_DESCRIPTOR_REVISION 1
#define ACL_REVISION 2
#define SECURITY_WORLD_RID 0x00000000L
#define SECURITY_WORLD_SID_AUTHORITY {0, 0, 0, 0, 0, 1}
#define ACCESS_ALLOWED_ACE_TYPE 0x0
#define GENERIC_ALL 0x10000000u
#define HEAP_ZERO_MEMORY 0x00000008
#define ERROR_ALLOTTED_SPACE_EXCEEDED 1344L
#define ERROR_INVALID_SID 1337L
#define ERROR_INVALID_ACL 1336L

typedef void* PSID;

struct SID_IDENTIFIER_AUTHORITY {
    BYTE Value[6];
};
typedef SID_IDENTIFIER_AUTHORITY* PSID_IDENTIFIER_AUTHORITY;

struct ACL {
    BYTE AclRevision;
    BYTE Sbz1;
    WORD AclSize;
    WORD AceCount;
    WORD Sbz2;
};
typedef ACL* PACL;

struct SECURITY_DESCRIPTOR {
    BYTE Revision;
    BYTE Sbz1;
    WORD Control;
    PSID Owner;
    PSID Group;
    PACL Sacl;
    PACL Dacl;
};
typedef void* PSECURITY_DESCRIPTOR;

BOOL InitializeSecurityDescriptor(PSECURITY_DESCRIPTOR descriptor, DWORD revision);
BOOL SetSecurityDescriptorDacl(PSECURITY_DESCRIPTOR descriptor, BOOL present, PACL dacl,
                               BOOL defaulted);
BOOL AllocateAndInitializeSid(PSID_IDENTIFIER_AUTHORITY authority, BYTE subAuthorityCount,
                              DWORD sub0, DWORD sub1, DWORD sub2, DWORD sub3, DWORD sub4,
                              DWORD sub5, DWORD sub6, DWORD sub7, PSID* sid);
LPVOID FreeSid(PSID sid);
DWORD GetLengthSid(PSID sid);
BOOL InitializeAcl(PACL acl, DWORD length, DWORD revision);
BOOL AddAccessAllowedAce(PACL acl, DWORD revision, DWORD accessMask, PSID sid);

// The process heap: blocks from the C allocator.
HANDLE GetProcessHeap();
LPVOID HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes);
BOOL HeapFree(HANDLE heap, DWORD flags, LPVOID block);
