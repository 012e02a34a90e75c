// The loudspeaker composer.
#pragma once

#include "dialogs/WndChatSender.h"

class CWndSendLaba : public CWndChatSender {
public:
    CWndSendLaba();
};
