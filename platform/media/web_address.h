#pragma once
// The form of a web address, checked before the address reaches the system: the system's
// web functions were seen to crash on texts such as "ftp:" or "ftp:/x".

#include <cstddef>

namespace korvane::media {

// Longest address accepted, as the system's own limit for an address.
inline constexpr size_t kMaxWebAddressLength = 2083;

// Whether `text` is an http, https or ftp address (scheme in any letter case) of the form
// scheme://[user[:password]@]host[:port][/path][?query][#fragment]: a host of letters, digits,
// "-", "_" and "." (or a bracketed IPv6 literal), a port of 1 to 65535, no control characters
// and no more than kMaxWebAddressLength bytes. Null is not an address.
bool isWellFormedWebAddress(const char* text);

}  // namespace korvane::media
