// A security descriptor that lets everyone use the shared section; owns its ACL.
#pragma once

#include "win32/win32.h"

class CShareRestrictedSD {
public:
    // Builds the descriptor; on a failure prints which call failed and leaves no ACL,
    // so the section gets default security.
    CShareRestrictedSD();
    ~CShareRestrictedSD();
    CShareRestrictedSD(const CShareRestrictedSD&) = delete;
    CShareRestrictedSD& operator=(const CShareRestrictedSD&) = delete;

    // The attributes when the ACL exists, else null.
    SECURITY_ATTRIBUTES* GetSA();

    PACL m_pAcl;
    SECURITY_ATTRIBUTES m_sa;
    SECURITY_DESCRIPTOR m_sd;
};
