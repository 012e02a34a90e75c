#include "kernel/NotificationCopy.h"

#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"

namespace comm {

bool NotificationCarriesCopy(UINT msg) {
    switch (msg) {
        case UM_LOGON_OK:
        case UM_LOGON_FAILED:
        case UM_JOIN_ROOM_OK:
        case UM_JOIN_ROOM_FAILED:
        case UM_ROOM_USER_LIST:
        case UM_USER_ENTER_ROOM:
        case UM_USER_KICKED_OUT:
        case UM_USER_EXIT_ROOM:
        case UM_MIC_STATE_CHANGED:
        case UM_MIC_STATE_FAILED:
        case UM_ROOM_CHAT_MSG:
        case UM_TRADE_GIFT_FAILED:
        case UM_TRADE_GIFT_NOTIFY:
        case UM_LOUDSPEAKER_MSG:
        case UM_LUCKY_GIFT_REWARD:
        case UM_WAIT_MIC_INDEX_CHANGED:
        case UM_THROW_USER_NOTIFY:
        case UM_USER_PRIORITY_CHANGED:
        case UM_PUBLIC_MIC_CHANGED:
        case UM_SET_USER_PROFILE_RESP:
        case UM_SET_USER_PWD_RESP:
        case UM_MV_KUXIN_RESP:
        case UM_FIREWORKS_PICKED:
        case UM_PLAY_FIREWORKS_NOTIFY:
        case UM_SEAL_NOTIFY:
        case UM_SEE_USER_IP_RESP:
        case UM_SIEGE_STATE:
        case UM_OPEN_CHEST_RESP:
        case UM_CONN_MEDIA_REQ:
        case UM_CONN_MEDIA_RESP:
        case UM_CONN_MEDIA_ERR:
            return true;
        default:
            return false;
    }
}

void FreePendingCopies(HWND wnd) {
    if (!wnd) return;
    MSG msg;
    while (::PeekMessageW(&msg, wnd, UM_SERVER_CONNECTED, UM_CONN_MEDIA_ERR, PM_REMOVE))
        NotificationCopy copy(msg.message, msg.lParam);
}

NotificationCopy::NotificationCopy(UINT msg, LPARAM lParam) {
    if (NotificationCarriesCopy(msg)) m_copy = reinterpret_cast<char*>(lParam);
}

NotificationCopy::~NotificationCopy() {
    CCommKernel::free_msgdata(m_copy);
}

char* NotificationCopy::release() {
    char* copy = m_copy;
    m_copy = nullptr;
    return copy;
}

}  // namespace comm
