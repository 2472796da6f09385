// KUtl-CopyFile, KUtl-MoveFile, KUtl-NewFolder and KUtl-DeleteFile from their
// parameter texts, on real files: argument checks, statuses and what is on disk.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "files/file_ops.h"
#include "tests/files/sjis_names.h"
#include "tests/files/temp_folder.h"
#include "tests/support/code_page.h"
#include "tests/support/handler_fixture.h"

namespace korvane {
namespace {

using test::kHyou;
using test::kSo;

class FileOpsHandlerTest : public test::TempFolderTest {
  protected:
    // Runs the handler once per command while the status stays 0; these functions set no result.
    Status run(Handler handler, const std::string& text) {
        test::HandlerRun run = test::runHandler(handler, text);
        EXPECT_FALSE(run.stored) << text;
        return run.status;
    }
    std::string arg(const char* name, const std::string& relative) {
        return std::string(name) + "=" + test::quotedPath(at(relative));
    }
};

TEST_F(FileOpsHandlerTest, MissingOrEmptyArgumentsAnswerParamErr) {
    writeFile("a.txt", "alpha");
    makeFolder("d");
    struct Row {
        Handler handler;
        std::string text;
    };
    const Row rows[] = {
        {copyFileHandler, arg("DEST", "d")},
        {copyFileHandler, arg("SRC", "a.txt")},
        {copyFileHandler, "SRC= " + arg("DEST", "d")},
        {moveFileHandler, arg("SRC", "a.txt") + " DEST="},
        {moveFileHandler, arg("PATH", "a.txt")},
        {deleteFileHandler, ""},
        {deleteFileHandler, "PATH="},
        {deleteFileHandler, arg("SRC", "a.txt")},
        {newFolderHandler, "NAME=x"},
        {newFolderHandler, "PATH= NAME=x"},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i << ": " << rows[i].text);
        EXPECT_EQ(run(rows[i].handler, rows[i].text), kParamErr);
    }
    EXPECT_EQ(readFile("a.txt"), "alpha");
    EXPECT_EQ(snapshot("d").size(), 0u);
}

TEST_F(FileOpsHandlerTest, AMissingSourceAnswersFileNotFound) {
    makeFolder("d");
    EXPECT_EQ(run(copyFileHandler, arg("SRC", "none.txt") + " " + arg("DEST", "d")), kFileNotFound);
    EXPECT_EQ(run(moveFileHandler, arg("PATH", "none") + " " + arg("DEST", "d")), kFileNotFound);
    EXPECT_EQ(run(deleteFileHandler, arg("PATH", "none")), kFileNotFound);
}

TEST_F(FileOpsHandlerTest, CopyIntoAFolderThenFailsWithTheSystemCodeAndKeepsTheCopy) {
    writeFile("a.txt", "alpha");
    makeFolder("d");
    std::string text = arg("SRC", "a.txt") + " " + arg("DEST", "d\\");
    EXPECT_EQ(run(copyFileHandler, text), kNoErr);
    EXPECT_EQ(readFile("d\\a.txt"), "alpha");
    ASSERT_TRUE(DeleteFileA(at("a.txt").c_str()));
    writeFile("a.txt", "changed");
    EXPECT_EQ(run(copyFileHandler, text), ERROR_FILE_EXISTS);
    EXPECT_EQ(readFile("d\\a.txt"), "alpha");
}

TEST_F(FileOpsHandlerTest, PathStandsInForSrcAndMoveRenames) {
    writeFile("a.txt", "alpha");
    EXPECT_EQ(run(copyFileHandler, arg("PATH", "a.txt") + " " + arg("DEST", "b.txt")), kNoErr);
    EXPECT_EQ(run(moveFileHandler, arg("SRC", "b.txt") + " " + arg("DEST", "c.txt")), kNoErr);
    EXPECT_FALSE(exists("b.txt"));
    EXPECT_EQ(readFile("c.txt"), "alpha");
    EXPECT_EQ(run(moveFileHandler, arg("SRC", "a.txt") + " " + arg("DEST", "c.txt")), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(readFile("a.txt"), "alpha");
}

TEST_F(FileOpsHandlerTest, FolderTreesAreCopiedMovedAndDeleted) {
    makeFolder("src");
    writeFile("src\\a.txt", "alpha");
    makeFolder("src\\sub");
    writeFile("src\\sub\\b.txt", "bravo");
    makeFolder("dst");
    makeFolder("moved");
    EXPECT_EQ(run(copyFileHandler, arg("SRC", "src") + " " + arg("DEST", "dst")), kNoErr);
    EXPECT_EQ(readFile("dst\\src\\sub\\b.txt"), "bravo");
    EXPECT_EQ(run(copyFileHandler, arg("SRC", "src") + " " + arg("DEST", "dst")), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(run(moveFileHandler, arg("SRC", "src") + " " + arg("DEST", "moved")), kNoErr);
    EXPECT_FALSE(exists("src"));
    EXPECT_EQ(readFile("moved\\src\\a.txt"), "alpha");
    EXPECT_EQ(run(deleteFileHandler, arg("PATH", "moved\\src")), kNoErr);
    EXPECT_FALSE(exists("moved\\src"));
    EXPECT_TRUE(exists("moved"));
}

TEST_F(FileOpsHandlerTest, NewFolderStatuses) {
    makeFolder("x");
    writeFile("file", "f");
    struct Row {
        std::string text;
        Status status;
        const char* created;
    };
    const Row rows[] = {
        {arg("PATH", "x") + " NAME=y", kNoErr, "x\\y"},
        {arg("PATH", "x\\z"), kNoErr, "x\\z"},
        {arg("PATH", "x"), kDuplicateName, nullptr},
        {arg("PATH", "x") + " NAME=y", ERROR_ALREADY_EXISTS, nullptr},
        {arg("PATH", "file") + " NAME=y", kNotAFolder, nullptr},
        {arg("PATH", "none") + " NAME=y", kNotAFolder, nullptr},
        {arg("PATH", "none\\z"), ERROR_PATH_NOT_FOUND, nullptr},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(::testing::Message() << "row " << i << ": " << rows[i].text);
        EXPECT_EQ(run(newFolderHandler, rows[i].text), rows[i].status);
        if (rows[i].created != nullptr) {
            EXPECT_EQ(GetFileAttributesA(at(rows[i].created).c_str()) & FILE_ATTRIBUTE_DIRECTORY,
                      static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
        }
    }
    EXPECT_FALSE(exists("none"));
    EXPECT_EQ(readFile("file"), "f");
}

TEST_F(FileOpsHandlerTest, EachCommandRunsUntilOneFails) {
    writeFile("a.txt", "alpha");
    writeFile("b.txt", "bravo");
    writeFile("c.txt", "charlie");
    setReadOnly("b.txt");
    std::string text = arg("PATH", "a.txt") + " | " + arg("PATH", "b.txt") + " | " + arg("PATH", "c.txt");
    EXPECT_EQ(run(deleteFileHandler, text), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(exists("a.txt"));
    EXPECT_EQ(readFile("b.txt"), "bravo");
    EXPECT_EQ(readFile("c.txt"), "charlie");
}

// 表 and ソ end in the backslash code: the parameter text, path resolution and the
// walk must all take them as characters.
TEST_F(FileOpsHandlerTest, ShiftJisNamesWithBackslashSecondBytes) {
    KORVANE_REQUIRE_CODE_PAGE_932();
    makeFolder(kHyou);
    writeFile(kHyou + "\\" + kSo + ".txt", "sjis");
    EXPECT_EQ(run(newFolderHandler, arg("PATH", "") + " NAME=" + kSo), kNoErr);
    EXPECT_EQ(run(copyFileHandler, arg("SRC", kHyou) + " " + arg("DEST", kSo)), kNoErr);
    EXPECT_EQ(readFile(kSo + "\\" + kHyou + "\\" + kSo + ".txt"), "sjis");
    EXPECT_EQ(run(moveFileHandler, arg("SRC", kHyou + "\\" + kSo + ".txt") + " " + arg("DEST", kSo + "\\")), kNoErr);
    EXPECT_EQ(readFile(kSo + "\\" + kSo + ".txt"), "sjis");
    EXPECT_EQ(run(deleteFileHandler, arg("PATH", kSo)), kNoErr);
    EXPECT_FALSE(exists(kSo));
    EXPECT_TRUE(exists(kHyou));
}

}  // namespace
}  // namespace korvane
