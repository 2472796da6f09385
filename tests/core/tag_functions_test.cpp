#include "core/tag_functions.h"

#include <gtest/gtest.h>

#include <string>

#include "module/dispatch.h"
#include "platform/media/messages.h"
#include "tests/support/fake_host.h"
#include "tests/support/parameter_text.h"

namespace korvane {
namespace {

using test::FakeHost;
using test::ParameterText;

constexpr int32_t kTag = 0;
constexpr int32_t kTagList = 1;

struct TagCase {
    int32_t function;
    const char* parameters;
    const char* expected;  // null: no result stored
};

class TagFunctionsTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(TagFunctionsTest, Answers) {
    FunctionEntry table[kFunctionCount] = {};
    table[kTag] = {"KUtl-Tag", tagHandler};
    table[kTagList] = {"KUtl-TagList", tagListHandler};
    const TagCase& row = GetParam();
    FakeHost host;
    Call call;
    call.host = &host;
    ParameterText text(row.parameters);
    call.arguments = &text;
    EXPECT_EQ(runExternalFunction(table, row.function, call), kNoErr);
    if (row.expected == nullptr) {
        EXPECT_FALSE(host.result.has_value()) << *host.result;
    } else {
        EXPECT_EQ(host.result.value_or("<none>"), row.expected);
    }
    EXPECT_EQ(host.livePointers, 0);
}

INSTANTIATE_TEST_SUITE_P(Tag,
                         TagFunctionsTest,
                         ::testing::Values(TagCase{kTag, "WIDTH WIDTH=640 HEIGHT=480", "640"},
                                           TagCase{kTag, "TAG=height WIDTH=640 HEIGHT=480", "480"},
                                           TagCase{kTag, "WIDTH HEIGHT=480", nullptr},  // the first tag names itself
                                           TagCase{kTag, "HEIGHT=480 WIDTH", nullptr},  // HEIGHT=480 is no tag name
                                           TagCase{kTag, "TAG=X X", "X"},  // a later bare word answers itself
                                           TagCase{kTag, "TAG=MISSING A=1", nullptr},
                                           TagCase{kTag, "", nullptr},
                                           TagCase{kTag, "TAG=VERSION VERSION=1, 0, 6, 0509", "1,"},
                                           TagCase{kTag, R"(TAG=PATH PATH='C:\\a\\b.txt')", R"(C:\\a\\b.txt)"},
                                           TagCase{kTag, R"(TAG=dest DEST='It\'s')", R"(It\'s)"},
                                           TagCase{kTag, R"(TAG=NAME NAME='a\\b')", R"(a\b)"},
                                           TagCase{kTag, "TAG=A A=1 | TAG=B B=2", "2"}));

INSTANTIATE_TEST_SUITE_P(TagList,
                         TagFunctionsTest,
                         ::testing::Values(TagCase{kTagList, "A=1 b=2 C", "A B C"},
                                           TagCase{kTagList, "1 2 3", nullptr},
                                           TagCase{kTagList, "", nullptr},
                                           TagCase{kTagList, "N=1 n=2", "N"},
                                           TagCase{kTagList, "A=1 | B=2", "A B"},
                                           TagCase{kTagList, "A=1 || B=2", "B"}));

TEST(TagFunctionsLongTest, PathValueIsCutTo255CharactersBeforeEscaping) {
    FunctionEntry table[kFunctionCount] = {};
    table[kTag] = {"KUtl-Tag", tagHandler};
    FakeHost host;
    Call call;
    call.host = &host;
    ParameterText text("TAG=PATH PATH=" + std::string(300, 'x'));
    call.arguments = &text;
    runExternalFunction(table, kTag, call);
    EXPECT_EQ(host.result.value_or(""), std::string(255, 'x'));
}

TEST(TagFunctionsLongTest, OtherValuesAreWhole) {
    FunctionEntry table[kFunctionCount] = {};
    table[kTag] = {"KUtl-Tag", tagHandler};
    FakeHost host;
    Call call;
    call.host = &host;
    ParameterText text("TAG=NAME NAME=" + std::string(300, 'x'));
    call.arguments = &text;
    runExternalFunction(table, kTag, call);
    EXPECT_EQ(host.result.value_or(""), std::string(300, 'x'));
}

TEST(TagFunctionsMemoryTest, TagListReportsTheHostsMemoryError) {
    FunctionEntry table[kFunctionCount] = {};
    table[kTagList] = {"KUtl-TagList", tagListHandler};
    FakeHost host;
    Call call;
    call.host = &host;
    host.failNextPointer = true;
    ParameterText text("A=1");
    call.arguments = &text;
    EXPECT_EQ(runExternalFunction(table, kTagList, call), kOutOfMemory);
    EXPECT_EQ(host.result.value_or("").rfind("ERROR=-108", 0), 0u);
    EXPECT_EQ(host.livePointers, 0);
}

TEST(PathArgumentNamesTest, MatchWithoutCase) {
    for (const char* name : {"SRC", "dest", "Path", "LOCATION", "original", "APP", "doc"}) {
        EXPECT_TRUE(isPathArgumentName(name)) << name;
    }
    for (const char* name : {"NAME", "PATHS", "", "SR"}) {
        EXPECT_FALSE(isPathArgumentName(name)) << name;
    }
}

}  // namespace
}  // namespace korvane
