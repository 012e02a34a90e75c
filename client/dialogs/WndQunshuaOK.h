// The confirmation of a group gift: unit price, count, recipients and total. A stack
// object the room runs modally.
#pragma once

#include <cstdint>

#include "controls/SkinWnd.h"

class CWndQunshuaOK : public CSkinWnd {
public:
    const SkinWndTraits& Traits() const override;
    void SetGiftInfo(int giftId, int unitPrice, int count, int recipients);
    // The total as shown, in 64 bits: a 32-bit product would wrap.
    static int64_t Total(int unitPrice, int count, int recipients);

protected:
    void InitWindow() override;
    void OnClick(DuiLib::TNotifyUI& msg) override;
};
