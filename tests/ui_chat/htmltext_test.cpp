// The one writer of network text into HTML: hostile chat markup and what is left of it.
#include <gtest/gtest.h>

#include <string>

#include "controls/HtmlText.h"
#include "win32/text.h"

namespace {

const std::wstring kSkin = L"C:\\mv\\skin";

struct Case {
    const wchar_t* in;
    const wchar_t* out;
};

TEST(SanitizeChat, HostileMarkupIsReducedToTheAllowedSet) {
    const Case cases[] = {
        // Program-written sender markup passes as it is meant.
        {L"<SPAN style=\"FONT-FAMILY: 宋体; COLOR: #FF0000; FONT-SIZE: 12pt\"><b>hi</b></SPAN>",
         L"<span style=\"FONT-FAMILY: 宋体; COLOR: #FF0000; FONT-SIZE: 12pt\"><b>hi</b></span>"},
        {L"<font color=red size=3 face=Arial>x</font><br/>y",
         L"<font color=\"red\" size=\"3\" face=\"Arial\">x</font><br>y"},
        // Scripts and style sheets go with their content; other tags lose their attributes.
        {L"a<script>alert(1)</script>b", L"ab"},
        {L"a<SCRIPT src=x>var s='</scr'+'ipt>';</SCRIPT >b", L"ab"},
        {L"a<style>body{display:none}</style>b", L"ab"},
        {L"a<script>never closed", L"a"},
        {L"<b onclick=\"x()\" onmouseover=y>t</b>", L"<b>t</b>"},
        {L"<div style=\"position:fixed\"><p>t</p></div>", L"t"},
        {L"<span style=\"color:red;background:url(http://x/)\" onload=z>t</span>",
         L"<span style=\"COLOR: red\">t</span>"},
        {L"<span style=\"color: expression(alert(1))\">t</span>", L"<span>t</span>"},
        {L"<span style=\"font-family:' Arial '\">t</span>",
         L"<span style=\"FONT-FAMILY: Arial\">t</span>"},
        // Pictures only from the skin folder.
        {L"<img src=\"http://evil/x.gif\">", L""},
        {L"<img src=\"file:///etc/passwd\">", L""},
        {L"<img src=\"C:\\mv\\skin\\..\\..\\secret.gif\">", L""},
        {L"<img src=\"C:\\mv\\skinny\\a.gif\">", L""},
        {L"<IMG src=\"C:/mv/skin/MVChat/emotion/1.gif\" align=top onerror=x>",
         L"<img src=\"C:/mv/skin/MVChat/emotion/1.gif\" align=\"top\">"},
        // Command links of the program cannot be forged; web and room links keep their address.
        {L"<a href=\"orinid:5\">me</a>", L"me"},
        {L"<a href=\"gift_thank:x\">thanks</a>", L"thanks"},
        {L"<a href=\"javascript:alert(1)\">x</a>", L"x"},
        {L"<a href=\"http://h/?enterchatroom://1,g\">w</a>",
         L"<a href=\"http://h/?enterchatroom://1,g\">w</a>"},
        {L"<a href=\"enterchatroom://1234,gate.example:8080\">room</a>",
         L"<a href=\"enterchatroom://1234,gate.example:8080\">room</a>"},
        {L"<a target=_blank href='enterchatroom://7,g:80' style=\"x\" oncontextmenu=\"y\">r</a>",
         L"<a href=\"enterchatroom://7,g:80\">r</a>"},
        {L"<a href=\"enterchatroom://7\">no gate</a>", L"no gate"},
        {L"<a href=\"enterchatroom://x,g:80\">no id</a>", L"no id"},
        // Room links a click could not follow are no links: the room link reader decides.
        {L"<a href=\"enterchatroom://0,g:80\">room 0</a>", L"room 0"},
        {L"<a href=\"enterchatroom://2147483648,g:80\">too big</a>", L"too big"},
        {L"<a href=\"enterchatroom://7,g\">no port</a>", L"no port"},
        {L"<a href=\"enterchatroom://7,g:80\u2028x\">separator</a>", L"separator"},
        {L"<a href=\"enterchatroom://7,g:80&nbsp;\">no-break</a>", L"no-break"},
        // Web links carry nothing invisible to the desktop opener.
        {L"<a href=\"http://h/a\u2028b\">separator</a>", L"separator"},
        {L"<a href=\"http://h/a\u00A0b\">no-break</a>", L"no-break"},
        {L"<a href=\"http://h/\u202Egnp.exe\">direction</a>", L"direction"},
        {L"<a href=\"http://a\"><a href=\"http://b\">in</a>out</a>",
         L"<a href=\"http://a\">in</a>out"},
        // Huge fonts are held to the chooser's largest.
        {L"<span style=\"font-size: 400pt\">x</span>", L"<span style=\"FONT-SIZE: 20pt\">x</span>"},
        {L"<span style=\"font-size:999px\">x</span>", L"<span style=\"FONT-SIZE: 26px\">x</span>"},
        {L"<font size=7>x</font>", L"<font size=\"5\">x</font>"},
        {L"<font size=\"+9\">x</font>", L"<font size=\"+2\">x</font>"},
        // Unclosed and crossed tags are closed; nesting is bounded.
        {L"<b><i>x", L"<b><i>x</i></b>"},
        {L"<b><i>x</b>y</i>", L"<b><i>x</i></b>y"},
        {L"</u>x", L"x"},
        // Entities stay, stray characters become references.
        {L"a &amp; b &#20320; &#x1F600; &lt;", L"a &amp; b &#20320; &#x1F600; &lt;"},
        {L"AT&T 1<2 3>2 &bogus", L"AT&amp;T 1&lt;2 3&gt;2 &amp;bogus"},
        {L"<a href=\"x", L"&lt;a href=\"x"},
        {L"<!-- <a href=\"orinid:1\">x</a> -->t", L"t"},
        // Comments end where a browser ends them: what it shows stays.
        {L"a<!-->shown<!-- hidden -->b", L"ashownb"},
        {L"a<!-->shown", L"ashown"},
        {L"a<!--->shown-->", L"ashown--&gt;"},
        {L"a<!-- x --!>shown", L"ashown"},
        {L"a<!-- never closed", L"a"},
        // Attribute values cannot break out of their quotes.
        {L"<font face=\"A&quot; onmouseover=&quot;x\">t</font>", L"<font>t</font>"},
        {L"<a href=\"http://h/&quot;onclick=&quot;x\">t</a>", L"t"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HtmlText::SanitizeChat(c.in, kSkin), c.out) << "input: " << std::wstring(c.in);
        // What the sanitiser wrote passes it unchanged.
        EXPECT_EQ(HtmlText::SanitizeChat(c.out, kSkin), c.out) << "output: " << std::wstring(c.out);
    }
}

TEST(SanitizeChat, AValueKeptOnceIsKeptAgain) {
    // 300 quotes, 1500 characters once written as references.
    const std::wstring in = L"<a href=\"http://h/" + std::wstring(300, L'\'') + L"\">t</a>";
    const std::wstring out = HtmlText::SanitizeChat(in, kSkin);
    EXPECT_EQ(out.find(L"<a href=\"http://h/&#39;"), 0u);
    EXPECT_EQ(HtmlText::SanitizeChat(out, kSkin), out);
}

TEST(SanitizeChat, DeepNestingIsBounded) {
    std::wstring in;
    for (int i = 0; i < 5000; ++i) in += L"<b>";
    in += L"x";
    std::wstring out = HtmlText::SanitizeChat(in, kSkin);
    size_t opens = 0;
    for (size_t at = out.find(L"<b>"); at != std::wstring::npos; at = out.find(L"<b>", at + 1))
        ++opens;
    EXPECT_LE(opens, 16u);
    EXPECT_EQ(out.size(), opens * 7 + 1);  // each open closed, the text kept
}

TEST(Emoticons, CodesAreExpandedOnlyWhenValid) {
    const std::wstring folder = L"C:\\mv\\skin\\MVChat\\emotion";
    const Case cases[] = {
        {L"[$a$]xyz", L"<IMG id=a.gif align=top src=\"C:\\mv\\skin\\MVChat\\emotion/a.gif\">xyz"},
        {L"[$12$][$ok_-1$]",
         L"<IMG id=12.gif align=top src=\"C:\\mv\\skin\\MVChat\\emotion/12.gif\">"
         L"<IMG id=ok_-1.gif align=top src=\"C:\\mv\\skin\\MVChat\\emotion/"
         L"ok_-1.gif\">"},
        {L"[$$]", L"[$$]"},
        {L"[$]", L"[$]"},
        {L"[$a", L"[$a"},
        {L"[$a\" onerror=\"x$]", L"[$a\" onerror=\"x$]"},
        {L"[$a/../b$]", L"[$a/../b$]"},
        {L"[$123456789012345678901234567890123$]", L"[$123456789012345678901234567890123$]"},
        // A code inside a tag's attribute is not a picture.
        {L"<a href=\"http://h/[$1$]\">[$1$]</a>",
         L"<a href=\"http://h/[$1$]\"><IMG id=1.gif align=top "
         L"src=\"C:\\mv\\skin\\MVChat\\emotion/1.gif\"></a>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HtmlText::ExpandEmoticons(c.in, folder), c.out) << std::wstring(c.in);
    EXPECT_TRUE(HtmlText::IsEmoticonCode(std::wstring(32, L'a')));
    EXPECT_FALSE(HtmlText::IsEmoticonCode(std::wstring(33, L'a')));
    EXPECT_FALSE(HtmlText::IsEmoticonCode(L""));
    EXPECT_FALSE(HtmlText::IsEmoticonCode(L"a.gif"));
}

TEST(Unencodable, CharactersTheCodePageLacksBecomeReferences) {
    winplat::SetSystemCodePage(936);
    EXPECT_EQ(HtmlText::ReferenceUnencodable(L"你好 a?b \U0001F600 한"),
              L"你好 a?b &#128512; &#54620;");
    const std::string bytes = winplat::WideToAnsi(HtmlText::ReferenceUnencodable(L"\U0001F600"));
    EXPECT_EQ(bytes, "&#128512;");
}

TEST(Escapes, NamesAndTypedChatText) {
    EXPECT_EQ(HtmlText::Escape(L"<a href=\"x\">'&"), L"&lt;a href=&quot;x&quot;&gt;&#39;&amp;");
    EXPECT_EQ(HtmlText::EscapeChat(L"<b>\"it's\" & more</b>"),
              L"&lt;b&gt;&quot;it's&quot; &amp; more&lt;/b&gt;");
}

TEST(Markup, TextForTheLibraryMarkupKeepsItsBrackets) {
    EXPECT_EQ(HtmlText::EscapeMarkup(L"<b>{c #f00}x</b>"), L"<<b>{{c #f00}x<</b>");
    EXPECT_EQ(HtmlText::EscapeMarkup(L"plain"), L"plain");
}

}  // namespace
