// What a hostile caller tried on the file functions, end to end through the host emulator:
// a new folder's name that climbs out of its folder, a rename that would only half succeed,
// a delete the system reports done while the item stays, and a folder copied or moved into
// itself through another name for it.

#include <windows.h>

#include <winioctl.h>

#include <gtest/gtest.h>

#include <string>

#include "core/status.h"
#include "platform/win32/raii.h"
#include "tests/files/temp_folder.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

constexpr int kFileNameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE

std::string errorOf(int status) {
    return "ERROR=" + std::to_string(status);
}

bool isError(const std::string& reply, int status) {
    return reply == errorOf(status) || reply.starts_with(errorOf(status) + " ");
}

class FileSafetyTest : public test::ModuleTest, protected test::TempFolderItems {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folderMade()) << "no temporary folder";
        ModuleTest::SetUp();
    }

    std::string arg(const char* name, const std::string& relative) const {
        return std::string(name) + "=" + test::quotedPath(at(relative));
    }
};

TEST_F(FileSafetyTest, NewFolderNameStaysInsideItsFolder) {
    makeFolder("p");
    makeFolder("p\\q");
    for (const char* name : {"..\\x", "..\\..\\y", "a\\b", "a/b", "C:z", "..", "."}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(isError(call("KUtl-NewFolder", arg("PATH", "p\\q") + " NAME=" + test::quotedPath(name)), kBadName));
    }
    EXPECT_FALSE(exists("p\\x"));
    EXPECT_FALSE(exists("y"));
    EXPECT_FALSE(exists("p\\q\\a"));
    EXPECT_EQ(snapshot("p"), (std::map<std::string, std::string>{{"p\\q", test::kFolderMark}}));
    // A plain name is still made.
    EXPECT_EQ(call("KUtl-NewFolder", arg("PATH", "p\\q") + " NAME=ok"), "<none>");
    EXPECT_TRUE(exists("p\\q\\ok"));
}

TEST_F(FileSafetyTest, OverlongNewNameChangesNothing) {
    writeFile("a.txt", "alpha");
    const std::string longName(255, 'n');
    ASSERT_GE(at(longName).size(), size_t{MAX_PATH});
    EXPECT_TRUE(isError(call("KUtl-SetFileInfo", arg("PATH", "a.txt") + " NAME=" + longName + " LOCKED=yes"),
                        kFileNameTooLong));
    EXPECT_EQ(readFile("a.txt"), "alpha");
    EXPECT_EQ(test::attributesOf(at("a.txt")) & FILE_ATTRIBUTE_READONLY, 0u);
}

TEST_F(FileSafetyTest, DeleteAnswersSuccessOnlyWhenTheItemIsGone) {
    writeFile("open.txt", "kept open");
    // Another program holds the file open, sharing delete: the system accepts the delete but
    // the file stays until that program closes it.
    win32::unique_hfile other(CreateFileA(at("open.txt").c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(other.valid());
    const std::string reply = call("KUtl-DeleteFile", arg("PATH", "open.txt"));
    if (exists("open.txt")) {
        EXPECT_TRUE(isError(reply, ERROR_ACCESS_DENIED)) << reply;
    } else {
        EXPECT_EQ(reply, "<none>");  // a system that removes it at once
    }
    other.reset();
    writeFile("plain.txt", "x");
    EXPECT_EQ(call("KUtl-DeleteFile", arg("PATH", "plain.txt")), "<none>");
    EXPECT_FALSE(exists("plain.txt"));
}

// The files prefix names one folder three ways: T:\linked-src, the drive L:\ mapped onto it
// and T:\linked-lnk, a symbolic link to it (tests/files/setup_drives.sh).
class FolderIntoItselfTest : public test::ModuleTest {
  protected:
    void SetUp() override {
        if (GetFileAttributesA("L:\\") == INVALID_FILE_ATTRIBUTES) {
            GTEST_SKIP() << "runs in the files prefix, where L: is set up";
        }
        test::removeTree(kSource);
        test::makeFolder(kSource);
        test::makeFolder(std::string(kSource) + "\\sub");
        test::writeFile(std::string(kSource) + "\\sub\\a.txt", "alpha");
        ModuleTest::SetUp();
    }
    void TearDown() override {
        test::removeTree(kSource);
        test::makeFolder(kSource);
    }

    static std::map<std::string, std::string> sourceSnapshot() {
        std::map<std::string, std::string> items;
        WIN32_FIND_DATAA entry;
        const std::string folder = std::string(kSource) + "\\";
        HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) {
            return items;
        }
        do {
            items[entry.cFileName] = (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? test::kFolderMark : "";
        } while (FindNextFileA(find, &entry));
        FindClose(find);
        return items;
    }

    static constexpr char kSource[] = "T:\\linked-src";
};

TEST_F(FolderIntoItselfTest, RefusedThroughAnotherNameTouchingNothing) {
    const auto before = sourceSnapshot();
    ASSERT_EQ(before.size(), 3u);  // ".", ".." and sub
    struct Row {
        const char* function;
        const char* destination;
    };
    const Row rows[] = {
        {"KUtl-CopyFile", "L:\\"},      {"KUtl-CopyFile", "L:\\sub"},        {"KUtl-MoveFile", "L:\\"},
        {"KUtl-MoveFile", "L:\\sub\\"}, {"KUtl-CopyFile", "T:\\linked-lnk"}, {"KUtl-MoveFile", "T:\\linked-lnk\\sub"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.function << " into " << row.destination);
        const std::string reply =
            call(row.function, "SRC=" + test::quotedPath(kSource) + " DEST=" + test::quotedPath(row.destination));
        EXPECT_TRUE(isError(reply, kParamErr)) << reply;
        EXPECT_EQ(sourceSnapshot(), before);
        EXPECT_EQ(test::readFile(std::string(kSource) + "\\sub\\a.txt"), "alpha");
    }
    // A real other folder on the same drive is still a fine destination.
    test::makeFolder("T:\\linked-src-other");
    EXPECT_EQ(
        call("KUtl-CopyFile", "SRC=" + test::quotedPath(kSource) + " DEST=" + test::quotedPath("T:\\linked-src-other")),
        "<none>");
    EXPECT_EQ(test::readFile("T:\\linked-src-other\\linked-src\\sub\\a.txt"), "alpha");
    test::removeTree("T:\\linked-src-other");
}

}  // namespace
}  // namespace korvane
