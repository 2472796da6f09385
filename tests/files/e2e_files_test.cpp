// The file functions answer through the module's function table.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "tests/support/module_host.h"

namespace korvane {
namespace {

std::string escaped(const std::string& path) {
    std::string text;
    for (char c : path) {
        text += c == '\\' ? std::string("\\\\") : std::string(1, c);
    }
    return text;
}

class FilesEndToEndTest : public test::ModuleTest {
protected:
    void SetUp() override {
        ModuleTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        folder_ = std::string(temp) + "korvane_e2e_" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        writeFile(folder_ + "\\a.txt", "12345");
        writeFile(folder_ + "\\b.txt", "");
    }
    void TearDown() override {
        DeleteFileA((folder_ + "\\a.txt").c_str());
        DeleteFileA((folder_ + "\\b.txt").c_str());
        RemoveDirectoryA(folder_.c_str());
    }
    static void writeFile(const std::string& path, const std::string& bytes) {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string pathArg() const { return "PATH='" + escaped(folder_) + "'"; }

    std::string folder_;
};

TEST_F(FilesEndToEndTest, WalkAndDescribeAFolder) {
    EXPECT_EQ(call("KUtl-FolderItemCount", pathArg()), "2");
    const std::string first = call("KUtl-GetFolderItem", pathArg() + " INDEX=1");
    const std::string second = call("KUtl-GetFolderItem", pathArg() + " INDEX=2");
    EXPECT_TRUE((first == "a.txt" && second == "b.txt") || (first == "b.txt" && second == "a.txt")) << first << second;
    EXPECT_EQ(call("KUtl-GetFolderItem", pathArg() + " INDEX=3"), "ERROR=18");

    const std::string info = call("KUtl-FileInfo", "PATH='" + escaped(folder_ + "\\a.txt") + "'");
    EXPECT_EQ(info.substr(0, info.find(" LOCKED")), "NAME='a.txt' KIND=file SIZE=5 DATASIZE=5 EXTENSION='txt'");
    EXPECT_NE(call("KUtl-VolumeCount", ""), "0");
}

TEST_F(FilesEndToEndTest, MissingItemsAreReported) {
    EXPECT_EQ(call("KUtl-FileInfo", "PATH='" + escaped(folder_ + "\\missing") + "'").rfind("ERROR=-43 ", 0), 0u);
    EXPECT_EQ(call("KUtl-FolderItemCount", "PATH='" + escaped(folder_ + "\\a.txt") + "'").rfind("ERROR=-120 ", 0),
              0u);
}

}  // namespace
}  // namespace korvane
