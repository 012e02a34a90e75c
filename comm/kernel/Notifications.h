// The kernel's notifications: posted to the notify window of a server type after the
// model has changed. A payload copy in lParam belongs to the receiving window, which
// frees it with CCommKernel::free_msgdata.
#pragma once

// Handled by windows but posted by nobody.
#define UM_SERVER_CONNECTED 11026

#define UM_SERVER_DISCONNECTED 11028   // server closed a connection; wParam server type
#define UM_SERVER_CONNECT_ERROR 11029  // socket error of the error table; wParam server type
#define UM_LOGON_OK 11044              // 103/5; lParam 80-byte copy
#define UM_LOGON_FAILED 11045          // 103/4; lParam new 12-byte array, reason code first
#define UM_ROOM_GROUP_LIST_END 11046   // 103/9
#define UM_JOIN_ROOM_OK 11047          // 105/27; wParam room id, lParam copy
#define UM_JOIN_ROOM_FAILED 11048      // 105/26; lParam copy
#define UM_ROOM_USER_LIST 11049        // 105/30 per entry added; wParam room id, lParam list of one
#define UM_ROOM_USER_LIST_END 11050    // 105/31; wParam current room id
#define UM_USER_ENTER_ROOM 11051       // 105/32; wParam room id, lParam copy
#define UM_WAIT_MIC_LIST_CHANGED 11052    // 105/42; wParam room id
#define UM_PUBLIC_MIC_INFO 11053          // 105/33 per entry, 105/102; wParam room id, lParam index
#define UM_ROOM_NOTICE_TEXT 11054         // 105/67; wParam room id, lParam text index 0 to 3
#define UM_USER_KICKED_OUT 11055          // 105/39; wParam room id, lParam copy
#define UM_USER_EXIT_ROOM 11056           // 105/36; wParam room id, lParam copy
#define UM_MIC_STATE_CHANGED 11057        // 105/75; wParam room id, lParam copy
#define UM_MIC_STATE_FAILED 11058         // 105/74; wParam first int32, lParam copy
#define UM_ROOM_CHAT_MSG 11059            // 105/45; lParam copy
#define UM_TRADE_GIFT_FAILED 11060        // 105/48; lParam copy
#define UM_TRADE_GIFT_NOTIFY 11061        // 105/49; lParam copy
#define UM_MY_WEALTH_CHANGED 11062        // 105/62
#define UM_LOUDSPEAKER_MSG 11063          // 105/61; lParam copy
#define UM_LUCKY_GIFT_REWARD 11064        // 105/60; lParam copy
#define UM_GIFT_ROLL_INFO 11065           // 105/41
#define UM_ROOM_ATTR_CHANGED 11066        // 105/68; wParam room id
#define UM_ROOM_INFO_CHANGED 11067        // 105/63; wParam room id
#define UM_WAIT_MIC_INDEX_CHANGED 11068   // 105/108; lParam copy
#define UM_THROW_USER_NOTIFY 11069        // 105/92; wParam room id, lParam copy
#define UM_USER_PRIORITY_CHANGED 11070    // 105/86; wParam room id, lParam copy
#define UM_PUBLIC_MIC_CHANGED 11071       // 105/102; wParam room id, lParam copy
#define UM_SET_ROOM_NOTICE_RESP 11072     // 105/117; wParam room id, lParam result
#define UM_SET_ROOM_INFO_RESP 11073       // 105/113; wParam room id, lParam result
#define UM_SET_ROOM_OP_STATUS_RESP 11074  // 105/115; wParam room id, lParam result
#define UM_SET_USER_PROFILE_RESP 11075    // 103/119; lParam copy
#define UM_SET_USER_PWD_RESP 11076        // 103/121 and 105/121; lParam copy
#define UM_MV_ZHINGXING_RESP 11077        // 103/123; wParam second int32
#define UM_MV_KUXIN_RESP 11078            // 103/125; lParam copy
#define UM_USER_ALIAS_CHANGED 11079       // 105/83; wParam user id
#define UM_MONEY_TRANSFER_NOTIFY 11081    // 105/129; wParam sender id, lParam amount
#define UM_MONEY_OP_FAILED 11082          // 105/128
#define UM_ROOM_MEDIA_CHANGED 11083       // 105/66; wParam room id
#define UM_FIREWORKS_PICKED 11084         // 105/57; wParam room id, lParam copy
#define UM_TRADE_FIREWORKS_FAILED 11085   // 105/56; wParam third int32, lParam fourth int32
#define UM_PLAY_FIREWORKS_NOTIFY 11086    // 105/59; wParam room id, lParam copy
#define UM_WAIT_MIC_LIMIT_SET_OK 11087    // 105/132, own change
#define UM_WAIT_MIC_LIMIT_CHANGED 11088   // 105/132, another user's change
#define UM_UP_WAIT_MIC_OK 11089           // 105/104
#define UM_OPERATE_WAIT_MIC_RESP 11090    // 105/107; lParam result
#define UM_SEAL_NOTIFY 11091              // 105/95; lParam copy
#define UM_SEND_SEAL_FAILED 11092         // 105/94
#define UM_TRADE_FIREWORKS_OK 11093       // 105/55; wParam delay in seconds, lParam fireworks id
#define UM_UP_WAIT_MIC_LIMIT_EXCEEDED 11094  // 105/105
#define UM_SEE_USER_IP_RESP 11096            // 105/88; lParam copy
#define UM_FORBID_INVITE_UP_MIC_RESP 11097   // 105/135; lParam new state
#define UM_SIEGE_STATE 11100                 // 105/137 and 105/138; lParam copy
#define UM_OPEN_CHEST_RESP 11101             // 105/144; lParam copy
#define UM_CONN_MEDIA_REQ 11102              // 105/69; wParam room id, lParam copy
#define UM_CONN_MEDIA_RESP 11103             // 105/70; wParam room id, lParam copy
#define UM_CONN_MEDIA_ERR 11104              // 105/71; wParam room id, lParam copy

// Posted by the program's own windows (11095, 11098, 11099): see those windows.
