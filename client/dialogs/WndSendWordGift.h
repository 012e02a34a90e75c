// Sends a word gift (a gift with a short dedication) to one member, through the room
// window that opened it.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "controls/SkinWnd.h"

class CGiftListUI;

class CWndSendWordGift : public CSkinWnd {
public:
    static constexpr size_t kMaxWords = 18;  // characters

    const SkinWndTraits& Traits() const override;
    void SetTargetUserId(int userId) { m_nTargetUserId = userId; }
    void SetTargetName(LPCTSTR alias);
    int GetChosenGiftId() const { return m_nGiftId; }
    // Shows a catalog gift and makes it the chosen one.
    void ShowGiftInfo(int giftId);
    // What sends the chosen gift with its words (ANSI); the opening room hands it over.
    using SendWithWords =
        std::function<void(int targetId, int giftId, int count, const char* words)>;
    void SetSender(SendWithWords send) { m_send = std::move(send); }
    // Nothing is sent without a sender.
    void Send();

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
    void OnNotify(DuiLib::TNotifyUI& msg) override;

private:
    void FillGiftList();

    CGiftListUI* m_pGiftList = nullptr;
    DuiLib::CControlUI* m_pGiftText = nullptr;
    DuiLib::CControlUI* m_pUserText = nullptr;
    DuiLib::CControlUI* m_pInput = nullptr;
    int m_nTargetUserId = 0;
    int m_nGiftId = -1;
    int m_nCount = 1;
    std::wstring m_alias;
    SendWithWords m_send;
};
