// The HTML (and lucky-banner markup) of the lines the room's notifications write:
// entrances, leaving, microphones, room texts, the siege strip, gifts, lucky wins,
// the loudspeaker and seals. Names, addresses and catalog texts go through HtmlText
// (escaped), network texts that may carry markup are sanitised, banner texts take the
// banner markup's escape. The user links come in already built.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "model/RoomObj.h"

struct tag_UserLevelDescInfo;

namespace NotifyLines {

// The DIV that opens entrance and leaving lines.
extern const wchar_t kLoginInfoDiv[];
// The DIV that opens microphone lines.
extern const wchar_t kMicHintDiv[];

// A member's entrance line: level pictures and title, the alias, then the ending of
// the entry state (`during` while the room is entered or entrances are shielded;
// `welcomeId` above 0 adds the welcome link after it).
std::wstring EntranceLine(const tag_UserLevelDescInfo& desc, const std::string& alias, bool during,
                          int welcomeId);
// "用户(%d) ..." lines of a member put out (reason) or leaving (exit).
std::wstring KickLine(int userId, int managerId, int reason);
std::wstring ExitLine(int userId);

// The microphone states of a member: 0 none, 1 public, 2 VIP, 3 secret.
int MicStateOfFlags(uint32_t flags);
int MicStateOfPayload(uint8_t flags);
// The text after the links of a microphone change; empty for 0 to 0.
std::wstring MicChangeText(int oldState, int newState, bool byOther, int targetId);
// The text of a microphone type change by a manager (after his link); index 0-based.
std::wstring MicTypeText(int index, int value);
// The title of a public microphone pane for a table entry; empty: leave the title.
std::wstring PubMicTitle(const tag_PubMicInfo& mic);

// A room text (notice) line of the public chat.
std::wstring NoticeLine(const std::wstring& text);

// The siege strip for a block at `now` (seconds since 1970).
std::wstring SiegeStrip(const tag_SiegeInfo& siege, int64_t now);
// "d天h小时m分钟s秒" of an elapsed time (negative counts as 0).
std::wstring ElapsedText(int64_t seconds);

// Gift lines.
std::wstring GiftHead(const std::wstring& giverLink, const std::wstring& receiverLink, int count,
                      const std::wstring& giftName, int giftId);
std::wstring ThankLine(const std::wstring& giverLink, const std::wstring& receiverLink,
                       const std::string& giverAlias, int count, const std::wstring& giftName,
                       int64_t value);
// The local user's lucky reward line; `counts` is multiplier -> occurrences.
std::wstring LuckyRewardLine(const std::wstring& senderLink, const std::wstring& giftName,
                             const std::map<int, int>& counts);
// One lucky-banner text per multiplier above 0, in payload order.
std::vector<std::wstring> LuckyBoxTexts(const std::string& senderAlias,
                                        const std::wstring& giftName,
                                        const std::vector<int16_t>& multipliers, int price);

// A loudspeaker block, its text chat markup with emoticon codes as pictures; empty for
// kinds other than 0 to 4.
std::wstring LoudspeakerBlock(int kind, const std::string& ansiText);
// The seal hint's HTML (with the seal picture), or the eraser's for seal 0.
std::wstring SealHint(int markerId, int markedId, int sealId, int minutes);

}  // namespace NotifyLines
