#include "room/ChatLines.h"

#include <cstdio>
#include <cwchar>

#include "catalogs/CaitiaoManager.h"
#include "catalogs/UserLevelInfoManager.h"
#include "controls/ChatRecord.h"
#include "controls/HtmlText.h"
#include "controls/KernelData.h"
#include "model/UserObj.h"
#include "session/CommKernelData.h"
#include "win32/text.h"

namespace ChatLines {

namespace {

const wchar_t kLineFrame[] =
    L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; FONT-SIZE: "
    L"11pt; FONT-WEIGHT: normal\" class=Default_FontColor>";
const wchar_t kSkinSub[] = L"skin\\MVChat";

std::wstring Wide(const std::string& ansi) {
    return winplat::AnsiToWide(ansi);
}

std::wstring LevelImage(int kind, int level) {
    CCommKernelData* d = KernelData();
    const wchar_t* name = d ? d->GetLevelImgName(kind, level) : nullptr;
    return name ? std::wstring(name) : std::wstring();
}

std::wstring MemberLinks(const RecordView& v) {
    const tag_CMDRoomChatMsg& r = *v.record;
    const std::string senderName = ChatFieldText(r.senderAlias, sizeof r.senderAlias);
    const std::string targetName = ChatFieldText(r.targetAlias, sizeof r.targetAlias);
    return UserLink(r.senderId, v.sender, senderName, r.senderId == v.myId) + L"对" +
           UserLink(r.targetId, v.target, targetName, r.targetId == v.myId) + L"说:";
}

}  // namespace

std::wstring SkinFolder() {
    return ProgramFolder() + L"\\" + kSkinSub;
}
std::wstring ChatStyleFolder() {
    return SkinFolder() + L"\\chat";
}
std::wstring EmotionFolder() {
    return SkinFolder() + L"\\emotion";
}
std::wstring ResourceFolder() {
    return SkinFolder();
}

std::wstring PageHead(const std::wstring& browser) {
    if (browser == L"pubtextout" || browser == L"privtextout") {
        return L"<HTML><HEAD><META http-equiv=Content-Language content=zh-cn><META "
               L"http-equiv=Content-Type content=\"text/html; charset=gb2312\"><LINK "
               L"rel=stylesheet href=\"" +
               ChatStyleFolder() + L"/chat.css" + L"\"></HEAD><BODY bgColor=#ffffff>";
    }
    if (browser == L"siegetextout") {
        return L"<HTML><HEAD><STYLE type=text/css>"
               L"INPUT, TD, BODY, P { FONT-SIZE: 13px; LINE-HEIGHT: 20px; FONT-FAMILY: "
               L"\"Arial\", \"Verdana\", \"Helvetica\", \"sans-serif\" }"
               L"BODY { MARGIN: 0px; BORDER-STYLE: none; OVERFLOW: hidden }"
               L"A:link, A:visited { COLOR: #1F86E3 }"
               L"</STYLE></HEAD><BODY bgColor=#ffffff>";
    }
    if (browser == L"labazone") {
        return L"<HTML><HEAD><META http-equiv=Content-Language content=zh-cn><META "
               L"http-equiv=Content-Type content=\"text/html; charset=gb2312\"><STYLE "
               L"type=text/css>"
               L"DIV, P, UL, LI, IMG, A { BORDER: 0px; MARGIN: 0px; OUTLINE: 0px; PADDING: 0px }"
               L".testp { DISPLAY: block; FONT-SIZE: 12px; LINE-HEIGHT: 18px; PADDING: 2px 2px 2px "
               L"8px; WORD-BREAK: break-all }"
               L".testp1 { DISPLAY: block; FONT-SIZE: 12px; LINE-HEIGHT: 23px; PADDING: 2px 2px "
               L"2px 8px; WORD-BREAK: break-all }"
               L".testp .red, .testp1 .red { COLOR: red }"
               L".testp .weight, .testp1 .weight { FONT-WEIGHT: bold }"
               L".testp .icon, .testp1 .icon { VERTICAL-ALIGN: middle }"
               L".scroll_t { OVERFLOW-Y: auto; SCROLLBAR-FACE-COLOR: #C9E4FB; "
               L"SCROLLBAR-TRACK-COLOR: #E4F3FF; SCROLLBAR-ARROW-COLOR: #3B81BC }"
               L"</STYLE></HEAD><BODY style=\"BORDER-STYLE: none\" bgColor=#e4f6fe>";
    }
    return std::wstring();
}

std::wstring TimeSpan(time_t t) {
    struct tm local;
    if (!localtime_r(&t, &local)) return std::wstring();
    return winplat::FormatText(L"<SPAN class=chatroom_time>(%02d:%02d:%02d)</SPAN>", local.tm_hour,
                               local.tm_min, local.tm_sec);
}

std::wstring UserLink(int id, CUserObj* user, const std::string& name, bool isMe) {
    std::wstring out = winplat::FormatText(
        L"[<A style=\"TEXT-DECORATION: none\" oncontextmenu=\"return PopupUserMenu(%d)\" "
        L"class=SelfSay_FontColor href=\"orinid:%d\">",
        id, id);
    std::wstring shown;
    if (isMe)
        shown = L"你";
    else if (id == 0)
        shown = L"大家";
    else if (user)
        shown = HtmlText::Escape(Wide(user->alias));
    else if (!name.empty())
        shown = HtmlText::Escape(Wide(name));
    else
        shown = std::to_wstring(id);
    if (id != 0 && user) {
        const std::wstring folder = ProgramFolder();
        for (const std::wstring& img :
             {LevelImage(1, user->levels[0]), LevelImage(2, user->GetRoomMgrLevel())}) {
            if (img.size() > 1)
                out += L"<IMG border=0 src=\"" +
                       HtmlText::Escape(folder + L"\\" + kSkinSub + L"\\" + img) + L" \">";
        }
    }
    return out + shown + L"</A>]";
}

std::wstring AnonymousLink() {
    return L"[<A style=\"TEXT-DECORATION: none\" class=SelfSay_FontColor>神秘人</A>]";
}

std::wstring HintLine(int style, const std::wstring& text) {
    if (style != 1) return std::wstring();
    return L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; "
           L"FONT-SIZE: 11pt; FONT-WEIGHT: normal\" class=chatroom_HintInfo><SPAN "
           L"class=HintInfoPic></SPAN>" +
           text + L"</DIV>";
}

std::wstring ChatText(const std::wstring& markup) {
    return HtmlText::ExpandEmoticons(HtmlText::SanitizeChat(markup, SkinFolder()), EmotionFolder());
}

std::wstring EntranceBanner(int car, CUserObj* user) {
    if (!user) return std::wstring();
    const std::wstring background =
        winplat::FormatText(L"%ls/car_01/star_fy_%d.gif", ResourceFolder().c_str(), car);
    std::wstring desc = L"未知等级";
    CCommKernelData* d = KernelData();
    if (d && d->m_pUserLevelInfoManager)
        if (tag_UserLevelDescInfo* info =
                d->m_pUserLevelInfoManager->FindLevelDesc(1, user->levels[0]))
            desc = HtmlText::Escape(info->title);
    return L"<DIV style=\"MARGIN: 1px 0px; WIDTH: 1000px; HEIGHT: 158px; FONT-FAMILY: arial; "
           L"BACKGROUND: url(" +
           HtmlText::Escape(background) +
           L"); OVERFLOW: hidden\" ><DIV style=\"FILTER: glow(Color=ff0000,Strength=3); "
           L"PADDING-BOTTOM: 0px; LINE-HEIGHT: 1.3; MARGIN-TOP: 40px; PADDING-LEFT: 160px; "
           L"PADDING-RIGHT: 0px; HEIGHT: 25px; COLOR: #fff000; FONT-SIZE: 14px; OVERFLOW: "
           L"hidden; FONT-WEIGHT: bold; PADDING-TOP: 0px\">" +
           desc + L"<SPAN style=\"COLOR: #fff000; FONT-SIZE: 14px; TEXT-DECORATION: underline\"> " +
           HtmlText::Escape(Wide(user->alias)) + L"(" + std::to_wstring(user->userId) +
           L") 华丽登场，群众夹道欢迎！</SPAN></DIV></DIV>";
}

RenderedLine RenderRecord(const RecordView& v) {
    RenderedLine out;
    if (!v.record) return out;
    const tag_CMDRoomChatMsg& r = *v.record;
    const std::wstring text = Wide(ChatRecordText(r));
    const bool mine = r.senderId == v.myId || r.targetId == v.myId;
    switch (r.kind) {
        case 0:
            if (v.shieldPublic && !v.localEcho) return out;
            out.view = mine && v.hasPrivateView ? ChatView::kPrivate : ChatView::kPublic;
            out.html = kLineFrame + MemberLinks(v) + ChatText(text) + TimeSpan(v.now) + L"</DIV>";
            out.autoReply = r.senderId != v.myId && r.targetId == v.myId;
            break;
        case 15:
        case 11:
            if (r.kind == 15 && v.shieldPrivate && !v.localEcho) return out;
            out.view = ChatView::kPrivate;
            out.html = std::wstring(kLineFrame) + L"<SPAN class=QuestionPic></SPAN>" +
                       MemberLinks(v) + ChatText(text) + TimeSpan(v.now) + L"</DIV>";
            out.autoReply = r.kind == 15 && r.senderId != v.myId && r.targetId == v.myId;
            break;
        case 3: {
            const std::string alias = ChatFieldText(r.senderAlias, sizeof r.senderAlias);
            const std::wstring folder = ProgramFolder();
            out.view = ChatView::kLoudspeaker;
            out.html =
                L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: normal; "
                L"FONT-SIZE: 9pt; FONT-WEIGHT: normal\" class=Default_FontColor><P class=testp>"
                L"<IMG src=\"" +
                HtmlText::Escape(folder + L"\\" + kSkinSub + L"\\trumpet\\bigtrumpet.gif") +
                L"\" height=19 />";
            const std::wstring level = LevelImage(1, r.senderLevel);
            if (!level.empty())
                out.html += L"<IMG src=\"" +
                            HtmlText::Escape(folder + L"\\" + kSkinSub + L"\\" + level) +
                            L"\" width=16 height=16 />";
            out.html +=
                L"<FONT style=\"FONT-SIZE: 12px\" color=#ff0000><STRONG title=453391>" +
                HtmlText::Escape(Wide(alias)) + L"(" + std::to_wstring(r.senderId) +
                L")</STRONG> </FONT><FONT style=\"FONT-SIZE: 12px\">发了个</FONT><FONT "
                L"style=\"FONT-SIZE: 12px\" color=#ff0000><STRONG>大喇叭</STRONG></FONT>:<BR>"
                L"<A style=\"FONT-FAMILY: 宋体; COLOR: #000000; FONT-SIZE: 9pt\">" +
                ChatText(text) + L"</A></P></DIV>";
            break;
        }
        case 1: {
            const std::string alias = ChatFieldText(r.senderAlias, sizeof r.senderAlias);
            out.view = ChatView::kPrivate;
            out.html =
                L"<DIV style=\"LINE-HEIGHT: normal; FONT-VARIANT: normal; FONT-STYLE: "
                L"normal; FONT-SIZE: 11pt; FONT-WEIGHT: normal\" class=chatroom_RoomMsg><SPAN "
                L"class=RoomMsgPic></SPAN>" +
                ChatText(text) + L"[<SPAN class=chatroom_Aid>" + HtmlText::Escape(Wide(alias)) +
                L"(" + std::to_wstring(r.senderId) + L")发布</SPAN>]" + TimeSpan(v.now) + L"</DIV>";
            break;
        }
        case 13: {
            CCommKernelData* d = KernelData();
            // A text that is no number reads as 0, as typed numbers do.
            int id = 0;
            bool number = !text.empty() && text.size() <= 9;
            for (wchar_t c : text) number = number && c >= L'0' && c <= L'9';
            if (number) id = std::stoi(text);
            tag_CaitiaoItemInfo* item =
                d && d->m_pCaitiaoManager ? d->m_pCaitiaoManager->FindCaitiaoItem(id) : nullptr;
            if (item && v.shieldCheers) return out;
            if (item) {
                out.view = ChatView::kPublic;
                out.html = kLineFrame + MemberLinks(v) + item->html + TimeSpan(v.now) + L"</DIV>";
            }
            break;
        }
        default:
            break;
    }
    out.flash = true;
    return out;
}

std::wstring ComposeChatHtml(const std::wstring& text, const ChatFont& font) {
    std::wstring out = winplat::FormatText(
        L"<SPAN style=\"FONT-FAMILY: %ls; COLOR: #%02X%02X%02X; FONT-SIZE: %dpt\">",
        HtmlText::Escape(font.face).c_str(), static_cast<unsigned>(font.colour & 0xFF),
        static_cast<unsigned>((font.colour >> 8) & 0xFF),
        static_cast<unsigned>((font.colour >> 16) & 0xFF), font.size);
    if (font.bold) out += L"<b>";
    if (font.italic) out += L"<i>";
    if (font.underline) out += L"<u>";
    out += HtmlText::EscapeChat(text);
    if (font.underline) out += L"</u>";
    if (font.italic) out += L"</i>";
    if (font.bold) out += L"</b>";
    return out + L"</SPAN>";
}

}  // namespace ChatLines
