// Texts shown when the client refuses an action itself.
#pragma once

class CErrorMessage {
public:
    virtual ~CErrorMessage();

    // [0] missing privilege, [1] chat length limit of non-VIP users, [2] the last entry.
    static const wchar_t* m_szErrText[3];
};
