// The host emulator driving the tests' stand-in module: the record as a module sees it,
// results, memory accounting, failure injection, windows, pixels and the clipboard.

#include "host/host.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "tests/host/test_paths.h"

namespace korvane::host {
namespace {

enum StandinFunction : int32_t {
    kEcho = 0,
    kLeak = 1,
    kRecord = 2,
    kWindow = 3,
    kLastError = 4,
    kLockedGrowth = 5,
    kNothing = 6,
    kDraw = 7,
    kClipText = 8,
    kClipPicture = 9,
    kOverrun = 10,
    kLog = 11,
    kKeepLocked = 12,
    kDisposeTwice = 13,
};

constexpr uint32_t kRed = 0xFF0000;
constexpr uint32_t kWhite = 0xFFFFFF;

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t le32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) {
        value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    }
    return value;
}

class HostTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(host.load(testing::standinModule())) << host.error(); }
    Host host;
};

TEST_F(HostTest, ReadsDisplayNameAndFunctionNamesFromTheStringTable) {
    EXPECT_EQ(host.displayName(), "Stand-in Module");
    ASSERT_EQ(host.functionNames().size(), 40u);
    EXPECT_EQ(host.functionNames()[0], "SIn-Echo");
    EXPECT_EQ(host.functionNames()[13], "SIn-DisposeTwice");
    EXPECT_EQ(host.functionNames()[39], "");
}

TEST_F(HostTest, FindsFunctionsByNameOrNumber) {
    struct Row {
        const char* name;
        std::optional<int32_t> number;
    };
    const Row rows[] = {
        {"SIn-Echo", 0},
        {"sin-ECHO", 0},
        {"SIn-Log", 11},
        {"#40", 40},
        {"#-1", -1},
        {"#0", 0},
        {"#", std::nullopt},
        {"#1x", std::nullopt},
        {"#99999999999", std::nullopt},
        {"", std::nullopt},
        {"SIn-Echo ", std::nullopt},
        {"Nope", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(host.findFunction(row.name), row.number);
    }
}

TEST_F(HostTest, ModuleSeesTheRecordAtItsOffsets) {
    EXPECT_EQ(host.startup(42), 42);
    CallResult plain = host.call(kRecord, "abcd");
    EXPECT_EQ(plain.result, "version=42 kind=3 fn=2 param=4 instance=1 result=null");
    CallResult withPrevious = host.call(kRecord, "", std::string_view("old"));
    EXPECT_EQ(withPrevious.result, "version=42 kind=3 fn=2 param=0 instance=1 result=set");
    EXPECT_EQ(host.startup(3), -1) << "the start-up answer is read from offset 24";
}

TEST_F(HostTest, EveryKindOfCallReachesTheModule) {
    host.startup();
    host.idle(7);
    host.preferences();
    host.rawCall(kCallIgnored);
    host.rawCall(9);
    host.shutdown();
    EXPECT_EQ(host.call(kLog, "").result, "S11 I7 P K2 K9 D");
}

TEST_F(HostTest, ParameterBytesComeBackUnchanged) {
    const std::string rows[] = {"", "abc", std::string("a\0b", 3), "\x83\x65\x83\x58\x83\x67\x5C", "line\r\nnext"};
    for (const std::string& text : rows) {
        SCOPED_TRACE(::testing::PrintToString(text));
        CallResult result = host.call(kEcho, text);
        EXPECT_TRUE(result.stored);
        EXPECT_EQ(result.result, text);
        EXPECT_TRUE(result.clean());
    }
    EXPECT_EQ(host.memory().liveHandles(), 0u) << "the host disposes the parameter and the result";
}

TEST_F(HostTest, PreviousResultIsReplacedOrKept) {
    CallResult replaced = host.call(kEcho, "new", std::string_view("older text"));
    EXPECT_TRUE(replaced.stored);
    EXPECT_EQ(replaced.result, "new");
    CallResult kept = host.call(kNothing, "x", std::string_view("older text"));
    EXPECT_FALSE(kept.stored);
    EXPECT_EQ(kept.result, "older text");
    CallResult none = host.call(kNothing, "x");
    EXPECT_FALSE(none.stored);
    EXPECT_EQ(none.result, "");
    EXPECT_TRUE(none.clean());
    EXPECT_EQ(host.memory().liveHandles(), 0u);
}

TEST_F(HostTest, CountsWhatACallDidNotGiveBack) {
    CallResult leak = host.call(kLeak, "");
    EXPECT_EQ(leak.leakedPointers, 1);
    EXPECT_FALSE(leak.clean());
    EXPECT_TRUE(host.call(kEcho, "x").clean()) << "a leak is counted against its own call only";
    CallResult keptLocked = host.call(kKeepLocked, "p");
    EXPECT_TRUE(keptLocked.parameterLocked);
    EXPECT_FALSE(keptLocked.clean());
}

TEST_F(HostTest, SeesWritesPastABlockAndDoubleDisposal) {
    CallResult overrun = host.call(kOverrun, "");
    EXPECT_EQ(overrun.faults.overruns, 1);
    EXPECT_FALSE(overrun.clean());
    CallResult twice = host.call(kDisposeTwice, "");
    EXPECT_EQ(twice.faults.badPointers, 1);
    EXPECT_FALSE(twice.clean());
    EXPECT_EQ(host.memory().faults().overruns, 1);
    EXPECT_TRUE(host.call(kEcho, "").clean()) << "faults are counted against their own call";
}

TEST_F(HostTest, LockedResultCannotGrowUnlockedOneMoves) {
    EXPECT_EQ(host.call(kLockedGrowth, "").result, "locked=-117 unlocked=0 moved=1");
}

TEST_F(HostTest, InjectedFailuresReachTheModulesErrorPaths) {
    struct Row {
        Allocation kind;
        bool stored;
        const char* result;
    };
    const Row rows[] = {
        {Allocation::kNewPointer, true, "ERROR=-108"},  // no parameter buffer: an error reply
        {Allocation::kNewHandle, false, ""},            // no result handle at all
        {Allocation::kSetHandleSize, true, ""},         // a result handle that could not grow
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        host.call(kEcho, "reset");  // sets no error
        host.memory().failAllocation(rows[i].kind);
        CallResult result = host.call(kEcho, "text");
        EXPECT_EQ(result.stored, rows[i].stored);
        EXPECT_EQ(result.result, rows[i].result);
        EXPECT_TRUE(result.clean());
        EXPECT_EQ(result.faults.injectedFailures, 1);
        EXPECT_EQ(host.call(kLastError, "").result, "-108");
        EXPECT_EQ(host.call(kEcho, "again").result, "again") << "only one allocation fails";
    }
}

TEST_F(HostTest, ModuleFindsTheFrontDocumentWindow) {
    char expected[32];
    std::snprintf(expected, sizeof expected, "%08lX",
                  static_cast<unsigned long>(reinterpret_cast<uintptr_t>(host.documentWindow())));
    ASSERT_NE(host.documentWindow(), nullptr);
    EXPECT_EQ(host.call(kWindow, "").result, expected);
    EXPECT_EQ(GetActiveWindow(), host.frameWindow());
}

TEST_F(HostTest, ScreenshotShowsWhatTheModuleDrew) {
    EXPECT_FALSE(host.openWindow(0, 200));
    ASSERT_TRUE(host.openWindow(320, 200));
    EXPECT_EQ(host.call(kDraw, "").result, "drawn");
    Pixels pixels = host.screenshot();
    ASSERT_EQ(pixels.width, 320);
    ASSERT_EQ(pixels.height, 200);
    EXPECT_EQ(pixels.at(10, 10), kRed);
    EXPECT_EQ(pixels.at(49, 39), kRed);
    EXPECT_EQ(pixels.at(50, 40), kWhite);
    EXPECT_EQ(pixels.at(5, 5), kWhite);

    const std::string path = testing::besideTest("host_test_screenshot.bmp");
    ASSERT_TRUE(host.saveScreenshot(path));
    const std::string file = readFile(path);
    std::remove(path.c_str());
    ASSERT_EQ(file.size(), 54u + 320 * 3 * 200);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(le32(file, 18), 320u);
    EXPECT_EQ(le32(file, 22), 200u);
    // Bottom-up rows: pixel (10, 10) is in row 200 - 1 - 10 of the file, as blue, green, red.
    const size_t at = 54 + (200 - 1 - 10) * 320 * 3 + 10 * 3;
    EXPECT_EQ(file.substr(at, 3), std::string("\x00\x00\xFF", 3));
}

TEST_F(HostTest, ClipboardGoesOutAsTextOrPicture) {
    const std::string path = testing::besideTest("host_test_clipboard.out");
    host.call(kClipText, "\x83\x65\x83\x58\x83\x67 text");
    EXPECT_EQ(host.saveClipboard(path), ClipboardContent::kText);
    EXPECT_EQ(readFile(path), "\x83\x65\x83\x58\x83\x67 text");

    host.call(kClipPicture, "");
    EXPECT_EQ(host.saveClipboard(path), ClipboardContent::kPicture);
    const std::string file = readFile(path);
    std::remove(path.c_str());
    ASSERT_EQ(file.size(), 14u + 40 + 8);
    EXPECT_EQ(file.substr(0, 2), "BM");
    EXPECT_EQ(le32(file, 2), file.size());
    EXPECT_EQ(le32(file, 10), 54u) << "pixels follow the headers";
    EXPECT_EQ(file.substr(54, 6), std::string("\x00\x00\xFF\xFF\x00\x00", 6));
}

TEST(HostLoad, RefusesModulesItCannotCall) {
    Host host;
    EXPECT_FALSE(host.load(testing::besideTest("no_such_module.fmx")));
    EXPECT_NE(host.error().find("cannot load"), std::string::npos) << host.error();
    EXPECT_FALSE(host.load(testing::besideTest("decorated_module.fmx")));
    EXPECT_NE(host.error().find("only the decorated"), std::string::npos) << host.error();
    EXPECT_FALSE(host.loaded());
    EXPECT_EQ(host.startup(), 0) << "no module, no call";
}

}  // namespace
}  // namespace korvane::host
