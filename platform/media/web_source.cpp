#include "platform/media/web_source.h"

#include <windows.h>

#include <wininet.h>

#include <cstdlib>

#include "platform/media/importer.h"
#include "platform/win32/raii.h"
#include "platform/win32/system_error.h"

namespace korvane::media {

namespace {

inline void closeInternetHandle(HINTERNET handle) {
    ::InternetCloseHandle(handle);
}
using unique_hinternet = win32::unique_any<win32::simple_traits<HINTERNET, closeInternetHandle>>;

constexpr char kAgent[] = "Korvane";
constexpr DWORD kOpenFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_UI |
                             INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_PRAGMA_NOCACHE;
constexpr DWORD kReadChunk = 16 * 1024;
constexpr DWORD kHttpOk = 200;
constexpr DWORD kHttpMultipleChoices = 300;
constexpr DWORD kHttpUnauthorized = 401;
constexpr DWORD kHttpForbidden = 403;
constexpr DWORD kHttpNotFound = 404;
constexpr DWORD kHttpGone = 410;

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

Status readAll(HINTERNET request, size_t maxBytes, OwnedBytes& out) {
    ByteWriter writer;
    for (;;) {
        uint8_t chunk[kReadChunk];
        DWORD got = 0;
        if (!InternetReadFile(request, chunk, sizeof chunk, &got)) {
            return kIoError;
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

}  // namespace

Status downloadUrl(const char* address, size_t maxBytes, OwnedBytes& out) {
    out.reset();
    if (!address) {
        return kParamErr;
    }
    unique_hinternet session(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) {
        return win32::lastErrorStatus();
    }
    unique_hinternet request(InternetOpenUrlA(session.get(), address, nullptr, 0, kOpenFlags, 0));
    if (!request) {
        return win32::lastErrorStatus();
    }
    if (Status status = httpStatus(request.get()); status != kNoErr) {
        return status;
    }
    if (declaredTooLong(request.get(), maxBytes)) {
        return kOutOfMemory;
    }
    return readAll(request.get(), maxBytes, out);
}

}  // namespace korvane::media
