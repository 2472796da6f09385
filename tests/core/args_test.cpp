#include "core/args.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <utility>
#include <vector>

#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

using test::ParameterText;
using Tags = std::vector<std::pair<std::string, std::string>>;
using Tokens = std::vector<std::string>;

Tokens allTokens(const Arguments& args) {
    Tokens tokens;
    for (int i = 1; i <= args.argCount(); ++i) {
        tokens.emplace_back(args.argAt(i));
    }
    return tokens;
}

Tags allTags(const Arguments& args) {
    Tags tags;
    for (int i = 1; i <= args.tagCount(); ++i) {
        tags.emplace_back(args.tagName(i), args.tagValue(args.tagName(i)));
    }
    return tags;
}

struct TokenizerRow {
    const char* text;
    Tokens tokens;
    Tags tags;
};

TEST(Tokenizer, FirstCommand) {
    const TokenizerRow rows[] = {
        {"A B", {"A", "B"}, {{"A", "A"}, {"B", "B"}}},
        {"WIDTH=100 HEIGHT=50", {"WIDTH=100", "HEIGHT=50"}, {{"WIDTH", "100"}, {"HEIGHT", "50"}}},
        {"  \t\r\nA", {"A"}, {{"A", "A"}}},
        {"MESSAGE='a b' X", {"MESSAGE=a b", "X"}, {{"MESSAGE", "a b"}, {"X", "X"}}},
        {"K=\"v 'w'\"", {"K=v 'w'"}, {{"K", "v 'w'"}}},
        {"'a b'c", {"a bc"}, {{"A", "A"}}},
        {"ab'c'", {"ab'c'"}, {}},
        {"=x", {"=x"}, {}},
        {"==x", {"==x"}, {}},
        {"K==x", {"K==x"}, {{"K", "=x"}}},
        {"K=b=c", {"K=b=c"}, {{"K", "b=c"}}},
        {"'K'=v", {"K=v"}, {{"K", "v"}}},
        {"PATH='C:\\\\dir\\\\f.txt'", {"PATH=C:\\dir\\f.txt"}, {{"PATH", "C:\\dir\\f.txt"}}},
        {"A\\sB", {"A B"}, {{"A", "A"}}},
        {"T=a\\tb\\nc\\rd\\qe\\|f", {"T=a\tb\nc\rdqe|f"}, {{"T", "a\tb\nc\rdqe|f"}}},
        {"K='it\\'s'", {"K=it's"}, {{"K", "it's"}}},
        {"\\'x'", {"'x'"}, {}},
        {"K\\=v", {"K=v"}, {{"K", "K"}}},
        {"K=\\=v", {"K==v"}, {{"K", "=v"}}},
        {"x-y=3 3D=1", {"x-y=3", "3D=1"}, {}},
        {"lower=1 _a1=2", {"lower=1", "_a1=2"}, {{"LOWER", "1"}, {"_A1", "2"}}},
        {"A ", {"A", ""}, {{"A", "A"}}},
        {"", {""}, {}},
        {"A |B", {"A", ""}, {{"A", "A"}}},
        {"N=1 N=2", {"N=1", "N=2"}, {{"N", "2"}}},
        {"N=1 n", {"N=1", "n"}, {{"N", "N"}}},
        {"K='' L=", {"K=", "L="}, {{"K", ""}, {"L", ""}}},
        // An unterminated quote takes the rest of the text, bars included.
        {"K='a|b c", {"K=a|b c"}, {{"K", "a|b c"}}},
        // A lone backslash at the very end is dropped; the token ends with the text.
        {"A\\", {"A"}, {{"A", "A"}}},
        {"K='ab\\", {"K=ab"}, {{"K", "ab"}}},
        {"\\", {""}, {}},
        // Second bytes of double-byte characters are never a backslash or the tag's "=".
        {"K=\x81\x5Cn", {"K=\x81\x5Cn"}, {{"K", "\x81\x5Cn"}}},
        {"K='\x81\x5C'", {"K=\x81\x5C"}, {{"K", "\x81\x5C"}}},
        {"\x81\x3Dx", {"\x81=x"}, {}},
        {"K=\x81\x3Dx", {"K=\x81=x"}, {{"K", "\x81=x"}}},
        {"K=\x81\x81\\n", {"K=\x81\x81\n"}, {{"K", "\x81\x81\n"}}},
        {"K=\xE0\x5C\\s", {"K=\xE0\x5C "}, {{"K", "\xE0\x5C "}}},
        {"K=\xA0\\s", {"K=\xA0 "}, {{"K", "\xA0 "}}},
        // Separators are recognised after a lead byte too.
        {"K=\x81 L", {"K=\x81", "L"}, {{"K", "\x81"}, {"L", "L"}}},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(testing::Message() << "row " << i << ": " << rows[i].text);
        ParameterText params(rows[i].text);
        ASSERT_EQ(params.status(), kNoErr);
        EXPECT_EQ(allTokens(params), rows[i].tokens);
        EXPECT_EQ(allTags(params), rows[i].tags);
        EXPECT_EQ(params.commandIndex(), 1);
        EXPECT_TRUE(params.isFirstCommand());
    }
}

TEST(Tokenizer, TagLookupIgnoresCase) {
    ParameterText params("Width=100 debug");
    EXPECT_STREQ(params.tagValue("width"), "100");
    EXPECT_STREQ(params.tagValue("WIDTH"), "100");
    EXPECT_STREQ(params.tagValue("Debug"), "DEBUG");
    EXPECT_EQ(params.tagValue("HEIGHT"), nullptr);
    EXPECT_EQ(params.tagValue(nullptr), nullptr);
    EXPECT_EQ(params.tagName(0), nullptr);
    EXPECT_EQ(params.tagName(3), nullptr);
    EXPECT_EQ(params.argAt(0), nullptr);
    EXPECT_EQ(params.argAt(3), nullptr);
}

TEST(Commands, SingleBarKeepsEarlierArguments) {
    ParameterText params("A=1 | B=2");
    EXPECT_EQ(allTokens(params), (Tokens{"A=1", ""}));
    EXPECT_TRUE(params.hasTextAfterCurrentCommand());
    ASSERT_TRUE(params.nextCommand());
    EXPECT_EQ(params.commandIndex(), 2);
    EXPECT_FALSE(params.isFirstCommand());
    EXPECT_STREQ(params.argAt(1), "A=1");
    EXPECT_EQ(allTags(params), (Tags{{"A", "1"}, {"B", "2"}}));
    EXPECT_FALSE(params.hasTextAfterCurrentCommand());
    EXPECT_FALSE(params.nextCommand());
}

TEST(Commands, DoubledBarClearsEarlierArguments) {
    ParameterText params("A=1 X || B=2 | X=3");
    ASSERT_TRUE(params.nextCommand());
    EXPECT_EQ(allTokens(params), (Tokens{"B=2", ""}));
    EXPECT_EQ(allTags(params), (Tags{{"B", "2"}}));
    ASSERT_TRUE(params.nextCommand());
    EXPECT_EQ(params.commandIndex(), 3);
    EXPECT_EQ(allTags(params), (Tags{{"B", "2"}, {"X", "3"}}));
    EXPECT_FALSE(params.nextCommand());
}

TEST(Commands, TrailingBarsAndBlanksEndTheText) {
    const char* texts[] = {"A|", "A| \t\r\n", "A", "'A|B|C"};
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        ParameterText params(text);
        EXPECT_FALSE(params.hasTextAfterCurrentCommand());
        EXPECT_FALSE(params.nextCommand());
        EXPECT_EQ(params.commandIndex(), 1);
    }
}

TEST(Commands, TextAfterCurrentCommand) {
    ParameterText params("A| |B");
    EXPECT_TRUE(params.hasTextAfterCurrentCommand());
    ASSERT_TRUE(params.nextCommand());  // the empty command between the bars
    EXPECT_TRUE(params.hasTextAfterCurrentCommand());
    ASSERT_TRUE(params.nextCommand());
    EXPECT_STREQ(params.argAt(params.argCount()), "B");
    EXPECT_FALSE(params.hasTextAfterCurrentCommand());
}

TEST(Commands, NothingBeforeStartOrAfterEnd) {
    Arguments params;
    params.end();
    EXPECT_FALSE(params.nextCommand());
    EXPECT_FALSE(params.hasTextAfterCurrentCommand());
    EXPECT_EQ(params.argCount(), 0);
    EXPECT_EQ(params.tagCount(), 0);
    EXPECT_EQ(params.tagValue("A"), nullptr);
    EXPECT_EQ(params.start(nullptr, nullptr), kParamErr);
}

TEST(HostileText, ManyDistinctTags) {
    constexpr int kTags = 500;
    std::string text;
    for (int i = 0; i < kTags; ++i) {
        text += "T" + std::to_string(i) + "=" + std::to_string(i) + " B" + std::to_string(i) + " ";
    }
    ParameterText params(text);
    ASSERT_EQ(params.status(), kNoErr);
    EXPECT_EQ(params.status(), kNoErr);
    ASSERT_EQ(params.tagCount(), 2 * kTags);
    EXPECT_EQ(params.argCount(), 2 * kTags + 1);
    EXPECT_STREQ(params.tagName(2 * kTags - 1), "T499");
    EXPECT_STREQ(params.tagValue("t499"), "499");
    EXPECT_STREQ(params.tagValue("B499"), "B499");
    EXPECT_STREQ(params.argAt(2 * kTags), "B499");
}

TEST(HostileText, LongTextsAndLongTokens) {
    constexpr size_t kLength = 100000;
    std::string value(kLength, 'v');
    ParameterText params("K=" + value + " " + std::string(kLength, '\\') + " 'unterminated " + value);
    EXPECT_EQ(std::string(params.tagValue("K")), value);
    EXPECT_EQ(std::string(params.argAt(2)), std::string(kLength / 2, '\\'));
    EXPECT_EQ(std::string(params.argAt(3)), "unterminated " + value);
}

// Random short texts over the characters the tokenizer treats specially: the sanitizers
// watch for any access outside the text and the name area.
TEST(HostileText, RandomTextsStayInBounds) {
    const char alphabet[] = {'a', 'Z', '_', '=', '\'', '"', '\\', ' ', '|', '\x81', '\x5C', '\x3D', 'n', '\t'};
    uint32_t seed = 12345;
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        seed = seed * 1103515245u + 12345u;
        size_t length = (seed >> 16) % 14;
        for (size_t i = 0; i < length; ++i) {
            seed = seed * 1103515245u + 12345u;
            text += alphabet[(seed >> 16) % sizeof(alphabet)];
        }
        ParameterText params(text);
        ASSERT_EQ(params.status(), kNoErr);
        int commands = 1;
        while (params.nextCommand()) {
            ASSERT_LE(++commands, static_cast<int>(length) + 1) << text;
        }
        for (int i = 1; i <= params.tagCount(); ++i) {
            ASSERT_NE(params.tagValue(params.tagName(i)), nullptr);
        }
    }
}

TEST(PositionalAccess, Numbers) {
    ParameterText params("12px x 1,,2 '1 ,2'");
    int32_t n = 99;
    EXPECT_TRUE(params.argNumber(1, &n));
    EXPECT_EQ(n, 12);
    EXPECT_TRUE(params.argNumber(2, &n));  // not checked for being a number
    EXPECT_EQ(n, 0);
    n = 99;
    EXPECT_FALSE(params.argNumber(5, &n));
    EXPECT_EQ(n, 99);

    int32_t list[4] = {7, 7, 7, 7};
    EXPECT_EQ(params.argNumberList(3, list, 4), 3);
    EXPECT_EQ(list[0], 1);
    EXPECT_EQ(list[1], 0);
    EXPECT_EQ(list[2], 2);
    EXPECT_EQ(params.argNumberList(4, list, 4), 0);
    EXPECT_EQ(params.argNumberList(9, list, 4), 0);
}

TEST(TagAccess, TagTextIsCut) {
    std::string longValue(300, 'x');
    ParameterText params("LONG=" + longValue + " SHORT=abcdef");
    EXPECT_EQ(std::string(params.tagValue("LONG")), longValue);

    char buffer[300];
    ASSERT_TRUE(params.tagText("LONG", buffer, 299));
    EXPECT_EQ(std::string(buffer), std::string(255, 'x'));
    ASSERT_TRUE(params.tagText("SHORT", buffer, 3));
    EXPECT_STREQ(buffer, "abc");
    ASSERT_TRUE(params.tagText("SHORT", buffer, 0));
    EXPECT_STREQ(buffer, "");

    std::memcpy(buffer, "sentinel", 9);
    EXPECT_FALSE(params.tagText("NONE", buffer, 10));
    EXPECT_FALSE(params.tagText("SHORT", buffer, -1));
    EXPECT_STREQ(buffer, "sentinel");
}

TEST(TagAccess, Numbers) {
    ParameterText params("A=12 B=1.5.2 C=-0x1F P=50% Q=-50% E= PCT=% L=1,2,3");
    EXPECT_EQ(params.tagNumber("A"), 12);
    EXPECT_EQ(params.tagNumber("NONE"), 0);

    int32_t n = 99;
    EXPECT_FALSE(params.tagNumberChecked("NONE", &n));
    EXPECT_EQ(n, 99);
    EXPECT_TRUE(params.tagNumberChecked("C", &n));
    EXPECT_EQ(n, -31);
    EXPECT_FALSE(params.tagNumberChecked("B", &n));
    EXPECT_EQ(n, 152);  // set even when the value is not a well-formed number

    EXPECT_EQ(params.tagNumberOrPercent("P", 300), 150);
    EXPECT_EQ(params.tagNumberOrPercent("Q", 3), -1);  // truncated toward zero
    EXPECT_EQ(params.tagNumberOrPercent("A", 300), 12);
    EXPECT_EQ(params.tagNumberOrPercent("E", 300), 0);
    EXPECT_EQ(params.tagNumberOrPercent("PCT", 300), 0);
    EXPECT_EQ(params.tagNumberOrPercent("NONE", 300), 0);

    int32_t list[2] = {};
    EXPECT_EQ(params.tagNumberList("L", list, 2), 2);
    EXPECT_EQ(list[1], 2);
    EXPECT_EQ(params.tagNumberList("NONE", list, 2), 0);
}

TEST(TagAccess, PercentProductWrapsInsteadOfOverflowing) {
    ParameterText params("P=2147483647%");
    // 2147483647 * 200 wraps to -200 in 32 bits.
    EXPECT_EQ(params.tagNumberOrPercent("P", 200), -2);
}

TEST(TagAccess, BoolKeywordAndCodes) {
    ParameterText params("DEBUG Y=yes Z=0 N=no F=False E= M=fadein T=GIF C=GIF,,JPEG L=ABCDE");
    EXPECT_TRUE(params.tagBool("DEBUG", false));
    EXPECT_TRUE(params.tagBool("Y", false));
    EXPECT_TRUE(params.tagBool("Z", false));
    EXPECT_TRUE(params.tagBool("E", false));
    EXPECT_FALSE(params.tagBool("N", true));
    EXPECT_FALSE(params.tagBool("F", true));
    EXPECT_TRUE(params.tagBool("NONE", true));
    EXPECT_FALSE(params.tagBool("NONE", false));

    EXPECT_EQ(params.tagKeyword("M", "ZOOM,FADEIN,FADEOUT"), 2);
    EXPECT_EQ(params.tagKeyword("NONE", "ZOOM,FADEIN,FADEOUT"), 0);

    uint32_t code = 7;
    EXPECT_TRUE(params.tagCode("T", &code));
    EXPECT_EQ(code, 0x47494620u);
    code = 7;
    EXPECT_FALSE(params.tagCode("L", &code));
    EXPECT_FALSE(params.tagCode("NONE", &code));
    EXPECT_EQ(code, 7u);

    uint32_t codes[4] = {};
    EXPECT_EQ(params.tagCodeList("C", codes, 4), 3);
    EXPECT_EQ(codes[1], 0x20202020u);
    EXPECT_EQ(codes[2], 0x4A504547u);
    EXPECT_EQ(params.tagCodeList("C", codes, 0), 0);
    EXPECT_EQ(params.tagCodeList("E", codes, 4), 0);
    EXPECT_EQ(params.tagCodeList("L", codes, 4), 0);
}

TEST(TagAccess, DateTime) {
    ParameterText params("D=04-12-31 T=13:05:00 BAD=2004/12-31");
    DateTime dt;
    dt.year = 1;
    dt.hour = 2;
    EXPECT_FALSE(params.tagDateTime("NONE", "NONE2", &dt));
    EXPECT_TRUE(params.tagDateTime("D", "NONE", &dt));
    EXPECT_EQ(dt.year, 2004);
    EXPECT_EQ(dt.day, 31);
    EXPECT_EQ(dt.hour, 2);  // kept
    EXPECT_TRUE(params.tagDateTime("NONE", "T", &dt));
    EXPECT_EQ(dt.hour, 13);
    EXPECT_EQ(dt.minute, 5);
    EXPECT_FALSE(params.tagDateTime("BAD", "T", &dt));
}

TEST(TextRules, ParseInteger) {
    const std::pair<const char*, int32_t> rows[] = {
        {"12", 12},
        {" 12", 12},
        {"-0x1F", -31},
        {"0XfF", 255},
        {"0x1g2", 0x12},
        {"#FF", 0},
        {"-#12", 0},
        {"1.5", 15},
        {"1,000", 1000},
        {"12 px", 12},
        {"+7", 7},
        {" - 5", -5},
        {"x-5", 5},
        {"", 0},
        {"abc", 0},
        {"2147483647", INT32_MAX},
        {"2147483648", INT32_MIN},
        {"-2147483648", INT32_MIN},
        {"4294967295", -1},
        {"99999999999", 1215752191},  // wraps in 32 bits
        {"0xFFFFFFFFF", -1},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(parseInteger(text), expected);
    }
    EXPECT_EQ(parseInteger(nullptr), 0);
}

TEST(TextRules, IsNumberText) {
    const std::pair<const char*, bool> rows[] = {
        {"12", true}, {" -12", true}, {"+1.5", true},  {"1.5.2", false}, {"12 ", false}, {"", true},     {"-", true},
        {"0x", true}, {"0x1F", true}, {"0x1G", false}, {"1e5", false},   {"--1", false}, {"#FF", false}, {".", true},
    };
    for (const auto& [text, expected] : rows) {
        SCOPED_TRACE(text);
        EXPECT_EQ(isNumberText(text), expected);
    }
}

TEST(TextRules, NumberList) {
    struct Row {
        const char* text;
        int max;
        std::vector<int32_t> expected;
    };
    const Row rows[] = {
        {"1,2,3,4", 4, {1, 2, 3, 4}},
        {"1,2,3,4", 2, {1, 2}},
        {"1,,2", 4, {1, 0, 2}},
        {"1 ,2", 4, {}},
        {"1, 2", 4, {1, 2}},
        {"1,x,3", 4, {1}},
        {"-0x10,#", 4, {-16}},
        {"", 4, {}},
        {"1,2", 0, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        int32_t out[4] = {};
        int count = parseNumberList(row.text, out, row.max);
        EXPECT_EQ(std::vector<int32_t>(out, out + count), row.expected);
    }
    EXPECT_EQ(parseNumberList(nullptr, nullptr, 4), 0);

    // Only the first 255 characters are read: the number cut at the limit ends the list.
    std::string text = std::string(252, '0') + "1,22,3";
    int32_t out[4] = {};
    ASSERT_EQ(parseNumberList(text.c_str(), out, 4), 2);
    EXPECT_EQ(out[1], 2);
}

TEST(TextRules, MatchKeywordAndBool) {
    struct Row {
        const char* list;
        const char* text;
        int expected;
    };
    const Row rows[] = {
        {"ZOOM,FADEIN,FADEOUT", "fadein", 2},
        {"ZOOM,FADEIN,FADEOUT", "FADE", 0},
        {"ZOOM,FADEIN,FADEOUT", "FADEOUTX", 0},
        {"ZOOM,FADEIN,FADEOUT", "fadeout", 3},
        {"MIN,LOW,NORMAL", "LOW,NORMAL", 2},
        {"MIN,LOW,NORMAL", "", 0},
        {"A,,B", "", 2},
        {"", "", 0},
        {"ScaleToFit,blend", "BLEND", 2},
        {"\x81\x40,B", "\x81\x40", 1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << row.list << " / " << row.text);
        EXPECT_EQ(matchKeyword(row.list, row.text), row.expected);
    }
    EXPECT_FALSE(textToBool("false"));
    EXPECT_FALSE(textToBool("No"));
    EXPECT_TRUE(textToBool("0"));
    EXPECT_TRUE(textToBool(""));
    EXPECT_TRUE(textToBool("NOT"));
}

TEST(TextRules, Codes) {
    uint32_t code = 0;
    EXPECT_TRUE(textToCode("GIF", &code));
    EXPECT_EQ(code, 0x47494620u);
    EXPECT_TRUE(textToCode("8BPS", &code));
    EXPECT_EQ(code, 0x38425053u);
    EXPECT_TRUE(textToCode("\xFF", &code));
    EXPECT_EQ(code, 0xFF202020u);
    code = 1;
    EXPECT_FALSE(textToCode("", &code));
    EXPECT_FALSE(textToCode("ABCDE", &code));
    EXPECT_EQ(code, 1u);

    uint32_t codes[3] = {};
    EXPECT_EQ(parseCodeList(",A,B", codes, 3), 2);
    EXPECT_EQ(codes[0], 0x41202020u);
    EXPECT_EQ(parseCodeList("A,B,C,D", codes, 3), 3);
    EXPECT_EQ(parseCodeList("A,", codes, 3), 2);
    EXPECT_EQ(codes[1], 0x20202020u);
    EXPECT_EQ(parseCodeList("A,TOOLONG", codes, 3), 0);
}

TEST(TextRules, DateTime) {
    struct Row {
        const char* date;
        const char* time;
        bool ok;
        DateTime expected;
    };
    const DateTime keep{9, 9, 9, 9, 9, 9};
    const Row rows[] = {
        {"70/1/1", nullptr, true, {1970, 1, 1, 9, 9, 9}},
        {"69/1/1", nullptr, true, {2069, 1, 1, 9, 9, 9}},
        {"2004/12/31", nullptr, true, {2004, 12, 31, 9, 9, 9}},
        {" 2004.1.5 ", nullptr, true, {2004, 1, 5, 9, 9, 9}},
        {"2004 / 1 / 5", nullptr, false, keep},
        {"100-2-3", "13:05:00", true, {100, 2, 3, 13, 5, 0}},
        {nullptr, "13:05:00", true, {9, 9, 9, 13, 5, 0}},
        {"2004/12-31", nullptr, false, keep},
        {"2004", nullptr, false, keep},
        {"2004/12/31x", nullptr, false, keep},
        {"2004/12/31", "13:05", false, keep},
        {nullptr, nullptr, true, keep},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.date ? row.date : "-") << " " << (row.time ? row.time : "-"));
        DateTime dt = keep;
        EXPECT_EQ(parseDateTime(row.date, row.time, &dt), row.ok);
        EXPECT_EQ(dt.year, row.expected.year);
        EXPECT_EQ(dt.month, row.expected.month);
        EXPECT_EQ(dt.day, row.expected.day);
        EXPECT_EQ(dt.hour, row.expected.hour);
        EXPECT_EQ(dt.minute, row.expected.minute);
        EXPECT_EQ(dt.second, row.expected.second);
    }
}

}  // namespace
}  // namespace korvane
