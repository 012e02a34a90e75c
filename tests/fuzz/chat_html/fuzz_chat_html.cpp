// The chat-markup sanitiser on arbitrary markup, with a property checked on every
// output by a scanner of its own: every tag and attribute is one a chat line may
// hold, every link is http(s) or a room link, no bare ">" is left in the text, and
// sanitising the output again changes nothing.
//
// Input: the markup (UTF-8).
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <cwctype>
#include <string>

#include "controls/HtmlText.h"

namespace {

const std::wstring kSkin = L"C:\\Mivora\\skin\\MVChat";

[[noreturn]] void Fail(const char* what, const std::wstring& out) {
    std::fprintf(stderr, "chat html fuzz: %s in: %s\n", what,
                 QString::fromStdWString(out).toUtf8().constData());
    std::abort();
}

std::wstring Lower(std::wstring s) {
    for (wchar_t& c : s)
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
    return s;
}

bool Allowed(const std::wstring& tag, const std::wstring& attr) {
    static const struct {
        const wchar_t* tag;
        const wchar_t* attrs[4];
    } kAllow[] = {
        {L"b", {}},
        {L"i", {}},
        {L"u", {}},
        {L"br", {}},
        {L"span", {L"style"}},
        {L"font", {L"color", L"size", L"face"}},
        {L"img", {L"src", L"align"}},
        {L"a", {L"href"}},
    };
    for (const auto& row : kAllow) {
        if (tag != row.tag) continue;
        if (attr.empty()) return true;
        for (const wchar_t* a : row.attrs)
            if (a && attr == a) return true;
        return false;
    }
    return false;
}

std::wstring DecodeQuoted(const std::wstring& v) {
    std::wstring out;
    for (size_t i = 0; i < v.size(); ++i) {
        if (v.compare(i, 5, L"&amp;") == 0) {
            out += L'&';
            i += 4;
        } else if (v.compare(i, 5, L"&#39;") == 0) {
            out += L'\'';
            i += 4;
        } else {
            out += v[i];
        }
    }
    return out;
}

bool LinkAllowed(const std::wstring& href) {
    const std::wstring h = Lower(href);
    for (const wchar_t* scheme : {L"http://", L"https://", L"enterchatroom://"})
        if (h.compare(0, std::wcslen(scheme), scheme) == 0 && h.size() > std::wcslen(scheme))
            return true;
    return false;
}

// Walks the output as a browser would read its tags.
void Check(const std::wstring& out) {
    const size_t n = out.size();
    for (size_t i = 0; i < n;) {
        if (out[i] == L'>') Fail("a bare '>' in the text", out);
        if (out[i] != L'<') {
            ++i;
            continue;
        }
        size_t k = i + 1;
        const bool closing = k < n && out[k] == L'/';
        if (closing) ++k;
        size_t start = k;
        while (k < n && std::iswalnum(out[k])) ++k;
        const std::wstring tag = Lower(out.substr(start, k - start));
        if (!Allowed(tag, L"")) Fail("a tag outside the allowlist", out);
        while (k < n && out[k] != L'>') {
            if (out[k] == L' ') {
                ++k;
                continue;
            }
            if (closing) Fail("an end tag with attributes", out);
            size_t nameStart = k;
            while (k < n && out[k] != L'=' && out[k] != L'>' && out[k] != L' ') ++k;
            const std::wstring attr = Lower(out.substr(nameStart, k - nameStart));
            if (!Allowed(tag, attr)) Fail("an attribute outside the allowlist", out);
            if (k >= n || out[k] != L'=' || k + 1 >= n || out[k + 1] != L'"')
                Fail("an attribute without a quoted value", out);
            const size_t end = out.find(L'"', k + 2);
            if (end == std::wstring::npos) Fail("an unterminated attribute value", out);
            const std::wstring value = out.substr(k + 2, end - k - 2);
            if (value.find(L'<') != std::wstring::npos || value.find(L'>') != std::wstring::npos)
                Fail("a bracket inside an attribute value", out);
            if (tag == L"a" && attr == L"href" && !LinkAllowed(DecodeQuoted(value)))
                Fail("a link that is neither http(s) nor a room link", out);
            k = end + 1;
        }
        if (k >= n) Fail("an unterminated tag", out);
        i = k + 1;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16384) return 0;
    const std::wstring markup =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<int>(size))
            .toStdWString();
    const std::wstring out = HtmlText::SanitizeChat(markup, kSkin);
    Check(out);
    if (HtmlText::SanitizeChat(out, kSkin) != out) Fail("sanitising again changes the output", out);
    return 0;
}
