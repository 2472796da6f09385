// KImg-ImageInfo run as the dispatcher runs it, over the test corpus and the clipboard.

#include <gtest/gtest.h>

#include "image/image_info.h"
#include "image/image_source.h"
#include "platform/media/dib.h"
#include "platform/media/media.h"
#include "platform/media/pict.h"
#include "tests/image/clipboard_support.h"
#include "tests/image/image_corpus.h"
#include "tests/media/test_images.h"
#include "tests/support/handler_fixture.h"

namespace korvane::image_testing {
namespace {

using test::runHandler;

std::string pathArgument(const std::string& name) {
    return "PATH=" + quotedPath(corpusPath(name));
}

TEST(ImageInfoTest, AnswersForEveryFormat) {
    struct Row {
        const char* name;
        const char* extra;
        const char* expected;
    };
    const Row rows[] = {
        {"rgb640.bmp", "", "WIDTH=640 HEIGHT=480 DEPTH=32 RESOLUTION=72"},
        {"rgb640.jpg", "", "WIDTH=640 HEIGHT=480 DEPTH=32 RESOLUTION=72"},
        {"dpi300x150.png", "", "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150"},
        {"dpi300x150.tif", "", "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150"},
        {"palette.gif", "", "WIDTH=50 HEIGHT=40 DEPTH=8 RESOLUTION=72"},
        {"pages.tif", "", "WIDTH=20 HEIGHT=10 DEPTH=32 RESOLUTION=72 PAGECOUNT=2"},
        {"pages.tif", " PAGE=2", "WIDTH=40 HEIGHT=30 DEPTH=32 RESOLUTION=72 PAGECOUNT=2"},
        {"pages.tif", " PAGE=1", "WIDTH=20 HEIGHT=10 DEPTH=32 RESOLUTION=72 PAGECOUNT=2"},
        {"pages.tif", " PAGE=0", "WIDTH=20 HEIGHT=10 DEPTH=32 RESOLUTION=72 PAGECOUNT=2"},
        {"pages.tif", " PAGE=3", "WIDTH=20 HEIGHT=10 DEPTH=32 RESOLUTION=72 PAGECOUNT=2"},
        {"rgb640.bmp", " PAGE=5", "WIDTH=640 HEIGHT=480 DEPTH=32 RESOLUTION=72"},
        {"grey8.png", "", "WIDTH=30 HEIGHT=20 DEPTH=8 RESOLUTION=72"},
        {"grey16.png", "", "WIDTH=30 HEIGHT=20 DEPTH=8 RESOLUTION=72"},
        {"rgb48.png", "", "WIDTH=30 HEIGHT=20 DEPTH=32 RESOLUTION=72"},
        {"rgba.png", "", "WIDTH=30 HEIGHT=20 DEPTH=32 RESOLUTION=72"},
        {"indexed4.bmp", "", "WIDTH=30 HEIGHT=20 DEPTH=4 RESOLUTION=72"},
        {"grey.jpg", "", "WIDTH=30 HEIGHT=20 DEPTH=8 RESOLUTION=72"},
        {"palette.png", "", "WIDTH=30 HEIGHT=20 DEPTH=8 RESOLUTION=72"},
        {"png_named.jpg", "", "WIDTH=64 HEIGHT=32 DEPTH=32 RESOLUTION=300,150"},
        {"bottom_up.tga", "", "WIDTH=40 HEIGHT=30 DEPTH=32 RESOLUTION=72"},
        {"mapped.tga", "", "WIDTH=24 HEIGHT=20 DEPTH=8 RESOLUTION=72"},
        {"tga_named.png", "", "WIDTH=40 HEIGHT=30 DEPTH=32 RESOLUTION=72"},
        {"image.sgi", "", "WIDTH=40 HEIGHT=30 DEPTH=32 RESOLUTION=72"},
        {"picture8.pct", "", "WIDTH=24 HEIGHT=20 DEPTH=8 RESOLUTION=72"},
        {"grey.pct", "", "WIDTH=20 HEIGHT=12 DEPTH=8 RESOLUTION=72"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + row.extra);
        const test::HandlerRun run = runHandler(imageInfoHandler, pathArgument(row.name) + row.extra);
        EXPECT_EQ(run.status, kNoErr);
        EXPECT_EQ(run.result, row.expected);
    }
}

// Sizes beyond 16 bits are answered whole, from the header alone: this image is far too large
// to decode.
TEST(ImageInfoTest, AnswersLargeSizesFromTheHeader) {
    const Bytes header = {0xFF, 0xD8, 0xFF, 0xC0, 0x00, 0x11, 0x08, 0x75, 0x30, 0x9C, 0x40, 0x03, 0x01, 0x11,
                          0x00, 0x02, 0x11, 0x00, 0x03, 0x11, 0x00, 0xFF, 0xDA, 0x00, 0x02, 0xFF, 0xD9};
    const std::string path = corpusFolder() + "\\huge.jpg";
    ASSERT_TRUE(writeBytes(path, header));
    const test::HandlerRun run = runHandler(imageInfoHandler, "PATH=" + quotedPath(path));
    EXPECT_EQ(run.status, kNoErr);
    EXPECT_EQ(run.result, "WIDTH=40000 HEIGHT=30000 DEPTH=32 RESOLUTION=72");
}

TEST(ImageInfoTest, LoadsAFileAsAPicture) {
    FileRef file;
    ASSERT_EQ(resolvePath(corpusPath("indexed4.bmp").c_str(), &file), kNoErr);
    media::OwnedBytes picture;
    ASSERT_EQ(loadFileAsPicture(file, picture), kNoErr);
    media::PictInfo info;
    ASSERT_EQ(media::readPictInfo(picture.data.get(), picture.size, info), kNoErr);
    EXPECT_EQ(info.bounds.width(), 30);
    EXPECT_EQ(info.bounds.height(), 20);
    EXPECT_EQ(info.depth, media::kDepth4);
    ASSERT_EQ(resolvePath((corpusFolder() + "\\missing.bmp").c_str(), &file), kNoErr);
    EXPECT_EQ(loadFileAsPicture(file, picture), kFileNotFound);
}

TEST(ImageInfoTest, PagesNeedTheNewerMediaLayer) {
    const uint16_t version = mediaVersionWord();
    setMediaVersionWordForTesting(kMediaVersionRequired);
    const test::HandlerRun run = runHandler(imageInfoHandler, pathArgument("pages.tif") + " PAGE=2");
    setMediaVersionWordForTesting(version);
    EXPECT_EQ(run.status, kNoErr);
    EXPECT_EQ(run.result, "WIDTH=20 HEIGHT=10 DEPTH=32 RESOLUTION=72");
}

TEST(ImageInfoTest, ChoosesTheSource) {
    struct Row {
        std::string parameter;
        Status status;
        std::string result;
    };
    const std::string bmp = quotedPath(corpusPath("rgb640.bmp"));
    const std::string missing = quotedPath(corpusFolder() + "\\missing.bmp");
    const Row rows[] = {
        {"", kParamErr, ""},
        {"PAGE=2", kParamErr, ""},
        {"SRC=" + bmp + " PATH=" + missing, kNoErr, "WIDTH=640 HEIGHT=480 DEPTH=32 RESOLUTION=72"},
        {"SRC=" + missing + " PATH=" + bmp, kFileNotFound, ""},
        {"PATH=" + missing, kFileNotFound, ""},
        // Without its colon, the word is a file name.
        {"SRC=clipboard", kFileNotFound, ""},
        // A scheme in capitals is not a web address: the path text is refused.
        {"SRC=HTTP://127.0.0.1:9/a.png", kParamErr, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.parameter);
        const test::HandlerRun run = runHandler(imageInfoHandler, row.parameter);
        EXPECT_EQ(run.status, row.status);
        EXPECT_EQ(run.result, row.result);
    }
}

TEST(ImageInfoTest, ReadsTheClipboard) {
    const Bytes picture = pictOf(media::testing::makePattern(24, 20, media::kDepth8));
    const Bytes other = pictOf(media::testing::makePattern(7, 5, media::kDepth32));
    media::ByteWriter dib;
    ASSERT_EQ(media::writeDib(media::testing::makePattern(30, 10, media::kDepth24), dib), kNoErr);
    const Bytes dibBytes(dib.data(), dib.data() + dib.size());
    const std::string size = std::to_string(picture.size() + 512);

    struct Row {
        const char* what;
        std::vector<ClipboardItem> items;
        std::string parameter;
        Status status;
        std::string result;
    };
    const Row rows[] = {
        {"picture",
         {{pictClipboardFormat(), picture}},
         "SRC=clipboard:",
         kNoErr,
         "WIDTH=24 HEIGHT=20 DEPTH=8 RESOLUTION=72 SIZE=" + size},
        {"capitals",
         {{pictClipboardFormat(), picture}},
         "SRC=CLIPBOARD:",
         kNoErr,
         "WIDTH=24 HEIGHT=20 DEPTH=8 RESOLUTION=72 SIZE=" + size},
        {"picture wins",
         {{CF_DIB, dibBytes}, {pictClipboardFormat(), picture}},
         "PATH=Clipboard:",
         kNoErr,
         "WIDTH=24 HEIGHT=20 DEPTH=8 RESOLUTION=72 SIZE=" + size},
        {"bitmap", {{CF_DIB, dibBytes}}, "SRC=clipboard:", kNoErr, ""},
        {"nothing", {}, "SRC=clipboard:", kBadPictureData, ""},
        {"other name", {{RegisterClipboardFormatA("Mac-PICT2"), other}}, "SRC=clipboard:", kBadPictureData, ""},
        {"damaged picture",
         {{pictClipboardFormat(), Bytes(picture.begin(), picture.begin() + 30)}},
         "SRC=clipboard:",
         kBadPictureData,
         ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(setClipboard(row.items));
        const test::HandlerRun run = runHandler(imageInfoHandler, row.parameter);
        EXPECT_EQ(run.status, row.status);
        if (std::string(row.what) == "bitmap") {
            EXPECT_TRUE(run.result.starts_with("WIDTH=30 HEIGHT=10 DEPTH=32 RESOLUTION=72 SIZE=")) << run.result;
        } else {
            EXPECT_EQ(run.result, row.result);
        }
    }
}

}  // namespace
}  // namespace korvane::image_testing
