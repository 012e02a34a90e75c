// The room announcement composer.
#pragma once

#include "dialogs/WndChatSender.h"

class CWndSendGonggao : public CWndChatSender {
public:
    CWndSendGonggao();
};
