// The four file functions end to end: host emulator, call record, FMExternCallProc,
// real files. Success stores no result; a failure is the error reply.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "core/status.h"
#include "tests/files/temp_folder.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

::testing::AssertionResult isError(const std::string& reply, int status) {
    std::string head = "ERROR=" + std::to_string(status);
    if (reply == head || reply.rfind(head + " ", 0) == 0) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << reply << " is not the error reply for " << status;
}

class FileOpsEndToEndTest : public test::ModuleTest, protected test::TempFolderItems {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folderMade()) << "no temporary folder";
        ModuleTest::SetUp();
    }

    std::string arg(const char* name, const std::string& relative) {
        return std::string(name) + "=" + test::quotedPath(at(relative));
    }
};

TEST_F(FileOpsEndToEndTest, CopyMoveNewFolderAndDeleteOnRealFiles) {
    writeFile("a.txt", "alpha");
    EXPECT_EQ(call("KUtl-NewFolder", arg("PATH", "") + " NAME=d"), "<none>");
    EXPECT_EQ(call("KUtl-NewFolder", arg("PATH", "m")), "<none>");
    EXPECT_EQ(call("KUtl-CopyFile", arg("SRC", "a.txt") + " " + arg("DEST", "d\\")), "<none>");
    EXPECT_EQ(readFile("d\\a.txt"), "alpha");
    EXPECT_TRUE(isError(call("KUtl-CopyFile", arg("SRC", "a.txt") + " " + arg("DEST", "d\\")), ERROR_FILE_EXISTS));
    EXPECT_EQ(call("KUtl-MoveFile", arg("SRC", "d") + " " + arg("DEST", "m")), "<none>");
    EXPECT_FALSE(exists("d"));
    EXPECT_EQ(readFile("m\\d\\a.txt"), "alpha");
    EXPECT_EQ(call("KUtl-DeleteFile", arg("PATH", "m")), "<none>");
    EXPECT_FALSE(exists("m"));
    EXPECT_EQ(readFile("a.txt"), "alpha");
}

TEST_F(FileOpsEndToEndTest, StatusesOfTheFourFunctions) {
    writeFile("a.txt", "alpha");
    writeFile("b.txt", "bravo");
    makeFolder("x");
    setReadOnly("a.txt");
    struct Row {
        const char* function;
        std::string parameter;
        int status;
    };
    const Row rows[] = {
        {"KUtl-CopyFile", arg("DEST", "x"), kParamErr},
        {"KUtl-CopyFile", arg("SRC", "none") + " " + arg("DEST", "x"), kFileNotFound},
        {"KUtl-MoveFile", arg("SRC", "b.txt") + " " + arg("DEST", "a.txt"), ERROR_ALREADY_EXISTS},
        {"KUtl-NewFolder", arg("PATH", "x"), kDuplicateName},
        {"KUtl-NewFolder", arg("PATH", "a.txt") + " NAME=y", kNotAFolder},
        {"KUtl-NewFolder", arg("PATH", "x") + " NAME=y | " + arg("PATH", "x") + " NAME=y", ERROR_ALREADY_EXISTS},
        {"KUtl-DeleteFile", arg("PATH", "a.txt"), ERROR_ACCESS_DENIED},
        {"KUtl-DeleteFile", "PATH=", kParamErr},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i << ": " << rows[i].function << " " << rows[i].parameter);
        EXPECT_TRUE(isError(call(rows[i].function, rows[i].parameter), rows[i].status));
    }
    EXPECT_EQ(readFile("a.txt"), "alpha");
    EXPECT_EQ(readFile("b.txt"), "bravo");
    EXPECT_TRUE(exists("x\\y"));
}

}  // namespace
}  // namespace korvane
