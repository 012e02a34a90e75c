// A small HTTP server on 127.0.0.1 (its own thread) for the download tests and
// the local world: each path has a scripted answer or a page made per request;
// every request is recorded. One connection at a time, each closed after its
// answer. It stops when destroyed, and by itself after a bounded number of
// connections unless told to run without a limit.
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpAnswer {
    int status = 200;
    std::string body;
    bool sendLength = true;  // a Content-Length header
    long announced = -1;     // the length announced, when it is not the body's (a short body)
    std::string location;    // a Location header
};

struct HttpRequestSeen {
    std::string line;  // the request line as sent
    std::string path;
    std::map<std::string, std::string> headers;  // names in lower case
};

class HttpTestServer {
public:
    struct Options {
        int port = 0;               // 0: a free port
        int maxConnections = 1000;  // 0: no limit
        bool keepRequests = true;   // a long-running server keeps none
        // One line per request (request line and status), when set.
        std::function<void(const std::string&)> log;
    };
    // Answers a request itself (true) or leaves it to the scripted paths (false).
    using Pages = std::function<bool(const HttpRequestSeen&, HttpAnswer&)>;

    HttpTestServer();
    // Throws std::runtime_error when the port cannot be bound.
    explicit HttpTestServer(const Options& options);
    ~HttpTestServer();
    HttpTestServer(const HttpTestServer&) = delete;
    HttpTestServer& operator=(const HttpTestServer&) = delete;

    int port() const { return port_; }
    // "http://127.0.0.1:<port><path>"
    std::string url(const std::string& path) const;

    void serve(const std::string& path, const HttpAnswer& answer);
    // Shorthands: a plain body, and a 302 to another path of this server.
    void serveBody(const std::string& path, const std::string& body, int status = 200);
    void redirect(const std::string& path, const std::string& toPath);
    // Consulted before the scripted paths; set before the first request.
    void setPages(Pages pages);

    std::vector<HttpRequestSeen> requests() const;
    int count(const std::string& path) const;

    // Closes the listening socket: later connections are refused.
    void stop();

private:
    void run();
    void handle(int fd);

    Options options_;
    Pages pages_;
    int listen_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    mutable std::mutex lock_;
    std::map<std::string, HttpAnswer> answers_;
    std::vector<HttpRequestSeen> seen_;
    std::thread thread_;
};

// A loopback port that refuses connections: bound (so no one else takes it
// meanwhile) but not listening.
class RefusingPort {
public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return port_; }
    std::string url(const std::string& path) const;

private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace testsupport
