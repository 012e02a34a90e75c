// The chat-markup sanitiser: a small tag scanner over the text, which writes back only
// the allowed tags with attributes it rebuilt itself from checked values.
#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "controls/HtmlText.h"
#include "controls/RoomLink.h"

namespace HtmlText {

namespace {

constexpr size_t kMaxDepth = 16;
constexpr int kMaxSpanPt = 20;   // the chat font chooser's largest size
constexpr int kMaxSpanPx = 26;   // 20 pt at 96 dpi
constexpr int kMaxFontSize = 5;  // <font size> 5 is 18 pt
constexpr size_t kMaxValue = 512;

wchar_t Lower(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

std::wstring LowerAscii(std::wstring s) {
    for (wchar_t& c : s) c = Lower(c);
    return s;
}

bool IsAsciiAlpha(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool IsHex(wchar_t c) {
    return IsDigit(c) || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F');
}

bool IsSpace(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\r' || c == L'\f';
}

bool StartsWithNoCase(const std::wstring& s, size_t at, const wchar_t* word) {
    for (size_t k = 0; word[k]; ++k)
        if (at + k >= s.size() || Lower(s[at + k]) != word[k]) return false;
    return true;
}

// Length of a character reference starting at s[at] ("&amp;", "&#39;", "&#x1F600;"),
// or 0 when the "&" begins none.
size_t EntityLength(const std::wstring& s, size_t at) {
    size_t k = at + 1;
    const size_t n = s.size();
    if (k < n && s[k] == L'#') {
        ++k;
        bool hex = k < n && (s[k] == L'x' || s[k] == L'X');
        if (hex) ++k;
        size_t start = k;
        while (k < n && k - start < 8 && (hex ? IsHex(s[k]) : IsDigit(s[k]))) ++k;
        if (k == start || k >= n || s[k] != L';') return 0;
        return k + 1 - at;
    }
    size_t start = k;
    while (k < n && k - start < 32 && (IsAsciiAlpha(s[k]) || IsDigit(s[k]))) ++k;
    if (k == start || !IsAsciiAlpha(s[start]) || k >= n || s[k] != L';') return 0;
    return k + 1 - at;
}

// Attribute values arrive with references; the checks look at the characters meant.
std::wstring DecodeBasic(const std::wstring& v) {
    static const struct {
        const wchar_t* ref;
        wchar_t c;
    } kRefs[] = {{L"&amp;", L'&'},  {L"&lt;", L'<'},   {L"&gt;", L'>'},
                 {L"&quot;", L'"'}, {L"&#39;", L'\''}, {L"&nbsp;", L' '}};
    std::wstring out;
    for (size_t i = 0; i < v.size();) {
        bool done = false;
        if (v[i] == L'&') {
            for (const auto& r : kRefs) {
                if (StartsWithNoCase(v, i, r.ref)) {
                    out += r.c;
                    i += std::wcslen(r.ref);
                    done = true;
                    break;
                }
            }
        }
        if (!done) out += v[i++];
    }
    return out;
}

struct Attr {
    std::wstring name;   // lower case
    std::wstring value;  // references decoded
};

struct Tag {
    std::wstring name;  // lower case
    bool closing = false;
    std::vector<Attr> attrs;
};

// Reads the tag whose "<" is at s[at]; returns the index after its ">", or npos when
// the text does not hold a tag there (the "<" is then text).
size_t ReadTag(const std::wstring& s, size_t at, Tag& tag) {
    const size_t n = s.size();
    size_t k = at + 1;
    if (k < n && s[k] == L'/') {
        tag.closing = true;
        ++k;
    }
    if (k >= n || !IsAsciiAlpha(s[k])) return std::wstring::npos;
    size_t start = k;
    while (k < n && (IsAsciiAlpha(s[k]) || IsDigit(s[k]))) ++k;
    tag.name = LowerAscii(s.substr(start, k - start));
    while (k < n) {
        while (k < n && (IsSpace(s[k]) || s[k] == L'/')) ++k;
        if (k >= n) break;
        if (s[k] == L'>') return k + 1;
        size_t nameStart = k;
        while (k < n && !IsSpace(s[k]) && s[k] != L'=' && s[k] != L'>' && s[k] != L'/') ++k;
        if (k == nameStart) {  // a lone "=" or the like
            ++k;
            continue;
        }
        Attr a;
        a.name = LowerAscii(s.substr(nameStart, k - nameStart));
        while (k < n && IsSpace(s[k])) ++k;
        if (k < n && s[k] == L'=') {
            ++k;
            while (k < n && IsSpace(s[k])) ++k;
            if (k < n && (s[k] == L'"' || s[k] == L'\'')) {
                wchar_t q = s[k++];
                size_t end = s.find(q, k);
                if (end == std::wstring::npos) return std::wstring::npos;
                a.value = s.substr(k, end - k);
                k = end + 1;
            } else {
                size_t vs = k;
                while (k < n && !IsSpace(s[k]) && s[k] != L'>') ++k;
                a.value = s.substr(vs, k - vs);
            }
        }
        // The limit holds for the value meant, not for its written form: references
        // this sanitiser writes must not push a value it kept over the limit.
        a.value = DecodeBasic(a.value);
        if (a.value.size() <= kMaxValue) tag.attrs.push_back(std::move(a));
    }
    return std::wstring::npos;
}

bool IsColour(const std::wstring& v) {
    if (v.size() >= 2 && v[0] == L'#') {
        if (v.size() != 4 && v.size() != 7) return false;
        return std::all_of(v.begin() + 1, v.end(), IsHex);
    }
    return !v.empty() && v.size() <= 20 && std::all_of(v.begin(), v.end(), IsAsciiAlpha);
}

// A font face: letters (any script), digits, spaces, "-", "_" and commas.
bool IsFace(const std::wstring& v) {
    if (v.empty() || v.size() > 64) return false;
    for (wchar_t c : v) {
        bool ok = IsAsciiAlpha(c) || IsDigit(c) || c == L' ' || c == L'-' || c == L'_' ||
                  c == L',' || static_cast<unsigned>(c) >= 0x80;
        if (!ok || c == 0xA0 || (static_cast<unsigned>(c) >= 0x80 && std::iswcntrl(c)))
            return false;
    }
    return true;
}

std::wstring Trim(const std::wstring& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsSpace(s[b])) ++b;
    while (e > b && IsSpace(s[e - 1])) --e;
    return s.substr(b, e - b);
}

// "12pt", "16px": the size held to the chat's largest; anything else is refused.
bool SpanFontSize(const std::wstring& v, std::wstring& out) {
    size_t k = 0;
    while (k < v.size() && k < 4 && IsDigit(v[k])) ++k;
    if (k == 0) return false;
    std::wstring unit = LowerAscii(Trim(v.substr(k)));
    int size = std::stoi(v.substr(0, k));
    if (unit == L"pt")
        size = std::clamp(size, 1, kMaxSpanPt);
    else if (unit == L"px")
        size = std::clamp(size, 1, kMaxSpanPx);
    else
        return false;
    out = std::to_wstring(size) + unit;
    return true;
}

std::wstring SpanStyle(const std::wstring& style) {
    std::wstring out;
    size_t at = 0;
    while (at <= style.size()) {
        size_t end = style.find(L';', at);
        if (end == std::wstring::npos) end = style.size();
        std::wstring decl = style.substr(at, end - at);
        at = end + 1;
        size_t colon = decl.find(L':');
        if (colon == std::wstring::npos) continue;
        std::wstring name = LowerAscii(Trim(decl.substr(0, colon)));
        std::wstring value = Trim(decl.substr(colon + 1));
        std::wstring kept;
        if (name == L"color" && IsColour(value)) {
            kept = L"COLOR: " + value;
        } else if (name == L"font-size") {
            std::wstring size;
            if (SpanFontSize(value, size)) kept = L"FONT-SIZE: " + size;
        } else if (name == L"font-family") {
            value.erase(std::remove_if(value.begin(), value.end(),
                                       [](wchar_t c) { return c == L'"' || c == L'\''; }),
                        value.end());
            // Blanks inside the quotes go too, or a second pass would trim them.
            value = Trim(value);
            if (IsFace(value)) kept = L"FONT-FAMILY: " + value;
        }
        if (kept.empty()) continue;
        if (!out.empty()) out += L"; ";
        out += kept;
    }
    return out;
}

// A picture path under the skin folder, made only of plain path characters.
bool IsSkinImage(const std::wstring& src, const std::wstring& skinFolder) {
    if (skinFolder.empty() || src.size() <= skinFolder.size() || src.size() > 260) return false;
    auto norm = [](wchar_t c) { return c == L'/' ? L'\\' : Lower(c); };
    for (size_t k = 0; k < skinFolder.size(); ++k)
        if (norm(src[k]) != norm(skinFolder[k])) return false;
    std::wstring rest = src.substr(skinFolder.size());
    if (rest.find(L"..") != std::wstring::npos) return false;
    bool sep = norm(skinFolder.back()) == L'\\' || rest[0] == L'\\' || rest[0] == L'/';
    if (!sep) return false;
    for (wchar_t c : rest) {
        bool ok = IsAsciiAlpha(c) || IsDigit(c) || c == L'_' || c == L'-' || c == L'.' ||
                  c == L'\\' || c == L'/';
        if (!ok) return false;
    }
    return true;
}

const Attr* Find(const Tag& t, const wchar_t* name) {
    for (const Attr& a : t.attrs)
        if (a.name == name) return &a;
    return nullptr;
}

// The start tag written back for an allowed element; empty when the tag goes.
std::wstring Rebuild(const Tag& t, const std::wstring& skinFolder) {
    const std::wstring& n = t.name;
    if (n == L"b" || n == L"i" || n == L"u") return L"<" + n + L">";
    if (n == L"br") return L"<br>";
    if (n == L"font") {
        std::wstring out = L"<font";
        if (const Attr* a = Find(t, L"color"); a && IsColour(a->value))
            out += L" color=\"" + a->value + L"\"";
        if (const Attr* a = Find(t, L"size")) {
            const std::wstring& v = a->value;
            size_t k = (!v.empty() && (v[0] == L'+' || v[0] == L'-')) ? 1 : 0;
            if (v.size() > k && v.size() <= k + 2 &&
                std::all_of(v.begin() + static_cast<long>(k), v.end(), IsDigit)) {
                int size = std::stoi(v.substr(k));
                size = k == 0 ? std::clamp(size, 1, kMaxFontSize)
                              : (v[0] == L'+' ? std::min(size, 2) : std::min(size, 6));
                out +=
                    L" size=\"" + (k ? std::wstring(1, v[0]) : L"") + std::to_wstring(size) + L"\"";
            }
        }
        if (const Attr* a = Find(t, L"face"); a && IsFace(a->value))
            out += L" face=\"" + Escape(a->value) + L"\"";
        return out + L">";
    }
    if (n == L"span") {
        std::wstring style;
        if (const Attr* a = Find(t, L"style")) style = SpanStyle(a->value);
        if (style.empty()) return L"<span>";
        return L"<span style=\"" + Escape(style) + L"\">";
    }
    if (n == L"img") {
        const Attr* src = Find(t, L"src");
        if (!src || !IsSkinImage(src->value, skinFolder)) return {};
        std::wstring out = L"<img src=\"" + Escape(src->value) + L"\"";
        if (const Attr* a = Find(t, L"align")) {
            std::wstring v = LowerAscii(a->value);
            if (v == L"top" || v == L"middle" || v == L"bottom" || v == L"absmiddle")
                out += L" align=\"" + v + L"\"";
        }
        return out + L">";
    }
    if (n == L"a") {
        const Attr* href = Find(t, L"href");
        if (!href || !IsAllowedChatLink(href->value)) return {};
        return L"<a href=\"" + Escape(href->value) + L"\">";
    }
    return {};
}

// Where a comment whose "<!--" ends at `body` stops, as a browser reads it: "<!-->"
// and "<!--->" close at once, otherwise the first "-->" or "--!>", else the end.
size_t CommentEnd(const std::wstring& s, size_t body) {
    if (s.compare(body, 1, L">") == 0) return body + 1;
    if (s.compare(body, 2, L"->") == 0) return body + 2;
    for (size_t k = body; k < s.size(); ++k) {
        if (s.compare(k, 3, L"-->") == 0) return k + 3;
        if (s.compare(k, 4, L"--!>") == 0) return k + 4;
    }
    return s.size();
}

bool IsContainer(const std::wstring& n) {
    return n == L"b" || n == L"i" || n == L"u" || n == L"font" || n == L"span" || n == L"a";
}

}  // namespace

bool IsAllowedChatLink(const std::wstring& href) {
    if (href.empty() || href.size() > 1024) return false;
    for (wchar_t c : href)
        if (IsBlankOrControl(c) || c == L'"' || c == L'<' || c == L'>' || c == L'\\') return false;
    for (const wchar_t* scheme : {L"http://", L"https://"}) {
        size_t len = std::wcslen(scheme);
        if (StartsWithNoCase(href, 0, scheme)) return href.size() > len;
    }
    return ParseRoomLink(href).has_value();
}

std::wstring SanitizeChat(const std::wstring& markup, const std::wstring& skinFolder) {
    std::wstring out;
    out.reserve(markup.size() + 16);
    std::vector<std::wstring> open;  // elements written and not yet closed
    const size_t n = markup.size();
    size_t i = 0;
    while (i < n) {
        const wchar_t c = markup[i];
        if (c == L'&') {
            size_t len = EntityLength(markup, i);
            if (len) {
                out.append(markup, i, len);
                i += len;
            } else {
                out += L"&amp;";
                ++i;
            }
            continue;
        }
        if (c == L'>') {
            out += L"&gt;";
            ++i;
            continue;
        }
        if (c != L'<') {
            // Control characters other than line ends and tabs have no place in a line.
            if (c >= 0x20 || c == L'\t' || c == L'\n' || c == L'\r') out += c;
            ++i;
            continue;
        }
        if (StartsWithNoCase(markup, i, L"<!--")) {
            i = CommentEnd(markup, i + 4);
            continue;
        }
        if (i + 1 < n && (markup[i + 1] == L'!' || markup[i + 1] == L'?')) {
            size_t end = markup.find(L'>', i);
            i = end == std::wstring::npos ? n : end + 1;
            continue;
        }
        Tag tag;
        size_t next = ReadTag(markup, i, tag);
        if (next == std::wstring::npos) {
            out += L"&lt;";
            ++i;
            continue;
        }
        i = next;
        if (!tag.closing && (tag.name == L"script" || tag.name == L"style")) {
            // Their content is code, not text: skip to the matching end tag, or the end.
            const std::wstring endTag = L"</" + tag.name;
            size_t k = i;
            for (;;) {
                k = markup.find(L"</", k);
                if (k == std::wstring::npos) break;
                size_t after = k + endTag.size();
                if (StartsWithNoCase(markup, k, endTag.c_str()) &&
                    (after >= n || markup[after] == L'>' || IsSpace(markup[after]) ||
                     markup[after] == L'/'))
                    break;
                k += 2;
            }
            if (k == std::wstring::npos) {
                i = n;
            } else {
                size_t end = markup.find(L'>', k);
                i = end == std::wstring::npos ? n : end + 1;
            }
            continue;
        }
        if (tag.closing) {
            auto it = std::find(open.rbegin(), open.rend(), tag.name);
            if (it == open.rend()) continue;  // nothing of ours to close
            size_t keep = static_cast<size_t>(open.rend() - it) - 1;
            while (open.size() > keep) {
                out += L"</" + open.back() + L">";
                open.pop_back();
            }
            continue;
        }
        std::wstring start = Rebuild(tag, skinFolder);
        if (start.empty()) continue;
        if (!IsContainer(tag.name)) {
            out += start;
            continue;
        }
        if (open.size() >= kMaxDepth) continue;
        // A link inside a link would leave the outer one's end to the inner.
        if (tag.name == L"a" && std::find(open.begin(), open.end(), L"a") != open.end()) continue;
        out += start;
        open.push_back(tag.name);
    }
    while (!open.empty()) {
        out += L"</" + open.back() + L">";
        open.pop_back();
    }
    return out;
}

}  // namespace HtmlText
