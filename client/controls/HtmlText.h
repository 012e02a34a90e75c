// The program's one writer of text into HTML. Every text that came from a server or
// from the user reaches a page through this module, never by formatting it in place.
#pragma once

#include <string>

namespace HtmlText {

// Plain text to HTML: "&", "<", ">", '"' and "'" become character references, so the
// result is safe as element content and inside a quoted attribute.
std::wstring Escape(const std::wstring& text);

}  // namespace HtmlText
