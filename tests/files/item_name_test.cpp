// The rule for a name that must stay inside its folder (NewFolder NAME, SetFileInfo NAME).

#include <gtest/gtest.h>

#include <string>

#include "platform/paths/path_text.h"

namespace korvane {
namespace {

TEST(ItemName, StaysInsideItsFolder) {
    struct Row {
        std::string name;
        bool plain;
    };
    const Row rows[] = {
        {"a.txt", true},
        {"...x", true},
        {".hidden", true},
        {"\x95\x5C", true},  // second byte 0x5C is not a separator
        {"\x83\x5C\x95\x5C", true},
        {"..", false},
        {".", false},
        {"..\\x", false},
        {"..\\..\\y", false},
        {"a\\b", false},
        {"a/b", false},
        {"C:x", false},
        {"\\", false},
        {"", false},
        {std::string(kMaxItemNameLength, 'n'), true},
        {std::string(kMaxItemNameLength + 1, 'n'), false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i << ": " << rows[i].name.substr(0, 20));
        EXPECT_EQ(isPlainItemName(rows[i].name.c_str()), rows[i].plain);
    }
    EXPECT_FALSE(isPlainItemName(nullptr));
}

}  // namespace
}  // namespace korvane
