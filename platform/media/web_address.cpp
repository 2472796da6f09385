#include "platform/media/web_address.h"

#include <cstdint>
#include <cstring>

namespace korvane::media {

namespace {

constexpr const char* kSchemes[] = {"http", "https", "ftp"};
constexpr char kSchemeEnd[] = "://";
constexpr uint32_t kLargestPort = 65535;
constexpr int kMaxPortDigits = 5;
constexpr unsigned char kFirstPrintable = 0x20;
constexpr unsigned char kDelete = 0x7F;

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isHexDigit(char c) {
    return isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f');
}

bool isHostChar(char c) {
    return isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'z') || c == '-' || c == '_' || c == '.';
}

bool isAuthorityEnd(char c) {
    return c == '\0' || c == '/' || c == '?' || c == '#';
}

// Length of the scheme and "://" at the start of text, or 0 when there is none of ours.
size_t schemeLength(const char* text) {
    for (const char* scheme : kSchemes) {
        size_t length = std::strlen(scheme);
        size_t i = 0;
        while (i < length && lowerAscii(text[i]) == scheme[i]) {
            ++i;
        }
        if (i == length && std::strncmp(text + length, kSchemeEnd, sizeof kSchemeEnd - 1) == 0) {
            return length + sizeof kSchemeEnd - 1;
        }
    }
    return 0;
}

bool isPort(const char* begin, const char* end) {
    if (begin == end || end - begin > kMaxPortDigits) {
        return false;
    }
    uint32_t port = 0;
    for (const char* p = begin; p != end; ++p) {
        if (!isDigit(*p)) {
            return false;
        }
        port = port * 10 + static_cast<uint32_t>(*p - '0');
    }
    return port >= 1 && port <= kLargestPort;
}

// host[:port] between begin and end.
bool isHostAndPort(const char* begin, const char* end) {
    const char* p = begin;
    if (p != end && *p == '[') {
        for (++p; p != end && (isHexDigit(*p) || *p == ':' || *p == '.'); ++p) {
        }
        if (p == end || *p != ']' || p == begin + 1) {
            return false;
        }
        ++p;
    } else {
        for (; p != end && isHostChar(*p); ++p) {
        }
        if (p == begin) {
            return false;
        }
    }
    if (p == end) {
        return true;
    }
    return *p == ':' && isPort(p + 1, end);
}

}  // namespace

bool isWellFormedWebAddress(const char* text) {
    if (text == nullptr) {
        return false;
    }
    const size_t length = strnlen(text, kMaxWebAddressLength + 1);
    if (length > kMaxWebAddressLength) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < kFirstPrintable || c == kDelete) {
            return false;
        }
    }
    const size_t start = schemeLength(text);
    if (start == 0) {
        return false;
    }
    const char* authority = text + start;
    const char* end = authority;
    while (!isAuthorityEnd(*end)) {
        ++end;
    }
    // User information ends at the last "@" of the authority.
    const char* host = authority;
    for (const char* p = authority; p != end; ++p) {
        if (*p == '@') {
            host = p + 1;
        }
    }
    return isHostAndPort(host, end);
}

}  // namespace korvane::media
