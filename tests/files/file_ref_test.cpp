// Path resolution, volume labels and path results on real files under Wine.

#include "platform/paths/file_ref.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/files/files_fixture.h"

namespace korvane {
namespace {

using namespace files_testing;

// Runs `body` with `folder` as the process's current folder.
template <typename Body>
void inFolder(const std::string& folder, Body body) {
    char previous[MAX_PATH + 1];
    GetCurrentDirectoryA(sizeof previous, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    body();
    SetCurrentDirectoryA(previous);
}

TEST(ResolvePathTest, ResolvesEachConventionToAnAbsolutePath) {
    TempFolder temp(driveRoot(kDataDrive));
    ASSERT_FALSE(temp.path().empty());
    const std::string sub = temp / "sub";
    makeFolder(sub);
    writeFile(sub + "\\f.txt", "x");
    const std::string tail = temp.path().substr(3);  // the part after the drive root

    struct Row {
        std::string text;
        std::string path;
        bool exists;
        bool isFolder;
    };
    const Row rows[] = {
        {"T:", "T:\\", true, true},
        {"t:" + tail + ":sub:f.txt", "t:\\" + tail + "\\sub\\f.txt", true, false},
        {"T:\\" + tail + "\\sub", "T:\\" + tail + "\\sub", true, true},
        {"KORVDATA:" + tail + ":sub", "T:\\" + tail + "\\sub", true, true},
        {"korvdata:", "T:\\", true, true},
        {std::string(kServer) + "::" + kShare, "\\\\korvsrv\\share\\", true, true},
        {std::string(kServer) + "@zone::" + kShare + ":missing.txt", "\\\\korvsrv\\share\\missing.txt", false, false},
        // A copy destination that does not exist yet keeps its absolute path.
        {"T:\\" + tail + "\\new.txt", "T:\\" + tail + "\\new.txt", false, false},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE("row " + std::to_string(i) + ": " + rows[i].text);
        FileRef ref;
        ASSERT_EQ(resolvePath(rows[i].text.c_str(), &ref), kNoErr);
        EXPECT_STRCASEEQ(ref.path, rows[i].path.c_str());
        EXPECT_EQ(ref.exists, rows[i].exists);
        EXPECT_EQ(ref.isFolder, rows[i].isFolder);
    }
}

TEST(ResolvePathTest, ResolvesRelativeNamesInTheCurrentFolder) {
    TempFolder temp;
    writeFile(temp / "a.txt", "x");
    makeFolder(temp / "sub");
    inFolder(temp.path(), [&] {
        FileRef ref;
        ASSERT_EQ(resolvePath("a.txt", &ref), kNoErr);
        EXPECT_EQ(std::string(ref.path), temp / "a.txt");
        EXPECT_TRUE(ref.exists);
        EXPECT_FALSE(ref.isFolder);
        ASSERT_EQ(resolvePath("sub\\..\\sub", &ref), kNoErr);
        EXPECT_EQ(std::string(ref.path), temp / "sub");
        EXPECT_TRUE(ref.isFolder);
    });
}

TEST(ResolvePathTest, RefusesWhatHasNoSoundResolution) {
    const std::string tooLong = "C:\\" + std::string(260, 'a');
    const std::string rows[] = {":x", "NoSuchLabel:dir", "@zone::share", tooLong, ""};
    for (const std::string& text : rows) {
        SCOPED_TRACE(text);
        FileRef ref;
        std::strcpy(ref.path, "sentinel");
        EXPECT_EQ(resolvePath(text.c_str(), &ref), kParamErr);
        EXPECT_STREQ(ref.path, "sentinel");
    }
    // A relative name that becomes too long in the current folder is refused too.
    TempFolder temp;
    inFolder(temp.path(), [] {
        FileRef ref;
        EXPECT_EQ(resolvePath(std::string(250, 'b').c_str(), &ref), kParamErr);
    });
}

TEST(FindVolumeRootTest, FindsLabelsWithoutRegardToCase) {
    char root[256];
    ASSERT_TRUE(findVolumeRoot("korvdata", root, sizeof root));
    EXPECT_STREQ(root, "T:\\");
    ASSERT_TRUE(findVolumeRoot(kDataLabel, root, sizeof root));
    EXPECT_STREQ(root, "T:\\");
    EXPECT_FALSE(findVolumeRoot("NoSuchLabel", root, sizeof root));
    EXPECT_FALSE(findVolumeRoot("", root, sizeof root));
    ASSERT_TRUE(findVolumeRoot("srv::share:", root, sizeof root));
    EXPECT_STREQ(root, "\\\\srv\\share");
    char tiny[3];
    EXPECT_FALSE(findVolumeRoot("korvdata", tiny, sizeof tiny));
}

TEST(WritePathResultTest, AnswersAndCopiesThePathInTheOutputConvention) {
    struct Row {
        std::string path;
        std::string text;
    };
    const Row rows[] = {
        {"C:\\a\\b.txt", "C:\\\\a\\\\b.txt"},
        {"\\\\srv\\share\\a.txt", "srv::share:a.txt"},
        {"C:\\It's", "C:\\\\It\\'s"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        test::FakeHost host;
        Call call;
        call.host = &host;
        FileRef ref;
        std::strcpy(ref.path, row.path.c_str());
        ASSERT_EQ(writePathResult(ref, call), kNoErr);
        EXPECT_EQ(host.result, row.text);
        EXPECT_EQ(clipboardText(), row.text);
    }
}

}  // namespace
}  // namespace korvane
