// KImg-CompressImage and KImg-CompressImageDialog through the host emulator: files rewritten
// with a codec and a type, the clipboard picture recompressed, and what failures leave on
// disk (nothing new, nothing lost).

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/media/dib.h"
#include "platform/media/exporter.h"
#include "platform/media/importer.h"
#include "tests/files/temp_folder.h"
#include "tests/image/clipboard_support.h"
#include "tests/media/test_images.h"
#include "tests/support/module_host.h"
#include "tests/support/quoted_text.h"

namespace korvane::image_testing {
namespace {

using media::testing::makePattern;
using test::quotedPath;

constexpr char kCompress[] = "KImg-CompressImage";
constexpr char kDialog[] = "KImg-CompressImageDialog";

// A photograph-like image: gradients with a little noise.
media::Bitmap photograph() {
    media::Bitmap b;
    EXPECT_EQ(b.create(160, 120, media::kDepth24), kNoErr);
    for (int32_t y = 0; y < 120; ++y) {
        for (int32_t x = 0; x < 160; ++x) {
            auto noise = static_cast<uint8_t>((x * 7919 + y * 104729) % 23);
            b.setPixel(x, y,
                       media::Rgba{static_cast<uint8_t>(x + noise), static_cast<uint8_t>(y * 2 + noise),
                                   static_cast<uint8_t>((x + y) / 2), 255});
        }
    }
    return b;
}

class CompressEndToEnd : public test::ModuleTest, protected test::TempFolderItems {
  protected:
    void SetUp() override {
        ASSERT_TRUE(folderMade());
        ModuleTest::SetUp();
    }

    void writeImage(const std::string& name, const media::Bitmap& bitmap, uint32_t type) {
        media::ByteWriter file;
        ASSERT_EQ(media::encodeForExport(bitmap, type, media::ExportOptions{}, file), kNoErr);
        writeFile(name, std::string(reinterpret_cast<const char*>(file.data()), file.size()));
    }

    // The image of a file as our importer reads it.
    media::Bitmap readImage(const std::string& name) {
        media::Importer importer;
        media::Bitmap out;
        EXPECT_EQ(importer.openFile(at(name).c_str()), kNoErr) << name;
        EXPECT_EQ(importer.decode(out), kNoErr) << name;
        return out;
    }

    std::string compress(const std::string& name, const std::string& more) {
        return call(kCompress, "SRC=" + quotedPath(at(name)) + " " + more);
    }
};

TEST_F(CompressEndToEnd, BmpBecomesJpegAndTheSourceGoes) {
    writeImage("photo.bmp", photograph(), media::kFileTypeBmp);
    EXPECT_EQ(compress("photo.bmp", "FILETYPE=JPEG CODEC=jpeg QUALITY=256"), "<none>");
    EXPECT_FALSE(exists("photo.bmp"));
    ASSERT_TRUE(exists("photo.jpg"));
    const std::string low = readFile("photo.jpg");
    EXPECT_EQ(low.substr(0, 3), "\xFF\xD8\xFF");
    media::Bitmap back = readImage("photo.jpg");
    EXPECT_EQ(back.width(), 160);
    EXPECT_EQ(back.height(), 120);
    // The same photograph at 1023 gives a clearly larger file: the quality reaches the stream.
    writeImage("again.bmp", photograph(), media::kFileTypeBmp);
    EXPECT_EQ(compress("again.bmp", "EXTENSION=jpg CODEC=jpeg QUALITY=1023"), "<none>");
    const std::string high = readFile("again.jpg");
    EXPECT_LT(low.size() * 2, high.size()) << low.size() << " vs " << high.size();
}

TEST_F(CompressEndToEnd, TypesAndNames) {
    struct Row {
        const char* more;
        const char* expectedName;
        int depth;  // as read back
    };
    const Row rows[] = {
        {"CODEC=raw", "a.pct", media::kDepth32},  // no type: a picture
        {"FILETYPE=PNGf CODEC=png", "a.png", media::kDepth24},
        {"EXTENSION=tif FILETYPE=JPEG CODEC=raw", "a.tif", media::kDepth24},  // EXTENSION wins
        {"FILETYPE=TPIC CODEC=tga DEPTH=8", "a.tga", media::kDepth8},
        {"FILETYPE=Photoshop CODEC=raw", "a.psd", media::kDepth24},
        {"FILETYPE=GIFf CODEC=gif DEPTH=40", "a.gif", media::kDepth8},
        {"FILETYPE=.SGI CODEC=raw", "a.sgi", media::kDepth24},
        {"FILETYPE=qtif CODEC=jpeg", "a.qtif", media::kDepth24},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.more);
        writeImage("a.bmp", makePattern(23, 9, media::kDepth24), media::kFileTypeBmp);
        EXPECT_EQ(compress("a.bmp", row.more), "<none>");
        ASSERT_TRUE(exists(row.expectedName));
        media::Bitmap back = readImage(row.expectedName);
        EXPECT_EQ(back.width(), 23);
        EXPECT_EQ(back.height(), 9);
        DeleteFileA(at(row.expectedName).c_str());
    }
}

TEST_F(CompressEndToEnd, LosslessCodecsKeepEveryPixelInPlace) {
    const media::Bitmap source = makePattern(31, 7, media::kDepth24);
    writeImage("same.png", source, media::kFileTypePng);
    EXPECT_EQ(compress("same.png", "EXTENSION=png CODEC=png"), "<none>");
    EXPECT_TRUE(media::testing::samePixels(source, readImage("same.png")));
}

TEST_F(CompressEndToEnd, FailuresLeaveTheDiskAsItWas) {
    const media::Bitmap source = makePattern(12, 5, media::kDepth24);
    writeImage("keep.bmp", source, media::kFileTypeBmp);
    const std::string before = readFile("keep.bmp");
    const auto unchanged = [&] {
        EXPECT_EQ(readFile("keep.bmp"), before);
        EXPECT_EQ(snapshot("").size(), 1u) << "nothing new in the folder";
    };
    // Not a still image: a status with a message, nothing written or removed.
    const std::string movie = compress("keep.bmp", "EXTENSION=mov");
    EXPECT_TRUE(movie.starts_with("ERROR=-2003 MESSAGE=")) << movie;
    unchanged();
    EXPECT_TRUE(compress("keep.bmp", "FILETYPE=WAVE").starts_with("ERROR=-2003"));
    unchanged();
    // Settings the codec cannot take.
    EXPECT_TRUE(compress("keep.bmp", "CODEC=zzzz").starts_with("ERROR=-50"));
    EXPECT_TRUE(compress("keep.bmp", "QUALITY=2000").starts_with("ERROR=-50"));
    EXPECT_TRUE(compress("keep.bmp", "DEPTH=12").starts_with("ERROR=-50"));
    unchanged();
    // The new name is taken by a folder: the move fails, the source stays, no temporary file.
    makeFolder("keep.jpg");
    EXPECT_TRUE(compress("keep.bmp", "FILETYPE=JPEG").starts_with("ERROR=")) << "cannot replace a folder";
    EXPECT_EQ(readFile("keep.bmp"), before);
    EXPECT_EQ(snapshot("").size(), 2u);
    RemoveDirectoryA(at("keep.jpg").c_str());
    // A missing source.
    EXPECT_TRUE(compress("gone.bmp", "FILETYPE=JPEG").starts_with("ERROR=-43"));
    unchanged();
}

TEST_F(CompressEndToEnd, AReadOnlyFileIsNotReplaced) {
    // In place: the source itself is read-only. To another name: that file is read-only.
    writeImage("ro.png", makePattern(12, 5, media::kDepth24), media::kFileTypePng);
    setReadOnly("ro.png");
    writeImage("src.bmp", makePattern(12, 5, media::kDepth24), media::kFileTypeBmp);
    writeFile("src.jpg", "old");
    setReadOnly("src.jpg");
    const auto before = snapshot("");
    EXPECT_TRUE(compress("ro.png", "EXTENSION=png CODEC=png").starts_with("ERROR=-61"));
    EXPECT_TRUE(compress("src.bmp", "FILETYPE=JPEG").starts_with("ERROR=-61"));
    EXPECT_EQ(snapshot(""), before) << "every file as it was, no temporary file";
}

TEST_F(CompressEndToEnd, TheClipboardPictureIsRecompressed) {
    const media::Bitmap source = makePattern(20, 10, media::kDepth24);
    media::ByteWriter picture;
    ASSERT_EQ(media::writePict(source, picture), kNoErr);
    ASSERT_TRUE(setClipboard({{pictClipboardFormat(), media::testing::toBytes(picture)}}));
    EXPECT_EQ(call(kCompress, "SRC=clipboard: CODEC=raw DEPTH=40"), "<none>");
    std::vector<uint8_t> dib = clipboardBytes(CF_DIB);
    media::Bitmap back;
    ASSERT_EQ(media::readDib(dib.data(), dib.size(), media::kDefaultMaxBitmapBytes, back), kNoErr);
    EXPECT_EQ(back.width(), 20);
    EXPECT_EQ(back.height(), 10);
    const media::Rgba grey = back.pixel(15, 5);
    EXPECT_TRUE(grey.red == grey.green && grey.green == grey.blue) << "grey after DEPTH=40";
    // No SRC at all is the clipboard too.
    ASSERT_TRUE(setClipboard({{pictClipboardFormat(), media::testing::toBytes(picture)}}));
    EXPECT_EQ(call(kCompress, "CODEC=jpeg"), "<none>");
}

TEST_F(CompressEndToEnd, SaveImageWritesTheComposition) {
    // A white composition of the size asked, and one of an image drawn into it.
    const std::string saved = call("KImg-SaveImage", "WIDTH=40 HEIGHT=20 FILETYPE=JPEG DEST=" + quotedPath(at("grab")));
    EXPECT_EQ(saved, test::escapedText(at("grab.jpg")));
    media::Bitmap white = readImage("grab.jpg");
    EXPECT_EQ(white.width(), 40);
    EXPECT_EQ(white.height(), 20);
    writeImage("in.bmp", makePattern(30, 10, media::kDepth24), media::kFileTypeBmp);
    EXPECT_EQ(call("KImg-SaveImage",
                   "SRC=" + quotedPath(at("in.bmp")) + " EXTENSION=png FILETYPE=JPEG DEST=" + quotedPath(at("drawn"))),
              test::escapedText(at("drawn.png")));
    EXPECT_TRUE(media::testing::samePixels(makePattern(30, 10, media::kDepth24), readImage("drawn.png")));
    // A type that is not a still image: nothing written.
    EXPECT_TRUE(call("KImg-SaveImage", "WIDTH=4 HEIGHT=4 EXTENSION=mov DEST=" + quotedPath(at("movie")))
                    .starts_with("ERROR=-2003"));
    EXPECT_FALSE(exists("movie.mov"));
    EXPECT_FALSE(exists("movie"));
}

class CompressDialogEndToEnd : public CompressEndToEnd {
  protected:
    void SetUp() override {
        CompressEndToEnd::SetUp();
        host.responder().start(GetCurrentThreadId());
    }
    void TearDown() override { host.responder().stop(); }

    std::string answered(const std::string& parameter, const std::string& response) {
        std::string error;
        EXPECT_TRUE(host.responder().queue(response, error)) << error;
        return call(kDialog, parameter);
    }
};

TEST_F(CompressDialogEndToEnd, ReportsTheChosenSettings) {
    writeImage("d.bmp", makePattern(8, 8, media::kDepth24), media::kFileTypeBmp);
    const std::string src = "SRC=" + quotedPath(at("d.bmp"));
    // As preset: the arguments, else the picture's defaults.
    EXPECT_EQ(answered(src, "press=1"), "CODEC=jpeg QUALITY=512 DEPTH=24");
    EXPECT_EQ(answered(src + " CODEC=png QUALITY=100 DEPTH=8", "press=1"), "CODEC=png\\s QUALITY=100 DEPTH=8");
    // Changed in the dialog.
    EXPECT_EQ(answered(src, "set=1010:tiff;set=1011:900;set=1012:40;press=1"), "CODEC=tiff QUALITY=900 DEPTH=40");
    // A wrong entry keeps the dialog open until it is put right.
    EXPECT_EQ(answered(src, "set=1011:5000;press=1;set=1011:1024;press=1"), "CODEC=jpeg QUALITY=1024 DEPTH=24");
    EXPECT_EQ(readFile("d.bmp").size() > 0, true) << "the dialog changes no file";
}

TEST_F(CompressDialogEndToEnd, CancelIsMinus128) {
    writeImage("d.bmp", makePattern(8, 8, media::kDepth24), media::kFileTypeBmp);
    const std::string before = readFile("d.bmp");
    EXPECT_TRUE(answered("SRC=" + quotedPath(at("d.bmp")), "press=2").starts_with("ERROR=-128"));
    EXPECT_TRUE(answered("SRC=" + quotedPath(at("d.bmp")), "key=ESCAPE").starts_with("ERROR=-128"));
    EXPECT_EQ(readFile("d.bmp"), before);
}

}  // namespace
}  // namespace korvane::image_testing
