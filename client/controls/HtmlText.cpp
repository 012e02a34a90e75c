#include "controls/HtmlText.h"

namespace HtmlText {

std::wstring Escape(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    for (wchar_t c : text) {
        switch (c) {
            case L'&': out += L"&amp;"; break;
            case L'<': out += L"&lt;"; break;
            case L'>': out += L"&gt;"; break;
            case L'"': out += L"&quot;"; break;
            case L'\'': out += L"&#39;"; break;
            default: out += c; break;
        }
    }
    return out;
}

}  // namespace HtmlText
