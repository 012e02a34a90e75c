#include "app/ShareRestrictedSD.h"

#include <cstdio>

CShareRestrictedSD::CShareRestrictedSD() : m_pAcl(nullptr), m_sa{}, m_sd{} {
    m_sa.nLength = 12;
    m_sa.lpSecurityDescriptor = &m_sd;
    m_sa.bInheritHandle = FALSE;

    if (!InitializeSecurityDescriptor(&m_sd, SECURITY_DESCRIPTOR_REVISION)) {
        printf("InitializeSecurityDescriptor() failed with error %d\n", static_cast<int>(GetLastError()));
        return;
    }
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone)) {
        printf("AllocateAndInitializeSid() failed with error %d\n", static_cast<int>(GetLastError()));
        return;
    }
    const DWORD aclLength = GetLengthSid(everyone) + 16;
    m_pAcl = static_cast<PACL>(HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, aclLength));
    const char* failed = nullptr;
    if (!m_pAcl)
        failed = "HeapAlloc() failed with error %d\n";
    else if (!InitializeAcl(m_pAcl, aclLength, ACL_REVISION))
        failed = "InitializeAcl() failed with error %d\n";
    else if (!AddAccessAllowedAce(m_pAcl, ACL_REVISION, GENERIC_ALL, everyone))
        failed = "AddAccessAllowedAce() failed with error %d\n";
    else if (!SetSecurityDescriptorDacl(&m_sd, TRUE, m_pAcl, FALSE))
        failed = "SetSecurityDescriptorDacl() failed with error %d\n";
    if (failed) {
        printf(failed, static_cast<int>(GetLastError()));
        if (m_pAcl) HeapFree(GetProcessHeap(), 0, m_pAcl);
        m_pAcl = nullptr;
    }
    FreeSid(everyone);
}

CShareRestrictedSD::~CShareRestrictedSD() {
    if (m_pAcl) HeapFree(GetProcessHeap(), 0, m_pAcl);
}

SECURITY_ATTRIBUTES* CShareRestrictedSD::GetSA() {
    return m_pAcl ? &m_sa : nullptr;
}
