// Parameter texts of the size a host can hand over: 100,000 distinct tags are parsed and each
// is found again. With a tag table searched name by name this ran for minutes; the program
// runs under a short ctest time-out so that such a regression fails instead of hanging.

#include <gtest/gtest.h>

#include <string>

#include "core/args.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

constexpr int kTagCount = 100000;

std::string tagNameFor(int i) {
    return "T" + std::to_string(i);
}

TEST(ArgsScale, HundredThousandDistinctTags) {
    std::string text;
    for (int i = 0; i < kTagCount; ++i) {
        text += tagNameFor(i) + "=" + std::to_string(i * 7) + " ";
    }
    text += "t5=again B";  // a repeated name (other case) keeps one entry and takes the last value
    test::ParameterText parsed(text);
    ASSERT_EQ(parsed.status(), kNoErr);
    ASSERT_EQ(parsed.tagCount(), kTagCount + 1);
    ASSERT_EQ(parsed.argCount(), kTagCount + 2);
    for (int i = 0; i < kTagCount; ++i) {
        const std::string name = tagNameFor(i);
        ASSERT_STREQ(parsed.tagName(i + 1), name.c_str());
        if (i != 5) {
            ASSERT_EQ(parsed.tagNumber(name.c_str()), i * 7) << name;
        }
    }
    EXPECT_STREQ(parsed.tagValue("T5"), "again");
    EXPECT_STREQ(parsed.tagValue("b"), "B");
    EXPECT_EQ(parsed.tagValue("T100000"), nullptr);
}

TEST(ArgsScale, CommandsAfterManyTagsStartAfresh) {
    std::string text;
    for (int i = 0; i < 5000; ++i) {
        text += tagNameFor(i) + "=1 ";
    }
    text += "|| X=2";
    test::ParameterText parsed(text);
    ASSERT_EQ(parsed.status(), kNoErr);
    EXPECT_EQ(parsed.tagCount(), 5000);
    ASSERT_TRUE(parsed.nextCommand());
    EXPECT_EQ(parsed.tagCount(), 1);
    EXPECT_EQ(parsed.tagValue("T1"), nullptr);
    EXPECT_EQ(parsed.tagNumber("x"), 2);
}

}  // namespace
}  // namespace korvane
