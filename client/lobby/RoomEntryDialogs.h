// The three small windows of entering a room: the note shown while a join runs, the
// room password prompt and the carrier-network chooser.
#pragma once

#include "controls/SkinWnd.h"

// Shown while a join request runs; the lobby closes it. Deletes itself and clears the
// lobby's member (owner slot).
class CWndWaitJoinRoom : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void OnClick(DuiLib::TNotifyUI& msg) override;
};

// Asks for the password of the room being joined and sends the join again. Modal,
// deleted by its creator.
class CWndRoomPwd : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void Submit();

    DuiLib::CControlUI* m_pPwdEdit = nullptr;
    DuiLib::CControlUI* m_pOkBtn = nullptr;
    DuiLib::CControlUI* m_pCancelBtn = nullptr;
};

// The carrier network the computer is on (0 telecom, 1 unicom, 2 mobile, other
// unknown), kept in the user environment. Modal, deleted by its creator.
class CWndNetworkChoose : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;

    // "当前使用网络:..." for a choice.
    static const wchar_t* CurrentNetText(int choice);

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;

private:
    void Apply();
    void ShowCurrent();

    DuiLib::COptionUI* m_pOptDianXin = nullptr;
    DuiLib::COptionUI* m_pOptLianTong = nullptr;
    DuiLib::CControlUI* m_pChooseBtn = nullptr;
    DuiLib::CControlUI* m_pExitBtn = nullptr;
    DuiLib::CControlUI* m_pCurNet = nullptr;
};

// The password a prompt stores: the typed text in the code page, at most 16 bytes,
// never ending in half a double-byte character.
std::string RoomPasswordField(const wchar_t* typed, UINT codePage);
