#include "controls/HtmlText.h"

#include "win32/text.h"

namespace HtmlText {

namespace {

bool IsCodeChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
           c == L'_' || c == L'-';
}

constexpr size_t kMaxEmoticonCode = 32;

// The entity HTML must see in place of `c`, or null where `c` stands as itself; the
// apostrophe only where asked.
const wchar_t* EntityOf(wchar_t c, bool apostrophe) {
    switch (c) {
        case L'&':
            return L"&amp;";
        case L'<':
            return L"&lt;";
        case L'>':
            return L"&gt;";
        case L'"':
            return L"&quot;";
        case L'\'':
            return apostrophe ? L"&#39;" : nullptr;
        default:
            return nullptr;
    }
}

std::wstring EscapeEntities(const std::wstring& text, bool apostrophe) {
    std::wstring out;
    out.reserve(text.size() + text.size() / 8);
    for (wchar_t c : text) {
        if (const wchar_t* entity = EntityOf(c, apostrophe))
            out += entity;
        else
            out += c;
    }
    return out;
}

}  // namespace

std::wstring Escape(const std::wstring& text) {
    return EscapeEntities(text, true);
}

std::wstring EscapeChat(const std::wstring& text) {
    return EscapeEntities(text, false);
}

bool IsEmoticonCode(const std::wstring& code) {
    if (code.empty() || code.size() > kMaxEmoticonCode) return false;
    for (wchar_t c : code)
        if (!IsCodeChar(c)) return false;
    return true;
}

std::wstring ExpandEmoticons(const std::wstring& html, const std::wstring& emotionFolder) {
    std::wstring out;
    out.reserve(html.size());
    const std::wstring folder = Escape(emotionFolder);
    const size_t n = html.size();
    size_t i = 0;
    while (i < n) {
        const wchar_t c = html[i];
        if (c == L'<') {
            // Tags are copied whole: a code inside an attribute is not an emoticon. Quoted
            // values written by this module never hold a raw ">".
            size_t end = html.find(L'>', i);
            if (end == std::wstring::npos) end = n - 1;
            out.append(html, i, end - i + 1);
            i = end + 1;
            continue;
        }
        if (c == L'[' && i + 1 < n && html[i + 1] == L'$') {
            size_t k = i + 2;
            while (k < n && k - (i + 2) <= kMaxEmoticonCode && IsCodeChar(html[k])) ++k;
            const size_t len = k - (i + 2);
            if (len >= 1 && len <= kMaxEmoticonCode && k + 1 < n && html[k] == L'$' &&
                html[k + 1] == L']') {
                const std::wstring code = html.substr(i + 2, len);
                out += L"<IMG id=" + code + L".gif align=top src=\"" + folder + L"/" + code +
                       L".gif\">";
                i = k + 2;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}

std::wstring ReferenceUnencodable(const std::wstring& html) {
    std::wstring out;
    out.reserve(html.size());
    char buf[8];
    for (wchar_t c : html) {
        if (static_cast<unsigned>(c) < 0x80) {
            out += c;
            continue;
        }
        // A character the code page lacks comes back as the default "?".
        int n = WideCharToMultiByte(CP_ACP, 0, &c, 1, buf, sizeof buf, "?", nullptr);
        if (n <= 0 || (n == 1 && buf[0] == '?')) {
            out += L"&#" + std::to_wstring(static_cast<unsigned long>(c)) + L";";
        } else {
            out += c;
        }
    }
    return out;
}

std::wstring EscapeMarkup(const std::wstring& text) {
    std::wstring out;
    out.reserve(text.size() + 8);
    for (wchar_t c : text) {
        out += c;
        if (c == L'<' || c == L'{') out += c;
    }
    return out;
}

}  // namespace HtmlText
