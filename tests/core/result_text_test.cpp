#include "core/result_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>

#include "core/args.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

std::string escaped(const std::string& text) {
    char buffer[kMaxShortText + 1] = {};
    std::memcpy(buffer, text.data(), std::min(text.size(), kMaxShortText));
    escapeText(buffer);
    return buffer;
}

TEST(WorkingText, AppendsAreCutAtCapacity) {
    char storage[6];
    std::memset(storage, '#', sizeof(storage));
    WorkingText text(storage, 5);
    EXPECT_EQ(text.capacity(), 4u);
    textAppend(text, "ab");
    EXPECT_FALSE(text.truncated());
    textAppend(text, "cdefg");
    EXPECT_STREQ(text.c_str(), "abcd");
    EXPECT_EQ(text.length(), 4u);
    EXPECT_TRUE(text.truncated());
    EXPECT_EQ(storage[5], '#');  // never written past the capacity

    textSet(text, "xy");
    EXPECT_STREQ(text.c_str(), "xy");
    EXPECT_FALSE(text.truncated());
    textAppendChars(text, '-', 2);
    EXPECT_STREQ(text.c_str(), "xy--");
    EXPECT_FALSE(text.truncated());
    textAppendChars(text, '-', INT_MAX);
    EXPECT_TRUE(text.truncated());
    textSet(text, text.c_str());
    EXPECT_STREQ(text.c_str(), "xy--");
}

TEST(WorkingText, CharsAndNulls) {
    LocalText<8> text;
    textAppendChars(text, 'z', 0);
    textAppendChars(text, 'z', -3);
    textAppend(text, nullptr);
    EXPECT_STREQ(text.c_str(), "");
    textAppendChars(text, 'z', 3);
    EXPECT_STREQ(text.c_str(), "zzz");

    WorkingText none(nullptr, 0);
    textAppend(none, "abc");
    EXPECT_STREQ(none.c_str(), "");
    EXPECT_TRUE(none.truncated());
}

TEST(NumberText, Bases) {
    struct Row {
        int32_t n;
        int base;
        const char* expected;
    };
    const Row rows[] = {
        {0, -10, "0"},
        {-50, -10, "-50"},
        {INT32_MIN, -10, "-2147483648"},
        {INT32_MAX, -10, "2147483647"},
        {-1, 16, "FFFFFFFF"},
        {-1, -16, "-1"},
        {255, 16, "FF"},
        {-1, 10, "4294967295"},
        {INT32_MIN, -2, "-10000000000000000000000000000000"},
        {5, 2, "101"},
        {7, 0, ""},
        {7, 1, ""},
        {7, 17, ""},
        {7, -1, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.n << " base " << row.base);
        LocalText<40> text;
        textAppendNumberBase(text, row.n, row.base);
        EXPECT_STREQ(text.c_str(), row.expected);
    }

    LocalText<40> text;
    textSetNumber(text, INT32_MIN);
    EXPECT_STREQ(text.c_str(), "-2147483648");
    textSetNumber(text, 0);
    textAppendNumber(text, -7);
    textAppend(text, " ");
    textAppendBool(text, true);
    textAppendBool(text, false);
    EXPECT_STREQ(text.c_str(), "0-7 TrueFalse");
}

TEST(EscapeText, Cases) {
    const std::pair<std::string, std::string> rows[] = {
        {"C:\\a\\b", "C:\\\\a\\\\b"},
        {"It's", "It\\'s"},
        {"say \"hi\"", "say \\\"hi\\\""},
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"plain text", "plain text"},
        {"", ""},
        // A double-byte character whose second byte is a backslash code stays as it is.
        {"\x81\x5C", "\x81\x5C"},
        {"\x81\x5C\\", "\x81\x5C\\\\"},
        {"\x81\x81\\", "\x81\x81\\\\"},
        {"\xA0\\", "\xA0\\\\"},
        {"\x81\x40'", "\x81\x40\\'"},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(escaped(text), expected);
    }
}

TEST(EscapeText, NeverGrowsPast255) {
    // 254 characters ending in a backslash: only the last one is escaped.
    std::string text = "\\" + std::string(252, 'a') + "\\";
    std::string result = escaped(text);
    EXPECT_EQ(result.size(), 255u);
    EXPECT_EQ(result, "\\" + std::string(252, 'a') + "\\\\");

    EXPECT_EQ(escaped(std::string(255, '\'')), std::string(255, '\''));
    // 200 tabs: the last 55 become \t, bringing the text to 255; the first 145 stay raw.
    std::string tabs(145, '\t');
    for (int i = 0; i < 55; ++i) {
        tabs += "\\t";
    }
    EXPECT_EQ(escaped(std::string(200, '\t')), tabs);

    // A longer text keeps its first 255 characters.
    std::string longText(300, 'x');
    char buffer[301];
    std::memcpy(buffer, longText.c_str(), 301);
    escapeText(buffer);
    EXPECT_EQ(std::string(buffer), std::string(255, 'x'));
}

TEST(ResultItems, CodesAndQuotedValues) {
    LocalText<64> text;
    textAppendCode(text, 0x72617720u);  // "raw "
    EXPECT_STREQ(text.c_str(), "raw\\s");
    textSet(text, "");
    textAppendCode(text, 0x27225C41u);  // ' " \ A
    EXPECT_STREQ(text.c_str(), "\\'\\\"\\\\A");
    textSet(text, "");
    textAppendCode(text, 0x41004200u);  // zero bytes cannot stand in a text
    EXPECT_STREQ(text.c_str(), "AB");

    textSet(text, "");
    textAppendQuoted(text, "NAME", "It's C:\\x");
    EXPECT_STREQ(text.c_str(), "NAME='It\\'s C:\\\\x'");
    textSet(text, "");
    textAppendQuoted(text, "EMPTY", nullptr);
    EXPECT_STREQ(text.c_str(), "EMPTY=''");
}

// What a result writes reads back through the parameter reader as the value written.
TEST(ResultItems, QuotedValuesReadBack) {
    const std::string values[] = {
        "plain", "a b", "It's \"quoted\"", "C:\\dir\\", "tab\there\nnl\rcr", "\x81\x5C\x83\x5C|x=y", "", "'", "\\",
    };
    for (const std::string& value : values) {
        SCOPED_TRACE(value);
        LocalText<600> text;
        textAppendQuoted(text, "V", value.c_str());
        textAppend(text, " C=");
        textAppendCode(text, 0x27205C20u);
        test::ParameterText params(text.c_str());
        ASSERT_NE(params.tagValue("V"), nullptr);
        EXPECT_EQ(std::string(params.tagValue("V")), value);
        uint32_t code = 0;
        EXPECT_TRUE(params.tagCode("C", &code));
        EXPECT_EQ(code, 0x27205C20u);
    }
}

TEST(CompareNoCase, Cases) {
    EXPECT_EQ(compareNoCase("Width", "WIDTH"), 0);
    EXPECT_EQ(compareNoCase("", ""), 0);
    EXPECT_EQ(compareNoCase("\x81\x40", "\x81\x40"), 0);
    EXPECT_LT(compareNoCase("A", "B"), 0);
    EXPECT_GT(compareNoCase("AB", "A"), 0);
    EXPECT_EQ(compareNoCase("a", "B"), 'a' - 'B');  // the bytes as they stand
    EXPECT_EQ(compareNoCase("\xE0", "a"), 0xE0 - 'a');
    EXPECT_EQ(compareNoCase(nullptr, ""), 0);
}

}  // namespace
}  // namespace korvane
