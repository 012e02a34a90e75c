#include "kernel/NotificationCopy.h"

#include <algorithm>
#include <iterator>

#include "kernel/CommKernel.h"
#include "kernel/Notifications.h"

namespace comm {

namespace {

// A constant array, not a built list: windows that go as the program ends still ask.
const UINT kCarriesCopy[] = {
    UM_LOGON_OK,           UM_LOGON_FAILED,
    UM_JOIN_ROOM_OK,       UM_JOIN_ROOM_FAILED,
    UM_ROOM_USER_LIST,     UM_USER_ENTER_ROOM,
    UM_USER_KICKED_OUT,    UM_USER_EXIT_ROOM,
    UM_MIC_STATE_CHANGED,  UM_MIC_STATE_FAILED,
    UM_ROOM_CHAT_MSG,      UM_TRADE_GIFT_FAILED,
    UM_TRADE_GIFT_NOTIFY,  UM_LOUDSPEAKER_MSG,
    UM_LUCKY_GIFT_REWARD,  UM_WAIT_MIC_INDEX_CHANGED,
    UM_THROW_USER_NOTIFY,  UM_USER_PRIORITY_CHANGED,
    UM_PUBLIC_MIC_CHANGED, UM_SET_USER_PROFILE_RESP,
    UM_SET_USER_PWD_RESP,  UM_MV_KUXIN_RESP,
    UM_FIREWORKS_PICKED,   UM_PLAY_FIREWORKS_NOTIFY,
    UM_SEAL_NOTIFY,        UM_SEE_USER_IP_RESP,
    UM_SIEGE_STATE,        UM_OPEN_CHEST_RESP,
    UM_CONN_MEDIA_REQ,     UM_CONN_MEDIA_RESP,
    UM_CONN_MEDIA_ERR,
};

}  // namespace

const std::vector<UINT>& CopyCarryingNotifications() {
    static const std::vector<UINT> ids(std::begin(kCarriesCopy), std::end(kCarriesCopy));
    return ids;
}

bool NotificationCarriesCopy(UINT msg) {
    return std::find(std::begin(kCarriesCopy), std::end(kCarriesCopy), msg) !=
           std::end(kCarriesCopy);
}

NotificationRange PendingCopyRange() {
    return {UM_SERVER_CONNECTED, UM_CONN_MEDIA_ERR};
}

void FreePendingCopies(HWND wnd) {
    if (!wnd) return;
    const NotificationRange range = PendingCopyRange();
    MSG msg;
    while (::PeekMessageW(&msg, wnd, range.first, range.last, PM_REMOVE))
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
