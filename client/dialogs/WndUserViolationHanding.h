// The sanction dialog: ban from chat, kick out, freeze the account or the computer,
// for a period or for ever, in this room or in every room, for one of two reasons.
// CWndAuthority is the same dialog with its own layout and hint.
#pragma once

#include <string>

#include "controls/SkinWnd.h"

class CUserObj;

class WndUserViolationHanding : public CSkinWnd {
public:
    // Only the target's id, alias and chat ban are kept: the user may leave (and his
    // object go) while the dialog is open.
    explicit WndUserViolationHanding(const CUserObj& target);
    const SkinWndTraits& Traits() const override;

    int TargetId() const { return m_nTargetId; }
    const std::string& TargetAlias() const { return m_targetAlias; }

    // What differs between the dialog and its twin.
    struct Row {
        SkinWndTraits traits;
        const wchar_t* sentHint;
    };

protected:
    WndUserViolationHanding(const CUserObj& target, const Row& row);

    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void Submit();
    bool IsChosen(const wchar_t* name) const;

    const Row& m_row;
    int m_nTargetId;
    std::string m_targetAlias;
    bool m_bTargetChatBanned;
};

class CWndAuthority : public WndUserViolationHanding {
public:
    explicit CWndAuthority(const CUserObj& target);
};
