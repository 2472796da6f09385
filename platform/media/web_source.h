#pragma once
// Web addresses (http, https, ftp) fetched whole through WinINet, so that the server's answer
// is known: an HTTP error is a failure, never an image made of the error page.

#include <cstddef>

#include "core/status.h"
#include "platform/media/owned_bytes.h"

namespace korvane::media {

// Largest download an importer reads.
inline constexpr size_t kMaxDownloadBytes = size_t{64} << 20;

// Downloads the address into out (redirects followed). 0; -43 HTTP 404 or 410; -54 HTTP 401
// or 403; -36 any other HTTP error or a broken transfer; -108 more than maxBytes or out of
// memory; WinINet's own (positive) error code when the address cannot be reached; -50 null.
Status downloadUrl(const char* address, size_t maxBytes, OwnedBytes& out);

}  // namespace korvane::media
