// KImg-ImageInfo the way FileMaker Pro calls it: through the host emulator, the call record
// and the module's entry point. One image sits in a folder with a Shift-JIS name whose second
// byte is a backslash code; that case runs when the program runs with code page 932.

#include <windows.h>

#include <gtest/gtest.h>

#include "tests/image/clipboard_support.h"
#include "tests/image/image_corpus.h"
#include "tests/media/test_images.h"
#include "tests/support/code_page.h"
#include "tests/support/module_host.h"

namespace korvane::image_testing {
namespace {

using ImageInfoEndToEnd = test::ModuleTest;

constexpr char kInfo[] = "KImg-ImageInfo";

TEST_F(ImageInfoEndToEnd, AnswersForFilesAndPages) {
    EXPECT_EQ(call(kInfo, "PATH=" + quotedPath(corpusPath("rgb640.bmp"))),
              "WIDTH=640 HEIGHT=480 DEPTH=32 RESOLUTION=72");
    EXPECT_EQ(call(kInfo, "SRC=" + quotedPath(corpusPath("dpi300x150.png"))),
              "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150");
    EXPECT_EQ(call(kInfo, "PATH=" + quotedPath(corpusPath("pages.tif")) + " PAGE=2"),
              "WIDTH=40 HEIGHT=30 DEPTH=32 RESOLUTION=72 PAGECOUNT=2");
    // One command per image.
    EXPECT_EQ(
        call(kInfo, "PATH=" + quotedPath(corpusPath("palette.gif")) + " | PATH=" + quotedPath(corpusPath("grey8.png"))),
        "WIDTH=30 HEIGHT=20 DEPTH=8 RESOLUTION=72");
}

TEST_F(ImageInfoEndToEnd, ReportsFailuresAsErrors) {
    EXPECT_TRUE(call(kInfo, "PATH=" + quotedPath(corpusFolder() + "\\missing.png")).starts_with("ERROR=-43"));
    EXPECT_TRUE(call(kInfo, "WIDTH=3").starts_with("ERROR=-50"));
    ASSERT_TRUE(setClipboard({}));
    EXPECT_TRUE(call(kInfo, "SRC=clipboard:").starts_with("ERROR=-104"));
}

TEST_F(ImageInfoEndToEnd, ReadsThePictureOnTheClipboard) {
    const Bytes picture = pictOf(media::testing::makePattern(24, 20, media::kDepth32));
    ASSERT_TRUE(setClipboard({{pictClipboardFormat(), picture}}));
    EXPECT_EQ(call(kInfo, "SRC=clipboard:"),
              "WIDTH=24 HEIGHT=20 DEPTH=32 RESOLUTION=72 SIZE=" + std::to_string(picture.size() + 512));
}

TEST_F(ImageInfoEndToEnd, FindsAnImageUnderAShiftJisName) {
    KORVANE_REQUIRE_CODE_PAGE_932();
    const std::string omote = "\x95\x5C";  // second byte 0x5C
    const std::string folder = corpusFolder() + "\\" + omote;
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string path = folder + "\\" + "\x83\x5C" + omote + ".png";
    ASSERT_TRUE(writeBytes(path, corpusImage("dpi300x150.png").bytes));
    EXPECT_EQ(call(kInfo, "PATH=" + quotedPath(path)), "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150");
}

}  // namespace
}  // namespace korvane::image_testing
