#include "http_test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <cctype>
#include <stdexcept>

namespace testsupport {
namespace {

constexpr size_t kMaxRequestBytes = 16384;

const char* reasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 400:
            return "Bad Request";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Status";
    }
}

void sendAll(int fd, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
    }
}

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

}  // namespace

HttpTestServer::HttpTestServer() : HttpTestServer(Options()) {}

HttpTestServer::HttpTestServer(const Options& options) : options_(options) {
    listen_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listen_ < 0) throw std::runtime_error("socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<uint16_t>(options.port));
    int one = 1;
    ::setsockopt(listen_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    socklen_t len = sizeof addr;
    if (::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listen_, 16) != 0 ||
        ::getsockname(listen_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
        ::close(listen_);
        throw std::runtime_error("bind");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { run(); });
}

HttpTestServer::~HttpTestServer() {
    stop();
}

void HttpTestServer::stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_ >= 0) ::close(listen_);
    listen_ = -1;
}

std::string HttpTestServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void HttpTestServer::serve(const std::string& path, const HttpAnswer& answer) {
    std::lock_guard<std::mutex> g(lock_);
    answers_[path] = answer;
}

void HttpTestServer::serveBody(const std::string& path, const std::string& body, int status) {
    HttpAnswer a;
    a.status = status;
    a.body = body;
    serve(path, a);
}

void HttpTestServer::redirect(const std::string& path, const std::string& toPath) {
    HttpAnswer a;
    a.status = 302;
    a.location = url(toPath);
    a.body = "moved";
    serve(path, a);
}

void HttpTestServer::setPages(Pages pages) {
    std::lock_guard<std::mutex> g(lock_);
    pages_ = std::move(pages);
}

std::vector<HttpRequestSeen> HttpTestServer::requests() const {
    std::lock_guard<std::mutex> g(lock_);
    return seen_;
}

int HttpTestServer::count(const std::string& path) const {
    std::lock_guard<std::mutex> g(lock_);
    int n = 0;
    for (const auto& r : seen_) n += r.path == path;
    return n;
}

void HttpTestServer::run() {
    const int limit = options_.maxConnections;
    for (int served = 0; !stop_ && (limit <= 0 || served < limit);) {
        pollfd p{listen_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        ++served;
        handle(fd);
        ::close(fd);
    }
    // Later clients are refused rather than left waiting.
    ::shutdown(listen_, SHUT_RDWR);
}

void HttpTestServer::handle(int fd) {
    timeval tv{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    std::string in;
    char buf[2048];
    // Up to the blank line, or the first line of a request without a version.
    for (;;) {
        size_t eol = in.find('\n');
        if (eol != std::string::npos && in.substr(0, eol).find("HTTP/") == std::string::npos) break;
        if (in.find("\r\n\r\n") != std::string::npos || in.find("\n\n") != std::string::npos) break;
        if (in.size() > kMaxRequestBytes) return;
        ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0) return;
        in.append(buf, static_cast<size_t>(n));
    }
    HttpRequestSeen seen;
    size_t eol = in.find('\n');
    seen.line = in.substr(0, eol);
    if (!seen.line.empty() && seen.line.back() == '\r') seen.line.pop_back();
    size_t sp1 = seen.line.find(' ');
    size_t sp2 = seen.line.find(' ', sp1 == std::string::npos ? 0 : sp1 + 1);
    if (sp1 != std::string::npos)
        seen.path =
            seen.line.substr(sp1 + 1, sp2 == std::string::npos ? std::string::npos : sp2 - sp1 - 1);
    bool simple = sp2 == std::string::npos;  // "GET /path": the body alone answers it
    size_t pos = eol == std::string::npos ? in.size() : eol + 1;
    while (pos < in.size()) {
        size_t end = in.find('\n', pos);
        if (end == std::string::npos) break;
        std::string line = in.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = end + 1;
        if (line.empty()) break;
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        size_t v = line.find_first_not_of(' ', colon + 1);
        seen.headers[lower(line.substr(0, colon))] = v == std::string::npos ? "" : line.substr(v);
    }
    HttpAnswer answer;
    bool known = false;
    {
        std::lock_guard<std::mutex> g(lock_);
        if (options_.keepRequests) seen_.push_back(seen);
        known = pages_ && pages_(seen, answer);
    }
    if (!known) {
        std::lock_guard<std::mutex> g(lock_);
        std::string key = seen.path.substr(0, seen.path.find('?'));
        auto it = answers_.find(key);
        if (it != answers_.end()) {
            answer = it->second;
            known = true;
        }
    }
    if (!known) {
        answer.status = 404;
        answer.body = "not found";
    }
    if (options_.log) options_.log("http " + seen.line + ": " + std::to_string(answer.status));
    if (simple) {
        sendAll(fd, answer.body);
        return;
    }
    std::string out = "HTTP/1.1 " + std::to_string(answer.status) + " " + reasonOf(answer.status) +
                      "\r\nConnection: close\r\n";
    if (!answer.location.empty()) out += "Location: " + answer.location + "\r\n";
    if (answer.sendLength)
        out += "Content-Length: " +
               std::to_string(answer.announced >= 0 ? static_cast<size_t>(answer.announced)
                                                    : answer.body.size()) +
               "\r\n";
    out += "\r\n";
    if (seen.line.compare(0, 5, "HEAD ") != 0) out += answer.body;
    sendAll(fd, out);
}

RefusingPort::RefusingPort() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd_ < 0 || ::bind(fd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        throw std::runtime_error("bind");
    port_ = ntohs(addr.sin_port);
}

RefusingPort::~RefusingPort() {
    if (fd_ >= 0) ::close(fd_);
}

std::string RefusingPort::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace testsupport
