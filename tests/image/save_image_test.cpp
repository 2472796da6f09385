// The finish of SaveImage on a composed image: type, name, result and what a failure leaves.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "image/save_image.h"
#include "tests/image/image_files.h"
#include "tests/media/test_images.h"
#include "tests/support/handler_fixture.h"
#include "tests/support/quoted_text.h"

namespace korvane {
namespace {

Status saveOnePattern(Call& call) {
    return saveComposedImage(call, media::testing::makePattern(21, 13, media::kDepth24));
}

class SaveImageFinish : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH] = {};
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "korvane_save_" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    }
    void TearDown() override {
        for (const char* name : {"out.jpg", "out.pct", "x.png", "y.gif", "keep.tif"}) {
            DeleteFileA(path(name).c_str());
        }
        RemoveDirectoryA(folder_.c_str());
    }
    std::string path(const std::string& name) const { return folder_ + "\\" + name; }
    bool exists(const std::string& name) const {
        return GetFileAttributesA(path(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    int countFiles() const {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        int count = 0;
        if (find != INVALID_HANDLE_VALUE) {
            do {
                count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 0 : 1;
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        return count;
    }
    std::string folder_;
};

TEST_F(SaveImageFinish, TypesNamesAndResults) {
    struct Row {
        std::string parameter;
        const char* saved;
    };
    const Row rows[] = {
        {"FILETYPE=JPEG DEST=" + test::quotedPath(path("out")), "out.jpg"},
        {"FILETYPE=PICT DEST=" + test::quotedPath(path("out")), "out.pct"},
        {"EXTENSION=png FILETYPE=JPEG DEST=" + test::quotedPath(path("x")), "x.png"},
        {"FILETYPE=GIFf DEST=" + test::quotedPath(path("y")), "y.gif"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        const test::HandlerRun run = test::runHandler(saveOnePattern, row.parameter);
        ASSERT_EQ(run.status, kNoErr);
        EXPECT_EQ(run.result, test::escapedText(path(row.saved)));
        EXPECT_EQ(test::naturalSizeOf(path(row.saved)), (test::ImageSize{21, 13}));
    }
}

TEST_F(SaveImageFinish, FailuresKeepTheOldFile) {
    const std::string keep = path("keep.tif");
    HANDLE file = CreateFileA(keep.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, "old", 3, &written, nullptr);
    CloseHandle(file);
    // Not a still image, with or without a destination (no dialog is shown for it); a folder
    // that does not exist.
    EXPECT_EQ(test::runHandler(saveOnePattern, "FILETYPE=MooV DEST=" + test::quotedPath(keep)).status,
              media::kNoImporter);
    EXPECT_EQ(test::runHandler(saveOnePattern, "EXTENSION=avi").status, media::kNoImporter);
    EXPECT_NE(test::runHandler(saveOnePattern, "FILETYPE=TIFF DEST=" + test::quotedPath(path("gone\\a.tif"))).status,
              kNoErr);
    EXPECT_EQ(countFiles(), 1) << "no temporary file left";
    HANDLE again = CreateFileA(keep.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    char bytes[8] = {};
    ReadFile(again, bytes, sizeof bytes, &written, nullptr);
    CloseHandle(again);
    EXPECT_EQ(std::string(bytes, written), "old");
    // A complete export replaces it.
    EXPECT_EQ(test::runHandler(saveOnePattern, "FILETYPE=TIFF DEST=" + test::quotedPath(keep)).status, kNoErr);
    EXPECT_EQ(countFiles(), 1);
}

}  // namespace
}  // namespace korvane
