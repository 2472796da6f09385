#include "tests/image/loopback_server.h"

#include <ws2tcpip.h>

namespace korvane::image_testing {

namespace {

constexpr int kMaxRequestBytes = 8192;

struct WinsockStarted {
    WinsockStarted() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

SOCKET boundSocket(int& port) {
    static WinsockStarted winsock;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    int length = sizeof address;
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(s, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (s != INVALID_SOCKET) {
            closesocket(s);
        }
        return INVALID_SOCKET;
    }
    port = ntohs(address.sin_port);
    return s;
}

const char* reason(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 302:
            return "Found";
        case 404:
            return "Not Found";
        default:
            return "Status";
    }
}

void sendAll(SOCKET connection, const std::string& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const int n = send(connection, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
        if (n <= 0) {
            return;
        }
        sent += static_cast<size_t>(n);
    }
}

}  // namespace

LoopbackServer::LoopbackServer(std::map<std::string, HttpAnswer> answers) : answers_(std::move(answers)) {
    stopped_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    listener_ = boundSocket(port_);
    if (listener_ == INVALID_SOCKET || listen(listener_, SOMAXCONN) != 0) {
        return;
    }
    thread_ = CreateThread(nullptr, 0, serve, this, 0, nullptr);
}

LoopbackServer::~LoopbackServer() {
    SetEvent(stopped_);
    if (listener_ != INVALID_SOCKET) {
        closesocket(listener_);  // ends the accept loop
    }
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    CloseHandle(stopped_);
}

std::string LoopbackServer::url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

int LoopbackServer::refusedPort() {
    int port = 0;
    SOCKET s = boundSocket(port);
    if (s != INVALID_SOCKET) {
        closesocket(s);
    }
    return port;
}

DWORD WINAPI LoopbackServer::serve(void* self) {
    auto* server = static_cast<LoopbackServer*>(self);
    for (;;) {
        SOCKET connection = accept(server->listener_, nullptr, nullptr);
        if (connection == INVALID_SOCKET) {
            return 0;
        }
        server->answer(connection);
        shutdown(connection, SD_SEND);
        closesocket(connection);
    }
}

void LoopbackServer::answer(SOCKET connection) {
    std::string request;
    char buffer[1024];
    while (request.find("\r\n\r\n") == std::string::npos && request.size() < kMaxRequestBytes) {
        const int n = recv(connection, buffer, sizeof buffer, 0);
        if (n <= 0) {
            return;
        }
        request.append(buffer, static_cast<size_t>(n));
    }
    const size_t pathStart = request.find(' ') + 1;
    const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
    InterlockedIncrement(&requests_);
    const auto found = answers_.find(path);
    const HttpAnswer answer = found != answers_.end() ? found->second : HttpAnswer{404, "", "no such page"};
    std::string head = "HTTP/1.1 " + std::to_string(answer.status) + " " + reason(answer.status) + "\r\n" +
                       answer.headers + "Connection: close\r\n";
    if (answer.sendLength) {
        head += "Content-Length: " + std::to_string(answer.body.size()) + "\r\n";
    }
    switch (answer.stall) {
        case HttpAnswer::Stall::kNever:
            sendAll(connection, head + "\r\n" + answer.body);
            break;
        case HttpAnswer::Stall::kBeforeAnswer:
            WaitForSingleObject(stopped_, INFINITE);
            break;
        case HttpAnswer::Stall::kInBody:
            sendAll(connection, head + "\r\n" + answer.body.substr(0, answer.body.size() / 2));
            WaitForSingleObject(stopped_, INFINITE);
            break;
    }
}

}  // namespace korvane::image_testing
