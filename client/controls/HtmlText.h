// The program's one writer of text into HTML. Every text that came from a server or
// from the user reaches a page through this module, never by formatting it in place:
// names and plain text through Escape, chat markup through SanitizeChat.
#pragma once

#include <string>

namespace HtmlText {

// Plain text to HTML: "&", "<", ">", '"' and "'" become character references, so the
// result is safe as element content and inside a quoted attribute.
std::wstring Escape(const std::wstring& text);

// Typed chat text to HTML as the chat line carries it: "&", '"', "<" and ">" become
// references, in that order ("'" stays, as receivers have always seen it).
std::wstring EscapeChat(const std::wstring& text);

// Chat markup from the network reduced to what a chat line may hold: font (color,
// size, face), b, i, u, br, span with a style of colour, font size (at most 20 pt) and
// font family, img whose source lies under `skinFolder`, and a whose address is
// http(s) or a room link (the address only). Every other tag goes with its
// attributes, script and style with their content; open tags are closed, nesting is
// bounded, entities stay, stray "&", "<" and ">" become references.
std::wstring SanitizeChat(const std::wstring& markup, const std::wstring& skinFolder);

// A link that network text may carry: http(s) without blanks, or a whole room link
// (controls/RoomLink.h).
bool IsAllowedChatLink(const std::wstring& href);

// An emoticon code: 1 to 32 letters, digits, "_" or "-".
bool IsEmoticonCode(const std::wstring& code);

// "[$code$]" in the text parts of sanitised or program-written HTML becomes the
// emoticon picture of `emotionFolder`; anything that is not a valid code stays text.
std::wstring ExpandEmoticons(const std::wstring& html, const std::wstring& emotionFolder);

// Characters the ANSI code page cannot hold become numeric references ("&#128512;"),
// so the converted line keeps them instead of "?".
std::wstring ReferenceUnencodable(const std::wstring& html);

// Plain text for the UI library's own text markup (DrawHtmlText): "<" and "{" are
// doubled, which that markup reads as the literal character.
std::wstring EscapeMarkup(const std::wstring& text);

}  // namespace HtmlText
