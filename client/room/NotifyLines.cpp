#include "room/NotifyLines.h"

#include <cstdio>
#include <cwchar>

#include "catalogs/UserLevelInfoManager.h"
#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "model/FixedText.h"
#include "room/ChatLines.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

namespace NotifyLines {

const wchar_t kLoginInfoDiv[] =
    L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; FONT-SIZE: "
    L"11pt; FONT-WEIGHT: normal\" class=chatroom_LoginInfo>";
const wchar_t kMicHintDiv[] =
    L"<DIV style=\"FONT-WEIGHT: normal; FONT-SIZE: 11pt; LINE-HEIGHT: normal; FONT-STYLE: "
    L"normal; FONT-VARIANT: normal\" class=chatroom_HintInfo><SPAN class=HintInfoPic></SPAN>";

namespace {

const wchar_t kPropsDiv[] =
    L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; FONT-SIZE: "
    L"11pt; FONT-WEIGHT: normal\" class=Default_FontColor><SPAN class=PropsPic></SPAN>";
const wchar_t kStripStart[] =
    L"<TABLE border=0 cellSpacing=0 cellPadding=0 width=\"100%\"><TBODY><TR><TD style=\"HEIGHT: "
    L"22px\" vAlign=center>\n"
    L"<MARQUEE onmouseover=this.stop() style=\"FONT-SIZE: 18px; COLOR: #ec217b\" "
    L"onmouseout=this.start() scrollAmount=2 scrollDelay=2 valign=\"bottom\" "
    L"align=\"absmiddle\">";
const wchar_t kStripEnd[] = L"</MARQUEE></TD></TR></TBODY></TABLE>";

std::wstring Wide(const std::string& ansi) {
    return winplat::AnsiToWide(ansi);
}

std::wstring Picture(const wchar_t* head, const std::wstring& path, const wchar_t* tail) {
    return head + HtmlText::Escape(path) + tail;
}

}  // namespace

std::wstring EntranceLine(const tag_UserLevelDescInfo& desc, const std::string& alias, bool during,
                          int welcomeId) {
    const std::wstring skin = ChatLines::SkinFolder();
    std::wstring line = kLoginInfoDiv;
    if (!desc.image1.empty())
        line += Picture(L"<IMG align=top src=\"", skin + L"\\" + desc.image1, L"\">");
    line += HtmlText::Escape(desc.title);
    if (!desc.image2.empty())
        line += Picture(L"<IMG border=0 src=\"", skin + L"\\" + desc.image2, L"\">");
    line += HtmlText::Escape(Wide(alias));
    if (during)
        line += L"正在本房间娱乐，帅呆了！</DIV>";
    else if (welcomeId > 0)
        line += winplat::FormatText(
            L"来到本房间，帅呆了！ <a href=\"welcome:%d\">【欢 迎】</a> </DIV>", welcomeId);
    else
        line += L"来到本房间，帅呆了！</DIV>";
    return line;
}

std::wstring KickLine(int userId, int managerId, int reason) {
    if (reason == 522 || reason == 107)
        return kLoginInfoDiv + winplat::FormatText(L"用户(%d) 离开房间！</DIV>", userId);
    return kLoginInfoDiv +
           winplat::FormatText(L"用户(%d) 被 管理员[%d] 请出本房间！</DIV>", userId, managerId);
}

std::wstring ExitLine(int userId) {
    return kLoginInfoDiv + winplat::FormatText(L"用户(%d) 退出本房间！</DIV>", userId);
}

int MicStateOfFlags(uint32_t flags) {
    if (flags & 0x1) return 1;
    if (flags & 0x2) return 2;
    if (flags & 0x4) return 3;
    return 0;
}

int MicStateOfPayload(uint8_t flags) {
    switch (flags) {
        case 1:
            return 1;
        case 2:
            return 2;
        case 4:
            return 3;
        default:
            return 0;
    }
}

std::wstring MicChangeText(int oldState, int newState, bool byOther, int targetId) {
    switch (newState) {
        case 3:
            return winplat::FormatText(
                byOther ? L"抱上了密麦，点击<a href=\"entersecrmic:%d\">打开密麦</a>"
                        : L"正在密麦上，点击<a href=\"entersecrmic:%d\">打开密麦</a>",
                targetId);
        case 2:
            return winplat::FormatText(
                byOther ? L"抱上了VIP麦，点击<a href=\"entervipmic:%d\">打开VIP麦</a>"
                        : L"正在VIP麦上，点击<a href=\"entervipmic:%d\">打开VIP麦</a>",
                targetId);
        case 1:
            return byOther ? L"抱上了公麦。" : L"正在公麦上。";
        default:
            break;
    }
    switch (oldState) {
        case 1:
            return byOther ? L"抱下了公麦。" : L"取消了公麦主持。";
        case 2:
            return byOther ? L"被抱下了VIP麦。" : L"取消了VIP麦主持。";
        case 3:
            return byOther ? L"被抱下了密麦。" : L"取消了密麦主持。";
        default:
            return std::wstring();
    }
}

std::wstring MicTypeText(int index, int value) {
    switch (value) {
        case -2:
            return winplat::FormatText(L"将%d麦的类型修改为：管理麦。", index + 1);
        case -1:
            return winplat::FormatText(L"将%d麦的类型修改为：不限时的自由麦。", index + 1);
        case 0:
            return winplat::FormatText(L"将%d麦的类型修改为：关闭麦。", index + 1);
        default:
            break;
    }
    return value > 0 ? winplat::FormatText(L"将%d麦的麦时修改为：%d分钟。", index + 1, value)
                     : std::wstring();
}

std::wstring PubMicTitle(const tag_PubMicInfo& mic) {
    std::wstring text;
    if (mic.micType == -2)
        text = L"管理麦";
    else if (mic.micType == -1)
        text = L"自由麦";
    else if (mic.micType == 0)
        text = L"已关闭";
    else if (mic.micType > 0 && mic.userId == 0)
        text = winplat::FormatText(L"%02d:00", static_cast<int>(mic.micType));
    return text.size() > 1 ? text : std::wstring();
}

std::wstring NoticeLine(const std::wstring& text) {
    return L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; "
           L"FONT-SIZE: "
           L"11pt; FONT-WEIGHT: normal\" class=chatroom_CallBoard><SPAN "
           L"class=CallBoardPic></SPAN>" +
           HtmlText::SanitizeChat(text, ChatLines::SkinFolder()) + L"</DIV>";
}

std::wstring ElapsedText(int64_t seconds) {
    if (seconds < 0) seconds = 0;
    return winplat::FormatText(
        L"%lld天%lld小时%lld分钟%lld秒", static_cast<long long>(seconds / 86400),
        static_cast<long long>(seconds / 3600 % 24), static_cast<long long>(seconds % 3600 / 60),
        static_cast<long long>(seconds % 60));
}

std::wstring SiegeStrip(const tag_SiegeInfo& siege, int64_t now) {
    std::wstring strip = kStripStart;
    if (siege.lordId == 0 || siege.ladyId == 0)
        return strip + L"当前城主之位空缺,欢迎使用 骑兵 进行攻城。" + kStripEnd;
    const std::wstring lord =
        HtmlText::Escape(Wide(FixedFieldText(siege.lordAlias, sizeof siege.lordAlias)));
    const std::wstring lady =
        HtmlText::Escape(Wide(FixedFieldText(siege.ladyAlias, sizeof siege.ladyAlias)));
    strip += L"恭喜" + winplat::FormatText(L"%ls(%d)", lord.c_str(), siege.lordId);
    strip += L"用<FONT color=#e95d00><B>" + winplat::FormatText(L"%d个骑兵", siege.knights);
    strip +=
        L"</B></FONT>攻下了主城送给" + winplat::FormatText(L"%ls(%d)", lady.c_str(), siege.ladyId);
    // The browser runs no script: the held time is written out, and the strip is
    // rewritten every second while the castle is held.
    strip +=
        L",他们成为了城主和城主夫人!<FONT style=\"FONT-SIZE: 18px; COLOR: "
        L"#808080\">(成功守城:<SPAN "
        L"id=timeSpan style=\"FONT-WEIGHT: bold; COLOR: #f90881\">" +
        ElapsedText(now - siege.captureTime) + L"</SPAN>)</FONT>";
    return strip + kStripEnd;
}

std::wstring GiftHead(const std::wstring& giverLink, const std::wstring& receiverLink, int count,
                      const std::wstring& giftName, int giftId) {
    return kPropsDiv + giverLink + L"送给" + receiverLink +
           winplat::FormatText(L"%d个 %ls,", count, HtmlText::Escape(giftName).c_str()) +
           Picture(L"<IMG align=top src=\"",
                   ChatLines::SkinFolder() + winplat::FormatText(L"\\gift\\%d_1.gif", giftId),
                   L"\" />");
}

std::wstring ThankLine(const std::wstring& giverLink, const std::wstring& receiverLink,
                       const std::string& giverAlias, int count, const std::wstring& giftName,
                       int64_t value) {
    const std::wstring name = HtmlText::Escape(giftName);
    const long long v = static_cast<long long>(value);
    return kPropsDiv + giverLink + L"送给" + receiverLink +
           winplat::FormatText(L"%d个 %ls", count, name.c_str()) +
           winplat::FormatText(
               L",价值 %lld Z币,  <a href=\"gift_thank:【%ls】送给【你】 %d 个 %ls,价值 %lld "
               L"Z币!\">【谢 谢】</a>!",
               v, HtmlText::Escape(Wide(giverAlias)).c_str(), count, name.c_str(), v) +
           L"</DIV>";
}

std::wstring LuckyRewardLine(const std::wstring& senderLink, const std::wstring& giftName,
                             const std::map<int, int>& counts) {
    std::wstring line = kPropsDiv + senderLink + L"<SPAN style=\"COLOR: red\"><B>" +
                        winplat::FormatText(L"送出%ls, 获得", HtmlText::Escape(giftName).c_str());
    bool first = true;
    for (const auto& c : counts) {
        if (c.first <= 0) continue;
        line += winplat::FormatText(first ? L"%d倍奖%d次" : L"，%d倍奖%d次", c.first, c.second);
        first = false;
    }
    return line + L"。</B></SPAN>" + L"</DIV>";
}

std::vector<std::wstring> LuckyBoxTexts(const std::string& senderAlias,
                                        const std::wstring& giftName,
                                        const std::vector<int16_t>& multipliers, int price) {
    const std::wstring alias = HtmlText::EscapeMarkup(Wide(senderAlias));
    const std::wstring name = HtmlText::EscapeMarkup(giftName);
    std::vector<std::wstring> texts;
    for (int16_t m : multipliers) {
        if (m <= 0) continue;
        const wchar_t* icon = m == 10    ? L"icon_10.png"
                              : m == 50  ? L"icon_50.png"
                              : m == 500 ? L"icon_500.png"
                                         : L"icon_100.png";
        // A multiple of a price passes 32 bits: counted and shown in 64.
        const long long amount = static_cast<long long>(m) * price;
        texts.push_back(
            winplat::FormatText(L"恭喜<c #FF0000>%ls </c>送出<c #FF0000>%ls </c>后获得 <i %ls 1 "
                                L"0>，共计<c #FF0000>%lld 金币 </c>",
                                alias.c_str(), name.c_str(), icon, amount));
    }
    return texts;
}

std::wstring LoudspeakerBlock(int kind, const std::string& ansiText) {
    const wchar_t* icon = nullptr;
    if (kind >= 0 && kind <= 3)
        icon = L"\\trumpet\\goldSpeaker.gif";
    else if (kind == 4)
        icon = L"\\trumpet\\guanfang.gif";
    if (!icon) return std::wstring();
    return L"<DIV style=\"PADDING-RIGHT: 5px; PADDING-LEFT: 5px; FONT-SIZE: 9pt; PADDING-BOTTOM: "
           L"5px; "
           L"WORD-BREAK: break-all; LINE-HEIGHT: 23px; PADDING-TOP: 5px; FONT-FAMILY: 宋体\">" +
           Picture(L"<IMG src=\"", ChatLines::SkinFolder() + icon, L"\" align=absMiddle />") +
           L"&nbsp;&nbsp;" + ChatLines::ChatText(Wide(ansiText)) + L"</DIV>";
}

std::wstring SealHint(int markerId, int markedId, int sealId, int minutes) {
    if (sealId == 0)
        return HtmlText::Escape(
            winplat::FormatText(L"用户 %d 送 用户 %d 一个橡皮擦!", markerId, markedId));
    const std::wstring picture =
        Picture(L"<IMG align=top src=\"",
                ProgramFolder() + winplat::FormatText(L"\\skin\\Seal\\%d_a.png", sealId), L"\" />");
    return winplat::FormatText(L"用户 %d 被 用户 %d 鉴定为 %ls, 时长 %d 分钟", markedId, markerId,
                               picture.c_str(), minutes);
}

}  // namespace NotifyLines
