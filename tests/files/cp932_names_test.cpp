// Shift-JIS names whose second bytes are backslash codes, with the ANSI code page
// 932: listed, described, renamed and written back as escaped path results.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/args.h"
#include "files/file_functions.h"
#include "platform/paths/file_ref.h"
#include "tests/files/files_fixture.h"
#include "tests/files/sjis_names.h"

namespace korvane {
namespace {

using namespace files_testing;

using test::kHyou;
using test::kSo;

class Cp932NamesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(GetACP(), 932u) << "run with the Japanese locale (wine-exec --cp932)";
        ASSERT_FALSE(temp_.path().empty());
        makeFolder(folder());
        writeFile(file(), "so");
        writeFile(folder() + "\\" + kSo + kHyou + ".txt", "inner");
    }
    std::string folder() const { return temp_ / kHyou; }
    std::string file() const { return temp_ / (kSo + ".txt"); }

    TempFolder temp_{driveRoot(kDataDrive)};
};

TEST_F(Cp932NamesTest, ListsTheNames) {
    const HandlerRun count = runHandler(withTestListing<folderItemCountHandler>, "PATH=" + quotedPath(temp_.path()));
    ASSERT_EQ(count.status, kNoErr);
    EXPECT_EQ(count.result, "2");
    std::set<std::string> items;
    for (int i = 1; i <= 2; ++i) {
        const HandlerRun item = runHandler(withTestListing<getFolderItemHandler>,
                                           "PATH=" + quotedPath(temp_.path()) + " INDEX=" + std::to_string(i));
        ASSERT_EQ(item.status, kNoErr);
        items.insert(item.result);
    }
    EXPECT_EQ(items, (std::set<std::string>{kHyou + ":", kSo + ".txt"}));
    // The folder whose name ends in a 0x5C second byte is listed as itself, not as its parent.
    EXPECT_EQ(runHandler(withTestListing<folderItemCountHandler>, "PATH=" + quotedPath(folder())).result, "1");
    EXPECT_EQ(runHandler(withTestListing<getFolderItemHandler>, "PATH=" + quotedPath(folder()) + " 1").result,
              kSo + kHyou + ".txt");
}

TEST_F(Cp932NamesTest, DescribesTheFileAndTheFolder) {
    const HandlerRun fileInfo = runHandler(withTestListing<fileInfoHandler>, "PATH=" + quotedPath(file()) + " EXTRA");
    ASSERT_EQ(fileInfo.status, kNoErr);
    const std::string text = fileInfo.result;
    EXPECT_TRUE(startsWith(text, "NAME='" + kSo + ".txt' KIND=file SIZE=2 DATASIZE=2 EXTENSION='txt'"));
    EXPECT_NE(text.find(" LOCATION='" + test::escapedText(temp_.path() + "\\") + "'"), std::string::npos) << text;
    EXPECT_NE(text.find(" PATH='" + test::escapedText(file()) + "'"), std::string::npos) << text;

    for (const std::string& given : {folder(), folder() + "\\"}) {
        SCOPED_TRACE(given);
        const HandlerRun folderInfo = runHandler(withTestListing<fileInfoHandler>, "PATH=" + quotedPath(given));
        ASSERT_EQ(folderInfo.status, kNoErr);
        EXPECT_TRUE(startsWith(folderInfo.result, "NAME='" + kHyou + "' KIND=folder ITEMCOUNT=1 LOCKED"));
    }
}

TEST_F(Cp932NamesTest, ResolvesAndWritesBackThePaths) {
    const std::string tail = temp_.path().substr(3);
    FileRef ref;
    ASSERT_EQ(resolvePath(("KorvData:" + tail + ":" + kHyou + ":" + kSo + kHyou + ".txt").c_str(), &ref), kNoErr);
    const std::string inner = folder() + "\\" + kSo + kHyou + ".txt";
    EXPECT_EQ(std::string(ref.path), inner);
    EXPECT_TRUE(ref.exists);

    test::FakeHost host;
    Call call;
    call.host = &host;
    ASSERT_EQ(writePathResult(ref, call), kNoErr);
    EXPECT_EQ(host.result, test::escapedText(inner));
    EXPECT_EQ(clipboardText(), test::escapedText(inner));
}

TEST_F(Cp932NamesTest, RenamesWithinTheSameFolder) {
    const std::string inner = folder() + "\\" + kSo + kHyou + ".txt";
    ASSERT_EQ(runHandler(setFileInfoHandler, "PATH=" + quotedPath(inner) + " NAME=" + quotedPath(kHyou + kSo + ".txt"))
                  .status,
              kNoErr);
    EXPECT_EQ(readFile(folder() + "\\" + kHyou + kSo + ".txt"), "inner");
    EXPECT_FALSE(exists(inner));
}

}  // namespace
}  // namespace korvane
