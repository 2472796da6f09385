#pragma once
// A tiny HTTP server on 127.0.0.1 for the web address tests, run on a thread of the test
// program. It answers each request from a table of paths and closes the connection.

#include <winsock2.h>

#include <windows.h>

#include <map>
#include <string>

namespace korvane::image_testing {

struct HttpAnswer {
    int status = 200;
    std::string headers;  // extra header lines, each ending in \r\n
    std::string body;
    bool sendLength = true;  // Content-Length (else the body ends with the connection)
    // A stalled server keeps the connection open and sends nothing more until it stops.
    enum class Stall { kNever, kBeforeAnswer, kInBody };
    Stall stall = Stall::kNever;
};

class LoopbackServer {
  public:
    explicit LoopbackServer(std::map<std::string, HttpAnswer> answers);
    ~LoopbackServer();
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    bool running() const { return thread_ != nullptr; }
    int port() const { return port_; }
    std::string url(const std::string& path) const;

    // Requests answered (or stalled on) so far.
    int requests() const { return requests_; }

    // A port on which nothing listens (bound, then closed).
    static int refusedPort();

  private:
    static DWORD WINAPI serve(void* self);
    void answer(SOCKET connection);

    std::map<std::string, HttpAnswer> answers_;
    SOCKET listener_ = INVALID_SOCKET;
    HANDLE thread_ = nullptr;
    HANDLE stopped_ = nullptr;  // set when the server stops: ends a stall
    volatile LONG requests_ = 0;
    int port_ = 0;
};

}  // namespace korvane::image_testing
