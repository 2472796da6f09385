// The call lifecycle, dispatch and the core functions, end to end through the host
// emulator and the real module.

#include <gtest/gtest.h>

#include <string>

#include "core/status.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

using test::ModuleTest;

constexpr char kVersion[] = "VERSION=1, 0, 6, 0509";

class CoreFunctionsTest : public ModuleTest {};

TEST_F(CoreFunctionsTest, VersionReadsTheModulesVersionRecord) {
    EXPECT_EQ(call("KUtl-Version", ""), kVersion);
    EXPECT_EQ(call("KUtl-Version", "DEBUG"), std::string(kVersion) + " PLATFORM=x86");
    EXPECT_EQ(call("KUtl-Version", "DEBUG=yes"), std::string(kVersion) + " PLATFORM=x86");
    EXPECT_EQ(call("KUtl-Version", "DEBUG=1"), std::string(kVersion) + " PLATFORM=x86");
    EXPECT_EQ(call("KUtl-Version", "DEBUG=no"), kVersion);
    EXPECT_EQ(call("KUtl-Version", "DEBUG=false"), kVersion);
    EXPECT_EQ(call("KImg-Version", "DEBUG"), call("KUtl-Version", "DEBUG"));
}

TEST_F(CoreFunctionsTest, TagReadsAnotherFunctionsResult) {
    EXPECT_EQ(call("KUtl-Tag", "TAG=VERSION " + call("KUtl-Version", "")), "1,");
    EXPECT_EQ(call("KUtl-Tag", "TAG=height WIDTH=640 HEIGHT=480"), "480");
    EXPECT_EQ(call("KUtl-TagList", "A=1 b=2 C"), "A B C");
    EXPECT_EQ(call("KUtl-TagList", "1 2 3"), "<none>");
}

TEST_F(CoreFunctionsTest, LaterCommandsResultReplacesEarlierOne) {
    EXPECT_EQ(call("KUtl-TagList", "A=1 | B=2"), "A B");
    EXPECT_EQ(call("KUtl-TagList", "A=1 || B=2"), "B");
    EXPECT_EQ(call("KUtl-Tag", "TAG=A A=1 | TAG=B B=2"), "2");
}

TEST_F(CoreFunctionsTest, ResultReplacesWhatTheHostPassedIn) {
    const host::CallResult answer = host.call(13, "X", std::string_view("an older, longer result"));
    EXPECT_TRUE(answer.stored);
    EXPECT_EQ(answer.result, "X");
    EXPECT_TRUE(answer.clean());
}

TEST_F(CoreFunctionsTest, EmptyParameterTextRunsTheFunctionOnce) {
    EXPECT_EQ(call("KUtl-TagList", ""), "<none>");
    EXPECT_EQ(call("KUtl-Version", ""), kVersion);
}

// Messages are the catalogue's Shift-JIS texts; only the frame is checked here.
::testing::AssertionResult isErrorReply(const std::string& reply, const std::string& head, const char* tail) {
    if (reply.rfind(head + " MESSAGE='", 0) != 0) {
        return ::testing::AssertionFailure() << reply << " does not start with " << head << " MESSAGE='";
    }
    const std::string expectedTail = std::string("'") + tail;
    if (reply.size() < expectedTail.size() ||
        reply.compare(reply.size() - expectedTail.size(), std::string::npos, expectedTail) != 0) {
        return ::testing::AssertionFailure() << reply << " does not end with " << expectedTail;
    }
    return ::testing::AssertionSuccess();
}

TEST_F(CoreFunctionsTest, ErrorReplies) {
    EXPECT_TRUE(isErrorReply(call("#40", "x"), "ERROR=-50", ""));
    EXPECT_TRUE(isErrorReply(call("#-1", "x"), "ERROR=-50", ""));
    EXPECT_TRUE(isErrorReply(call("#40", "x | y"), "ERROR=-50", " ARGS=1"));
    EXPECT_TRUE(isErrorReply(call("#40", "x | \t|| "), "ERROR=-50", ""));
    // A function that fails does so visibly in the command that reached it.
    EXPECT_TRUE(isErrorReply(call("KImg-Effect", "a | b | c"), "ERROR=-50", " ARGS=1"));
}

TEST_F(CoreFunctionsTest, FailureAfterAResultGivesTheErrorReply) {
    // Allocations: the parameter buffer, the first command's scratch, the second's.
    host.memory().failAllocation(host::Allocation::kNewPointer, 3);
    EXPECT_TRUE(isErrorReply(call("KUtl-TagList", "A=1 | B=2"), "ERROR=-108", " ARGS=2"));
}

TEST_F(CoreFunctionsTest, FunctionsNeedingStateWorkAfterStartup) {
    // With the state present FindFile reaches its handler instead of the missing-state
    // code: with no search open and no criteria it refuses the call.
    EXPECT_TRUE(isErrorReply(call("KUtl-FindFile", ""), "ERROR=-50", ""));
}

class LifecycleTest : public ModuleTest {
  protected:
    LifecycleTest() { startOnSetUp = false; }

    void expectMissingStateCodes() {
        EXPECT_EQ(call("KUtl-FindFile", ""), "ERROR=9998");
        EXPECT_EQ(call("KUtl-OpenProgress", ""), "ERROR=9990");
        EXPECT_EQ(call("KUtl-UpdateProgress", ""), "ERROR=9991");
        EXPECT_EQ(call("KUtl-CloseProgress", "x | y"), "ERROR=9992 ARGS=1");
    }
};

TEST_F(LifecycleTest, StartupChecksTheInterfaceVersion) {
    EXPECT_EQ(host.startup(3), kStartupBadInterface);
    EXPECT_EQ(host.startup(256), kStartupBadInterface);
    EXPECT_EQ(host.startup(-1), kStartupBadInterface);
    expectMissingStateCodes();
    EXPECT_EQ(host.startup(4), 4);
    host.shutdown();
    EXPECT_EQ(host.startup(255), 255);
}

TEST_F(LifecycleTest, MissingStateCodesBeforeStartupAndAfterShutdown) {
    expectMissingStateCodes();
    ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion);
    host.shutdown();
    expectMissingStateCodes();
    // Functions that need no state still answer.
    EXPECT_EQ(call("KUtl-Version", ""), kVersion);
}

TEST_F(LifecycleTest, OtherCallKindsDoNothing) {
    ASSERT_EQ(host.startup(), host::kDefaultInterfaceVersion);
    for (uint8_t kind : {uint8_t{1}, uint8_t{2}, uint8_t{5}, uint8_t{9}, uint8_t{255}}) {
        SCOPED_TRACE(static_cast<int>(kind));
        const ExternCallRecord record = host.rawCall(kind);
        EXPECT_EQ(record.startupAnswer, 0);
        EXPECT_EQ(host.memory().livePointers(), 0u);
    }
    host.idle(7);
    host.preferences();
    EXPECT_EQ(call("KUtl-Version", ""), kVersion);
}

class HostMemoryFailureTest : public ModuleTest {};

TEST_F(HostMemoryFailureTest, ParameterBufferFailureNamesNoCommand) {
    host.memory().failAllocation(host::Allocation::kNewPointer);
    EXPECT_TRUE(isErrorReply(call("KUtl-Version", "A | B"), "ERROR=-108", ""));
}

TEST_F(HostMemoryFailureTest, ResultHandleFailuresAreReported) {
    host.memory().failAllocation(host::Allocation::kNewHandle);
    EXPECT_TRUE(isErrorReply(call("KUtl-Version", ""), "ERROR=-108", ""));
    host.memory().failAllocation(host::Allocation::kSetHandleSize);
    EXPECT_TRUE(isErrorReply(call("KUtl-Version", "DEBUG"), "ERROR=-108", ""));
}

TEST_F(HostMemoryFailureTest, TagListScratchFailureIsReported) {
    host.memory().failAllocation(host::Allocation::kNewPointer, 2);  // the first is the parameter buffer
    EXPECT_TRUE(isErrorReply(call("KUtl-TagList", "A=1 B=2"), "ERROR=-108", ""));
}

TEST_F(HostMemoryFailureTest, EveryCallGivesBackWhatItTook) {
    const std::string longText(5000, 'x');
    for (const char* parameter : {"", "A", "A=1 | B=2 || C", "'unterminated", "x\\", longText.c_str()}) {
        SCOPED_TRACE(parameter);
        call("KUtl-TagList", parameter);
        call("KUtl-Tag", parameter);
        call("#40", parameter);
    }
    EXPECT_EQ(host.memory().livePointers(), 0u);
    host.memory().checkGuards();
    EXPECT_EQ(host.memory().faults(), host::MemoryFaults{});
}

TEST_F(CoreFunctionsTest, FunctionNamesComeFromTheStringTable) {
    EXPECT_EQ(host.displayName(), "Korvane's FileMaker Plug-in");
    ASSERT_EQ(host.functionNames().size(), 40u);
    EXPECT_EQ(host.functionNames()[0], "KImg-Version");
    EXPECT_EQ(host.functionNames()[11], "KUtl-Version");
    EXPECT_EQ(host.functionNames()[39], "KUtl-Ask");
    for (const std::string& name : host.functionNames()) {
        EXPECT_TRUE(name.rfind("KImg-", 0) == 0 || name.rfind("KUtl-", 0) == 0) << name;
    }
}

}  // namespace
}  // namespace korvane
