// A small HTTP server on 127.0.0.1 (a free port, its own thread) for the
// download tests: each path has a scripted answer; every request is recorded.
// One connection at a time, each closed after its answer. It stops when
// destroyed, and by itself after a bounded number of connections.
#pragma once

#include <atomic>
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
    HttpTestServer();
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

    std::vector<HttpRequestSeen> requests() const;
    int count(const std::string& path) const;

    // Closes the listening socket: later connections are refused.
    void stop();

private:
    void run();
    void handle(int fd);

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
