#pragma once
// Web addresses (http, https, ftp) fetched whole through WinINet, so that the server's answer
// is known: an HTTP error is a failure, never an image made of the error page.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/owned_bytes.h"

namespace korvane::media {

// Largest download an importer reads.
inline constexpr size_t kMaxDownloadBytes = size_t{64} << 20;

// A server that stops answering must never hold the host for good: every download has a
// time limit for connecting, for each wait on the server and for the whole, and follows only
// so many redirects.
struct WebLimits {
    uint32_t connectMs = 30'000;
    uint32_t receiveMs = 30'000;
    uint32_t totalMs = 30'000;
    int redirects = 10;
};
inline constexpr Status kWebTimeout = 12002;        // ERROR_INTERNET_TIMEOUT
inline constexpr Status kTooManyRedirects = 12156;  // ERROR_HTTP_REDIRECT_FAILED

// The limits in force; tests shorten them so that a stall is seen in seconds.
WebLimits webLimits();
void setWebLimitsForTesting(const WebLimits& limits);

// Downloads the address into out, following at most webLimits().redirects redirects. 0; -50
// null or an address that is not well formed (web_address.h), also as a redirect's target;
// -43 HTTP 404 or 410; -54 HTTP 401 or 403; -36 any other HTTP error or a broken transfer;
// -108 more than maxBytes or out of memory; kWebTimeout when a time limit runs out;
// kTooManyRedirects past the redirect limit; WinINet's own (positive) error code when the
// address cannot be reached.
Status downloadUrl(const char* address, size_t maxBytes, OwnedBytes& out);

}  // namespace korvane::media
