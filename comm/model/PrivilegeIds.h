// The privilege ids the program asks the privilege manager about, each with what it
// guards. One-party unless marked two-party (actor and target).
#pragma once

constexpr short PRIV_PRIVATE_CHAT = 4;  // sending a private chat line
constexpr short PRIV_LOUDSPEAKER = 5;   // opening the loudspeaker sender
// Opening the private video of a member on a VIP private mic: from a chat link, a
// double click on his row and the room menu's connect-video command.
constexpr short PRIV_VIP_MIC_VIDEO = 6;
constexpr short PRIV_PRIVATE_VIDEO_SPECTATOR = 8;  // accepted as spectator of private video
constexpr short PRIV_EXCHANGE_FIRST = 14;          // first exchange operation (points)
constexpr short PRIV_EXCHANGE_SECOND = 15;         // second exchange operation (transfer)
// The room's operating status (the base page of the room settings), its notices and
// programme text, putting a member on a public mic; one of the three that open the
// room settings.
constexpr short PRIV_ROOM_OP_STATUS = 16;
constexpr short PRIV_ANNOUNCEMENT = 17;  // opening the announcement sender
constexpr short PRIV_ASK_PUBLIC_MIC = 18;
constexpr short PRIV_ASK_PRIVATE_MIC = 19;  // the VIP private mic
constexpr short PRIV_ASK_SECRET_MIC = 20;
// The room's base information; one of the three that open the room settings.
constexpr short PRIV_ROOM_BASE_INFO = 23;
constexpr short PRIV_APPOINT_MANAGER = 24;
constexpr short PRIV_APPOINT_TEMP_MANAGER = 26;
// The room's base information with its creator id as typed; one of the three that
// open the room settings.
constexpr short PRIV_ROOM_CREATOR = 28;
// The site black list: the room menu's site black-list command and the sanction
// dialog's all-rooms scope.
constexpr short PRIV_SITE_BLACKLIST = 29;
constexpr short PRIV_JOIN_WAIT_MIC = 34;        // joining the microphone queue
constexpr short PRIV_WAIT_MIC_OPERATION = 35;   // moving or cancelling entries of the queue
constexpr short PRIV_CHAT_LIMIT_20 = 36;        // chat lines limited to 20 characters
constexpr short PRIV_EMOTICON_PAGE = 37;        // which emoticon page the picker loads
constexpr short PRIV_FORBID_CARRY_OPTION = 38;  // the forbid-carry-to-mic menu option
constexpr short PRIV_ROOM_MEDIA_SETTINGS = 39;  // the room's media servers
constexpr short PRIV_PUBLIC_MIC_STATE = 40;     // a public mic's type or minutes

// Two-party.
constexpr short PRIV_INVITE_TO_PUBLIC_MIC = 100;  // invite or carry the target onto a mic
constexpr short PRIV_EDITION_107 = 107;           // answered by the edition rules only
constexpr short PRIV_KICK_OUT = 108;              // kick the target out of the room
constexpr short PRIV_SEE_USER_IP = 111;           // see the target's IP address
constexpr short PRIV_EDITION_112 = 112;           // answered by the edition rules only
