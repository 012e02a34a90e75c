#include "win32/wininet.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "handles.h"
#include "win32/text.h"

namespace {

// Following redirects by ourselves stops here, as WinINet does after a few hops.
constexpr long kMaxAutoRedirects = 10;
constexpr long kConnectTimeoutMs = 30000;
// A body that stalls this long is a broken transfer.
constexpr long kStallSeconds = 30;

struct Session : winplat::KernelObject {
    std::string agent;
    DWORD accessType = INTERNET_OPEN_TYPE_PRECONFIG;
    std::string proxy;
};

struct Header {
    std::string name;
    std::string value;
};

struct Request : winplat::KernelObject {
    std::mutex use;  // one reader at a time
    CURL* easy = nullptr;
    CURLM* multi = nullptr;
    curl_slist* requestHeaders = nullptr;
    bool follow = true;
    // The answer being received; a new status line starts a new one.
    long status = 0;
    std::string reason;
    std::vector<Header> answer;
    bool hopAnswer = false;  // a redirect that curl follows: not ours to show
    bool headersDone = false;
    bool finished = false;
    CURLcode result = CURLE_OK;
    std::string body;

    ~Request() override {
        if (multi && easy) curl_multi_remove_handle(multi, easy);
        if (easy) curl_easy_cleanup(easy);
        if (multi) curl_multi_cleanup(multi);
        curl_slist_free_all(requestHeaders);
    }

    const Header* find(const char* name) const {
        for (const Header& h : answer)
            if (strcasecmp(h.name.c_str(), name) == 0) return &h;
        return nullptr;
    }
};

void globalInit() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

std::string trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t' || s[e - 1] == '\r' || s[e - 1] == '\n'))
        --e;
    return s.substr(b, e - b);
}

bool isRedirect(long status) {
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<Request*>(user);
    size_t len = size * count;
    std::string line = trim(std::string(data, len));
    if (line.compare(0, 5, "HTTP/") == 0) {
        r->answer.clear();
        r->status = 0;
        r->reason.clear();
        size_t sp = line.find(' ');
        if (sp != std::string::npos) {
            r->status = std::strtol(line.c_str() + sp + 1, nullptr, 10);
            size_t sp2 = line.find(' ', sp + 1);
            if (sp2 != std::string::npos) r->reason = line.substr(sp2 + 1);
        }
    } else if (line.empty()) {
        if (r->status >= 200) {
            r->hopAnswer = r->follow && isRedirect(r->status) && r->find("Location");
            if (!r->hopAnswer) r->headersDone = true;
        }
    } else {
        size_t colon = line.find(':');
        if (colon != std::string::npos)
            r->answer.push_back({trim(line.substr(0, colon)), trim(line.substr(colon + 1))});
    }
    return len;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* r = static_cast<Request*>(user);
    size_t len = size * count;
    if (!r->hopAnswer) {
        r->headersDone = true;
        r->body.append(data, len);
    }
    return len;
}

// Runs the transfer until `enough` says so or it ends.
template <class Pred>
void pump(Request& r, Pred enough) {
    while (!r.finished && !enough()) {
        int running = 0;
        if (curl_multi_perform(r.multi, &running) != CURLM_OK) {
            r.finished = true;
            r.result = CURLE_FAILED_INIT;
            break;
        }
        int queued = 0;
        while (CURLMsg* m = curl_multi_info_read(r.multi, &queued)) {
            if (m->msg == CURLMSG_DONE) {
                r.finished = true;
                r.result = m->data.result;
            }
        }
        if (r.finished || enough()) break;
        curl_multi_poll(r.multi, nullptr, 0, 1000, nullptr);
    }
}

DWORD errorFromCurl(CURLcode c) {
    switch (c) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case CURLE_COULDNT_CONNECT:
            return ERROR_INTERNET_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT:
            return ERROR_INTERNET_TIMEOUT;
        case CURLE_URL_MALFORMAT:
            return ERROR_INTERNET_INVALID_URL;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        case CURLE_TOO_MANY_REDIRECTS:
            return ERROR_HTTP_REDIRECT_FAILED;
        case CURLE_WEIRD_SERVER_REPLY:
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_GOT_NOTHING:
            return ERROR_INTERNET_CONNECTION_RESET;
        case CURLE_SEND_ERROR:
            return ERROR_INTERNET_CONNECTION_ABORTED;
        default:
            return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

template <class T>
std::shared_ptr<T> lookup(HINTERNET h) {
    return std::dynamic_pointer_cast<T>(winplat::LookupHandle(h));
}

}  // namespace

HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR, DWORD) {
    globalInit();
    auto s = std::make_shared<Session>();
    if (agent) s->agent = winplat::WideToAnsi(agent);
    s->accessType = accessType;
    if (proxy) s->proxy = winplat::WideToUtf8(proxy);
    SetLastError(ERROR_SUCCESS);
    return winplat::RegisterHandle(s);
}

HINTERNET InternetOpenUrlW(HINTERNET session, LPCWSTR url, LPCWSTR headers, DWORD headersLength,
                           DWORD flags, DWORD_PTR) {
    auto s = lookup<Session>(session);
    if (!s) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!url || !*url) {
        SetLastError(ERROR_INTERNET_INVALID_URL);
        return nullptr;
    }
    auto r = std::make_shared<Request>();
    r->easy = curl_easy_init();
    r->multi = curl_multi_init();
    if (!r->easy || !r->multi) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    r->follow = (flags & INTERNET_FLAG_NO_AUTO_REDIRECT) == 0;

    if (headers) {
        std::wstring all = headersLength == static_cast<DWORD>(-1)
                               ? std::wstring(headers)
                               : std::wstring(headers, wcsnlen(headers, headersLength));
        std::string text = winplat::WideToAnsi(all);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string line = trim(text.substr(start, end - start));
            if (!line.empty())
                r->requestHeaders = curl_slist_append(r->requestHeaders, line.c_str());
            start = end + 1;
        }
    }
    if (flags & INTERNET_FLAG_PRAGMA_NOCACHE)
        r->requestHeaders = curl_slist_append(r->requestHeaders, "Pragma: no-cache");

    CURL* e = r->easy;
    std::string u = winplat::WideToUtf8(url);
    curl_easy_setopt(e, CURLOPT_URL, u.c_str());
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
#else
    curl_easy_setopt(e, CURLOPT_PROTOCOLS, static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS,
                     static_cast<long>(CURLPROTO_HTTP | CURLPROTO_HTTPS));
#endif
    if (!s->agent.empty()) curl_easy_setopt(e, CURLOPT_USERAGENT, s->agent.c_str());
    if (r->requestHeaders) curl_easy_setopt(e, CURLOPT_HTTPHEADER, r->requestHeaders);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, r->follow ? 1L : 0L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, kMaxAutoRedirects);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, kConnectTimeoutMs);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(e, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    if (s->accessType == INTERNET_OPEN_TYPE_DIRECT)
        curl_easy_setopt(e, CURLOPT_PROXY, "");
    else if (s->accessType == INTERNET_OPEN_TYPE_PROXY)
        curl_easy_setopt(e, CURLOPT_PROXY, s->proxy.c_str());
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, r.get());
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, r.get());
    curl_multi_add_handle(r->multi, e);

    pump(*r, [&] { return r->headersDone; });
    if (!r->headersDone) {
        SetLastError(r->result == CURLE_OK ? ERROR_HTTP_INVALID_SERVER_RESPONSE
                                           : errorFromCurl(r->result));
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    return winplat::RegisterHandle(r);
}

BOOL InternetReadFile(HINTERNET request, LPVOID buffer, DWORD toRead, LPDWORD read) {
    if (read) *read = 0;
    auto r = lookup<Request>(request);
    if (!r) {
        SetLastError(winplat::LookupHandle(request) ? ERROR_INTERNET_INCORRECT_HANDLE_TYPE
                                                    : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if ((!buffer && toRead) || !read) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(r->use);
    pump(*r, [&] { return r->body.size() >= toRead; });
    size_t n = std::min<size_t>(toRead, r->body.size());
    if (n == 0 && r->finished && r->result != CURLE_OK) {
        // What arrived before the break was handed out; now the break itself.
        SetLastError(errorFromCurl(r->result));
        return FALSE;
    }
    if (n) std::memcpy(buffer, r->body.data(), n);
    r->body.erase(0, n);
    *read = static_cast<DWORD>(n);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL InternetCloseHandle(HINTERNET handle) {
    auto o = winplat::LookupHandle(handle);
    if (!o || (!std::dynamic_pointer_cast<Session>(o) && !std::dynamic_pointer_cast<Request>(o))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    winplat::UnregisterHandle(handle);
    return TRUE;
}

BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD length, LPDWORD) {
    auto r = lookup<Request>(request);
    if (!r) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return FALSE;
    }
    if (!length) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> g(r->use);
    std::string value;
    const char* name = nullptr;
    switch (infoLevel & 0xFFFF) {
        case HTTP_QUERY_STATUS_CODE:
            value = std::to_string(r->status);
            break;
        case HTTP_QUERY_STATUS_TEXT:
            value = r->reason;
            break;
        case HTTP_QUERY_CONTENT_LENGTH:
            name = "Content-Length";
            break;
        case HTTP_QUERY_CONTENT_TYPE:
            name = "Content-Type";
            break;
        case HTTP_QUERY_LOCATION:
            name = "Location";
            break;
        default:
            SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
            return FALSE;
    }
    if (name) {
        const Header* h = r->find(name);
        if (!h) {
            SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
            return FALSE;
        }
        value = h->value;
    }
    if (infoLevel & HTTP_QUERY_FLAG_NUMBER) {
        if (!buffer || *length < sizeof(DWORD)) {
            *length = sizeof(DWORD);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        // Only a plain decimal that fits: a length we cannot trust is no length.
        if (value.empty() || value.size() > 10 ||
            value.find_first_not_of("0123456789") != std::string::npos ||
            std::stoull(value) > 0xFFFFFFFFull) {
            SetLastError(ERROR_HTTP_INVALID_SERVER_RESPONSE);
            return FALSE;
        }
        DWORD v = static_cast<DWORD>(std::stoull(value));
        std::memcpy(buffer, &v, sizeof v);
        *length = sizeof(DWORD);
        return TRUE;
    }
    std::wstring w = winplat::AnsiToWide(value);
    DWORD need = static_cast<DWORD>((w.size() + 1) * sizeof(WCHAR));
    if (!buffer || *length < need) {
        *length = need;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, w.c_str(), need);
    *length = need - sizeof(WCHAR);
    return TRUE;
}

BOOL InternetQueryOptionW(HINTERNET handle, DWORD option, LPVOID buffer, LPDWORD length) {
    if (!length) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (option != INTERNET_OPTION_URL) {
        SetLastError(ERROR_INTERNET_INVALID_OPTION);
        return FALSE;
    }
    auto r = lookup<Request>(handle);
    if (!r) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return FALSE;
    }
    std::wstring w;
    {
        std::lock_guard<std::mutex> g(r->use);
        // The address the answer came from, after the redirects curl followed.
        char* effective = nullptr;
        if (r->easy && curl_easy_getinfo(r->easy, CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK &&
            effective)
            w = winplat::Utf8ToWide(effective);
    }
    DWORD need = static_cast<DWORD>((w.size() + 1) * sizeof(WCHAR));
    if (!buffer || *length < need) {
        *length = need;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(buffer, w.c_str(), need);
    *length = need - sizeof(WCHAR);
    return TRUE;
}
