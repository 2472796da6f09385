#include "platform/media/web_source.h"

#include <windows.h>

#include <wininet.h>

#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/media/importer.h"
#include "platform/media/web_address.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"

namespace korvane::media {

namespace {

inline void closeInternetHandle(HINTERNET handle) {
    ::InternetCloseHandle(handle);
}
using unique_hinternet = win32::unique_any<win32::simple_traits<HINTERNET, closeInternetHandle>>;

constexpr char kAgent[] = "Korvane";
// Redirects are followed here, one at a time, so that each target is checked and counted.
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PRAGMA_NOCACHE | INTERNET_FLAG_NO_AUTO_REDIRECT;
constexpr DWORD kReadChunk = 16 * 1024;
constexpr DWORD kHttpOk = 200;
constexpr DWORD kHttpMultipleChoices = 300;
constexpr DWORD kHttpUnauthorized = 401;
constexpr DWORD kHttpForbidden = 403;
constexpr DWORD kHttpNotFound = 404;
constexpr DWORD kHttpGone = 410;
constexpr DWORD kRedirectStatuses[] = {301, 302, 303, 307, 308};

WebLimits gLimits;

// The clock of one download against its total limit.
class Deadline {
  public:
    explicit Deadline(uint32_t totalMs) : end_(GetTickCount64() + totalMs) {}
    bool passed() const { return GetTickCount64() >= end_; }
    // The time left, but no more than `cap`; at least 1 ms, as 0 means "no limit" to WinINet.
    DWORD remaining(uint32_t cap) const {
        const ULONGLONG now = GetTickCount64();
        const ULONGLONG left = now < end_ ? end_ - now : 1;
        return static_cast<DWORD>(left < cap ? left : (cap > 0 ? cap : 1));
    }

  private:
    ULONGLONG end_;
};

void setTimeout(HINTERNET handle, DWORD option, DWORD ms) {
    InternetSetOptionA(handle, option, &ms, sizeof ms);
}

// A wait on the server: a step that fails once it has waited its whole limit ran out of time,
// whatever code the system gives (some systems answer a receive time-out as an aborted
// connection).
class Wait {
  public:
    explicit Wait(DWORD limitMs) : start_(GetTickCount64()), limitMs_(limitMs) {}
    Status failure(DWORD error, const Deadline& deadline, Status otherwise) const {
        constexpr ULONGLONG kClockSlackMs = 50;
        const bool waitedItsLimit = GetTickCount64() - start_ + kClockSlackMs >= limitMs_;
        return error == ERROR_INTERNET_TIMEOUT || deadline.passed() || waitedItsLimit ? kWebTimeout : otherwise;
    }

  private:
    ULONGLONG start_;
    DWORD limitMs_;
};

Status httpStatus(HINTERNET request) {
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
        return kNoErr;  // not HTTP (ftp): no status to check
    }
    if (code >= kHttpOk && code < kHttpMultipleChoices) {
        return kNoErr;
    }
    if (code == kHttpNotFound || code == kHttpGone) {
        return kFileNotFound;
    }
    if (code == kHttpUnauthorized || code == kHttpForbidden) {
        return kPermissionError;
    }
    return kIoError;
}

// A declared length above the limit fails before anything is read.
bool declaredTooLong(HINTERNET request, size_t maxBytes) {
    char text[32] = {};
    DWORD size = sizeof text;
    if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, text, &size, nullptr)) {
        return false;
    }
    return std::strtoull(text, nullptr, 10) > maxBytes;
}

Status readAll(HINTERNET request, size_t maxBytes, const Deadline& deadline, OwnedBytes& out) {
    ByteWriter writer;
    for (;;) {
        uint8_t chunk[kReadChunk];
        DWORD got = 0;
        // Each wait on the server ends with the receive limit or with the total one.
        const DWORD limit = deadline.remaining(gLimits.receiveMs);
        setTimeout(request, INTERNET_OPTION_RECEIVE_TIMEOUT, limit);
        const Wait wait(limit);
        if (!InternetReadFile(request, chunk, sizeof chunk, &got)) {
            return wait.failure(GetLastError(), deadline, kIoError);
        }
        if (deadline.passed()) {
            return kWebTimeout;
        }
        if (got == 0) {
            break;
        }
        if (got > maxBytes - writer.size()) {
            return kOutOfMemory;
        }
        writer.putBytes(chunk, got);
        if (!writer.ok()) {
            return kOutOfMemory;
        }
    }
    return takeWritten(writer, out);
}

bool isRedirect(HINTERNET request) {
    DWORD code = 0;
    DWORD size = sizeof code;
    if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &code, &size, nullptr)) {
        return false;
    }
    for (DWORD redirect : kRedirectStatuses) {
        if (code == redirect) {
            return true;
        }
    }
    return false;
}

// The redirect's target, made absolute against the address that answered it.
Status redirectTarget(HINTERNET request, const char* base, char (&target)[kMaxWebAddressLength + 1]) {
    char location[kMaxWebAddressLength + 1] = {};
    DWORD size = sizeof location;
    if (!HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location, &size, nullptr)) {
        return kIoError;
    }
    DWORD targetSize = sizeof target;
    if (!InternetCombineUrlA(base, location, target, &targetSize, ICU_NO_ENCODE)) {
        return kParamErr;
    }
    return isWellFormedWebAddress(target) ? kNoErr : kParamErr;
}

// An open request and the connection that carries it (closed in that order).
class Request {
  public:
    HINTERNET get() const { return request_.get(); }
    void reset(unique_hinternet connection, unique_hinternet request) {
        request_.reset();
        connection_ = std::move(connection);
        request_ = std::move(request);
    }

  private:
    unique_hinternet connection_;
    unique_hinternet request_;
};

// Sends a GET for an http or https address. The time limits are set on the request itself:
// the system takes them from there for every wait on this server.
Status openHttpRequest(HINTERNET session, const URL_COMPONENTSA& parts, const Deadline& deadline, Request& out) {
    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    if (parts.dwHostNameLength >= sizeof host) {
        return kParamErr;
    }
    std::memcpy(host, parts.lpszHostName, parts.dwHostNameLength);
    char user[INTERNET_MAX_USER_NAME_LENGTH + 1] = {};
    char password[INTERNET_MAX_PASSWORD_LENGTH + 1] = {};
    if (parts.dwUserNameLength >= sizeof user || parts.dwPasswordLength >= sizeof password) {
        return kParamErr;
    }
    std::memcpy(user, parts.lpszUserName, parts.dwUserNameLength);
    std::memcpy(password, parts.lpszPassword, parts.dwPasswordLength);
    // The path and the query together, as the address wrote them after the host.
    const char* object = parts.dwUrlPathLength > 0 ? parts.lpszUrlPath : "/";
    setTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, deadline.remaining(gLimits.connectMs));
    unique_hinternet connection(InternetConnectA(session, host, parts.nPort, user[0] ? user : nullptr,
                                                 password[0] ? password : nullptr, INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection) {
        return win32::lastErrorStatus();
    }
    const DWORD flags = kOpenFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0);
    unique_hinternet request(HttpOpenRequestA(connection.get(), "GET", object, nullptr, nullptr, nullptr, flags, 0));
    if (!request) {
        return win32::lastErrorStatus();
    }
    const DWORD connectLimit = deadline.remaining(gLimits.connectMs);
    const DWORD receiveLimit = deadline.remaining(gLimits.receiveMs);
    setTimeout(request.get(), INTERNET_OPTION_CONNECT_TIMEOUT, connectLimit);
    setTimeout(request.get(), INTERNET_OPTION_SEND_TIMEOUT, receiveLimit);
    setTimeout(request.get(), INTERNET_OPTION_RECEIVE_TIMEOUT, receiveLimit);
    const Wait wait(connectLimit < receiveLimit ? connectLimit : receiveLimit);
    if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) {
        const DWORD error = GetLastError();
        return wait.failure(error, deadline, win32::statusForSystemError(error));
    }
    out.reset(std::move(connection), std::move(request));
    return kNoErr;
}

// Opens the address: http and https through a request of our own, ftp through the system's
// address opener (its connect limit applies).
Status openRequest(HINTERNET session, const char* address, const Deadline& deadline, Request& out) {
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = 1;
    parts.dwUserNameLength = 1;
    parts.dwPasswordLength = 1;
    parts.dwUrlPathLength = 1;
    if (!InternetCrackUrlA(address, 0, 0, &parts)) {
        return kParamErr;
    }
    if (parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS) {
        return openHttpRequest(session, parts, deadline, out);
    }
    const DWORD connectLimit = deadline.remaining(gLimits.connectMs);
    setTimeout(session, INTERNET_OPTION_CONNECT_TIMEOUT, connectLimit);
    setTimeout(session, INTERNET_OPTION_RECEIVE_TIMEOUT, deadline.remaining(gLimits.receiveMs));
    const Wait wait(connectLimit);
    unique_hinternet request(InternetOpenUrlA(session, address, nullptr, 0, kOpenFlags, 0));
    if (!request) {
        const DWORD error = GetLastError();
        return wait.failure(error, deadline, win32::statusForSystemError(error));
    }
    out.reset(unique_hinternet(), std::move(request));
    return kNoErr;
}

}  // namespace

WebLimits webLimits() {
    return gLimits;
}

void setWebLimitsForTesting(const WebLimits& limits) {
    gLimits = limits;
}

Status downloadUrl(const char* address, size_t maxBytes, OwnedBytes& out) {
    out.reset();
    if (!isWellFormedWebAddress(address)) {
        return kParamErr;
    }
    const Deadline deadline(gLimits.totalMs);
    unique_hinternet session(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) {
        return win32::lastErrorStatus();
    }
    char current[kMaxWebAddressLength + 1] = {};
    std::strncpy(current, address, kMaxWebAddressLength);
    Request request;
    for (int redirects = 0;; ++redirects) {
        if (Status status = openRequest(session.get(), current, deadline, request); status != kNoErr) {
            return status;
        }
        if (!isRedirect(request.get())) {
            break;
        }
        if (redirects == gLimits.redirects) {
            return kTooManyRedirects;
        }
        char target[kMaxWebAddressLength + 1] = {};
        if (Status status = redirectTarget(request.get(), current, target); status != kNoErr) {
            return status;
        }
        std::memcpy(current, target, sizeof current);
        if (deadline.passed()) {
            return kWebTimeout;
        }
    }
    if (Status status = httpStatus(request.get()); status != kNoErr) {
        return status;
    }
    if (declaredTooLong(request.get(), maxBytes)) {
        return kOutOfMemory;
    }
    return readAll(request.get(), maxBytes, deadline, out);
}

}  // namespace korvane::media
