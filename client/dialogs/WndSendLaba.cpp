#include "dialogs/WndSendLaba.h"

namespace {
const ChatSenderRow kRow = {
    {"CWndSendLaba", L"WndSendLaba.xml",
     kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcPaint | kMsgNcHitTest | kMsgNcActivate,
     ScClose::kDefault, Lifetime::kSelfDeleting, false},
    L"labtextprice",
    L"小喇叭价格：可发送200个字,每条收费 10000 Z币!",
    3,
    false};
}  // namespace

CWndSendLaba::CWndSendLaba() : CWndChatSender(kRow) {}
