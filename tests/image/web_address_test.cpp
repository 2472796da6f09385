// The form check a web address passes before it reaches the system.

#include "platform/media/web_address.h"

#include <gtest/gtest.h>

#include <string>

namespace korvane::media {
namespace {

TEST(WebAddress, FormIsCheckedBeforeTheSystemSeesIt) {
    struct Row {
        std::string text;
        bool wellFormed;
    };
    const Row rows[] = {
        {"http://example.com/a.png", true},
        {"HTTPS://example.com", true},
        {"ftp://user:pw@files.example.com:21/x.gif", true},
        {"http://127.0.0.1:8080/a?b=c#d", true},
        {"http://[::1]:80/", true},
        {"http://host/\x95\x5C.png", true},
        {"http://host?q", true},
        {"ftp:", false},
        {"ftp:x", false},
        {"ftp:/x", false},
        {"ftp://", false},
        {"http:///path", false},
        {"http://@/", false},
        {"http://host:/", false},
        {"http://host:0/", false},
        {"http://host:65536/", false},
        {"http://host:123456/", false},
        {"http://host:8x/", false},
        {"http://ho st/", false},
        {"http://host/a\tb", false},
        {"http://host/\x7F", false},
        {"http://[]/", false},
        {"http://[::1/", false},
        {"gopher://host/", false},
        {"file://host/", false},
        {"http:\\\\host\\", false},
        {"", false},
        {"http://" + std::string(kMaxWebAddressLength - 7, 'a'), true},
        {"http://" + std::string(kMaxWebAddressLength - 6, 'a'), false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i << ": " << rows[i].text.substr(0, 40));
        EXPECT_EQ(isWellFormedWebAddress(rows[i].text.c_str()), rows[i].wellFormed);
    }
    EXPECT_FALSE(isWellFormedWebAddress(nullptr));
}

}  // namespace
}  // namespace korvane::media
