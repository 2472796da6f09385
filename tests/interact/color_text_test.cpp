// Colour texts and the colours derived from a colour.

#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "interact/color_text.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

using test::ParameterText;

const Color kSentinel{1, 2, 3};

std::string formatted(const Color& c) {
    LocalText<32> text;
    formatColorText(text, c);
    return text.c_str();
}

TEST(ColorText, ParseRows) {
    struct Row {
        std::string text;
        const char* color;  // null: not a colour
    };
    const Row rows[] = {
        {"#FF8000", "255,128,0"},
        {"#ff8000", "255,128,0"},
        {"#aBcDeF", "171,205,239"},
        {"128", "128,128,128"},
        {"10,abc", "10,10,10"},
        {"300,-1,256", "44,255,0"},
        {"1,2,3,4", "1,2,3"},
        {"0x10", "16,16,16"},
        {",,", "0,0,0"},
        {"10,20", nullptr},
        {"#FFF", nullptr},
        {"#GG0000", nullptr},
        {"#FF80 0", nullptr},
        {"#FF80001", nullptr},
        {"", nullptr},
        {"abc", nullptr},
        {"\x82\x50", nullptr},
        {"#\x82\x50\x82\x50\x82\x50", nullptr},
        {std::string(255, '0') + ",1,2", "0,0,0"},
        {std::string(254, '0') + ",1,2", nullptr},
        {std::string(252, '0') + ",1,2", "0,1,0"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        const Row& row = rows[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + row.text);
        Color c = kSentinel;
        const bool ok = parseColorText(row.text.c_str(), &c);
        if (row.color == nullptr) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(c, kSentinel);
        } else {
            EXPECT_TRUE(ok);
            EXPECT_EQ(formatted(c), row.color);
        }
    }
}

TEST(ColorText, ComponentsFromBytes) {
    Color c;
    ASSERT_TRUE(parseColorText("0,128,255", &c));
    EXPECT_EQ(c, (Color{0, 32896, 65535}));
    EXPECT_EQ(formatted(Color{255, 256, 65535}), "0,1,255");
    EXPECT_FALSE(parseColorText(nullptr, &c));
}

TEST(ColorText, ReadersTakeTagsAndPositions) {
    ParameterText parsed("C=#102030 BAD=1,2 40");
    ASSERT_EQ(parsed.status(), kNoErr);
    Color c = kSentinel;
    EXPECT_TRUE(readColorArg(parsed, "c", &c));
    EXPECT_EQ(formatted(c), "16,32,48");
    EXPECT_TRUE(readColorArgAt(parsed, 3, &c));
    EXPECT_EQ(formatted(c), "40,40,40");
    c = kSentinel;
    EXPECT_FALSE(readColorArg(parsed, "BAD", &c));
    EXPECT_FALSE(readColorArg(parsed, "NONE", &c));
    EXPECT_FALSE(readColorArgAt(parsed, 1, &c));
    EXPECT_FALSE(readColorArgAt(parsed, 4, &c));
    EXPECT_EQ(c, kSentinel);
}

TEST(ColorText, DerivedColors) {
    EXPECT_EQ(darkenColor(Color{65535, 1, 0}), (Color{32767, 0, 0}));
    EXPECT_EQ(lightenColor(Color{0, 65535, 65534}), (Color{32767, 65535, 65534}));
    EXPECT_EQ(invertColor(Color{0, 65535, 32896}), (Color{65535, 0, 32639}));
}

}  // namespace
}  // namespace korvane
