#include "dialogs/WndSendGonggao.h"

namespace {
const ChatSenderRow kRow = {
    {"CWndSendGonggao", L"WndSendGonggao.xml",
     kMsgCreate | kMsgSize | kMsgNcCalcSize | kMsgNcPaint | kMsgNcHitTest | kMsgNcActivate,
     ScClose::kDefault, Lifetime::kSelfDeleting, false},
    L"textprice",
    L"房间公告：可发送200个字,每条收费 0 Z币!",
    1,
    true};
}  // namespace

CWndSendGonggao::CWndSendGonggao() : CWndChatSender(kRow) {}
