// The file functions answer through the module's function table.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/files/temp_folder.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

class FilesEndToEndTest : public test::ModuleTest {
  protected:
    void SetUp() override {
        ModuleTest::SetUp();
        ASSERT_FALSE(folder_.path().empty());
        test::writeFile(folder_ / "a.txt", "12345");
        test::writeFile(folder_ / "b.txt", "");
    }
    static std::string pathArg(const std::string& path) { return "PATH=" + test::quotedPath(path); }

    test::TempFolder folder_;
};

TEST_F(FilesEndToEndTest, WalkAndDescribeAFolder) {
    EXPECT_EQ(call("KUtl-FolderItemCount", pathArg(folder_.path())), "2");
    const std::string first = call("KUtl-GetFolderItem", pathArg(folder_.path()) + " INDEX=1");
    const std::string second = call("KUtl-GetFolderItem", pathArg(folder_.path()) + " INDEX=2");
    EXPECT_TRUE((first == "a.txt" && second == "b.txt") || (first == "b.txt" && second == "a.txt")) << first << second;
    EXPECT_EQ(call("KUtl-GetFolderItem", pathArg(folder_.path()) + " INDEX=3"), "ERROR=18");

    const std::string info = call("KUtl-FileInfo", pathArg(folder_ / "a.txt"));
    EXPECT_EQ(info.substr(0, info.find(" LOCKED")), "NAME='a.txt' KIND=file SIZE=5 DATASIZE=5 EXTENSION='txt'");
    EXPECT_NE(call("KUtl-VolumeCount", ""), "0");
}

TEST_F(FilesEndToEndTest, MissingItemsAreReported) {
    EXPECT_EQ(call("KUtl-FileInfo", pathArg(folder_ / "missing")).rfind("ERROR=-43 ", 0), 0u);
    EXPECT_EQ(call("KUtl-FolderItemCount", pathArg(folder_ / "a.txt")).rfind("ERROR=-120 ", 0), 0u);
}

}  // namespace
}  // namespace korvane
