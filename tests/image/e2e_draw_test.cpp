// DrawImage, GrabImage and PreviewImage the way FileMaker Pro calls them: through the host
// emulator, checked on the document window's pixels and on the clipboard's bitmap. Images are
// BMP files the test writes; where resampling is involved the tolerance is stated.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/media/bitmap.h"
#include "platform/media/dib.h"
#include "tests/image/clipboard_support.h"
#include "tests/image/image_corpus.h"
#include "tests/support/module_host.h"

namespace korvane::image_testing {
namespace {

using media::Bitmap;
using media::Rgba;

constexpr char kDraw[] = "KImg-DrawImage";
constexpr char kGrab[] = "KImg-GrabImage";
constexpr char kPreview[] = "KImg-PreviewImage";
constexpr uint32_t kWhite = 0xFFFFFF;
constexpr Rgba kInk{0x20, 0x60, 0xC0, 255};
constexpr uint32_t kInkPixel = 0x2060C0;

uint32_t rgbOf(Rgba c) {
    return uint32_t{c.red} << 16 | uint32_t{c.green} << 8 | c.blue;
}

Bitmap solid(int32_t width, int32_t height, Rgba colour) {
    Bitmap b;
    EXPECT_EQ(b.create(width, height, media::kDepth32), kNoErr);
    b.fill(colour);
    return b;
}

// Every pixel a colour of its own: (x, y) -> red 40x + 1, green 40y + 1, blue 7.
Bitmap numbered(int32_t width, int32_t height) {
    Bitmap b = solid(width, height, kInk);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            b.setPixel(x, y, Rgba{static_cast<uint8_t>(40 * x + 1), static_cast<uint8_t>(40 * y + 1), 7, 255});
        }
    }
    return b;
}

// Writes the bitmap as a .bmp file in the corpus folder; its path as a parameter value.
std::string bmpFile(const std::string& name, const Bitmap& bitmap) {
    media::ByteWriter dib;
    EXPECT_EQ(media::writeDib(bitmap, dib), kNoErr);
    Bytes file = {'B', 'M'};
    const uint32_t total = static_cast<uint32_t>(14 + dib.size());
    for (uint32_t v : {total, 0u}) {
        for (int i = 0; i < 4; ++i) {
            file.push_back(static_cast<uint8_t>(v >> (8 * i)));
        }
    }
    uint32_t headerSize = 0;
    std::memcpy(&headerSize, dib.data(), 4);
    uint32_t colours = 0;
    std::memcpy(&colours, dib.data() + 32, 4);
    const uint32_t offset = 14 + headerSize + 4 * colours;
    for (int i = 0; i < 4; ++i) {
        file.push_back(static_cast<uint8_t>(offset >> (8 * i)));
    }
    file.insert(file.end(), dib.data(), dib.data() + dib.size());
    const std::string path = corpusFolder() + "\\" + name;
    EXPECT_TRUE(writeBytes(path, file));
    return quotedPath(path);
}

// The clipboard's CF_DIB as a bitmap.
Bitmap clipboardBitmap() {
    const Bytes dib = clipboardBytes(CF_DIB);
    Bitmap b;
    EXPECT_EQ(media::readDib(dib.data(), dib.size(), media::kDefaultMaxBitmapBytes, b), kNoErr);
    return b;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const Box&, const Box&) = default;
};
std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << b.left << "," << b.top << "," << b.right << "," << b.bottom;
}

// The smallest box holding every pixel that is not white.
Box inkedBox(const host::Pixels& shot) {
    Box box{shot.width, shot.height, 0, 0};
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (shot.at(x, y) != kWhite) {
                box = Box{std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1),
                          std::max(box.bottom, y + 1)};
            }
        }
    }
    return box;
}

bool boxesAgree(Box a, Box b, int tolerance) {
    return std::abs(a.left - b.left) <= tolerance && std::abs(a.top - b.top) <= tolerance &&
           std::abs(a.right - b.right) <= tolerance && std::abs(a.bottom - b.bottom) <= tolerance;
}

class DrawEndToEnd : public test::ModuleTest {
  protected:
    // Draws, then answers the box of everything not white in the window.
    Box drawnBox(const std::string& parameter) {
        EXPECT_EQ(call(kDraw, parameter), "<none>") << parameter;
        return inkedBox(host.screenshot());
    }
};

TEST_F(DrawEndToEnd, EachDisplayModePlacesA200By50Image) {
    const std::string src = " SRC=" + bmpFile("wide.bmp", solid(200, 50, kInk));
    const struct {
        const char* arguments;
        Box expected;
        int tolerance;  // resampled edges may take or leave one row
    } rows[] = {
        {"DISPLAYMODE=ScaleToFit", {0, 37, 100, 63}, 1},
        {"DISPLAYMODE=ShrinkToFit", {0, 37, 100, 63}, 1},
        {"DISPLAYMODE=EnlargeToFit", {0, 0, 100, 100}, 0},  // 400 x 100, clipped to the rectangle
        {"DISPLAYMODE=Fill", {0, 0, 100, 100}, 0},
        {"DISPLAYMODE=FULLSCREEN", {0, 0, 100, 50}, 0},  // where its matrix puts it, clipped
        {"", {0, 25, 100, 75}, 0},                       // centred, clipped
        {"DISPLAYMODE=ANCHORED ANCHOR=BOTTOMRIGHT OFFSET=-5,-5", {0, 45, 95, 95}, 0},
    };
    for (const auto& row : rows) {
        const Box box = drawnBox(std::string("DESTRECT=0,0,100,100 ERASE ") + row.arguments + src);
        EXPECT_TRUE(boxesAgree(box, row.expected, row.tolerance)) << row.arguments << ": " << box;
    }
    // Inside the image the ink is exact.
    EXPECT_EQ(host.screenshot().at(50, 70), kInkPixel);
}

TEST_F(DrawEndToEnd, FlipRotateAndTrimMovePixelsExactly) {
    const Bitmap image = numbered(4, 2);
    const std::string src = " SRC=" + bmpFile("numbered.bmp", image);
    // Where image pixel (x, y) lands, relative to the anchor at (10, 10), for each operation.
    const struct {
        const char* arguments;
        int width, height;
        std::pair<int, int> (*place)(int x, int y);
    } rows[] = {
        {"", 4, 2,
         [](int x, int y) {
             return std::pair{x, y};
         }},
        {"FLIP=HORIZONTAL", 4, 2,
         [](int x, int y) {
             return std::pair{3 - x, y};
         }},
        {"FLIP=VERTICAL", 4, 2,
         [](int x, int y) {
             return std::pair{x, 1 - y};
         }},
        {"FLIP=BOTH", 4, 2,
         [](int x, int y) {
             return std::pair{3 - x, 1 - y};
         }},
        {"ROTATE=90", 2, 4,
         [](int x, int y) {
             return std::pair{1 - y, x};
         }},
        {"ROTATE=RIGHT", 2, 4,
         [](int x, int y) {
             return std::pair{1 - y, x};
         }},
        {"ROTATE=180", 4, 2,
         [](int x, int y) {
             return std::pair{3 - x, 1 - y};
         }},
        {"ROTATE=270", 2, 4,
         [](int x, int y) {
             return std::pair{y, 3 - x};
         }},
        {"ROTATE=-90", 2, 4,
         [](int x, int y) {
             return std::pair{y, 3 - x};
         }},
    };
    for (const auto& row : rows) {
        const std::string parameter = std::string("DESTRECT=10,10,60,60 ERASE ANCHOR=TOPLEFT ") + row.arguments + src;
        ASSERT_EQ(call(kDraw, parameter), "<none>") << parameter;
        const host::Pixels shot = host.screenshot();
        EXPECT_EQ(inkedBox(shot), (Box{10, 10, 10 + row.width, 10 + row.height})) << row.arguments;
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 4; ++x) {
                const auto [px, py] = row.place(x, y);
                EXPECT_EQ(shot.at(10 + px, 10 + py), rgbOf(image.pixel(x, y)))
                    << row.arguments << " pixel " << x << "," << y;
            }
        }
    }
    // TRIMRECT keeps pixels 1..2 of row 1, drawn at the anchor.
    ASSERT_EQ(call(kDraw, "DESTRECT=10,10,60,60 ERASE ANCHOR=TOPLEFT TRIMRECT=1,1,3,2" + src), "<none>");
    const host::Pixels shot = host.screenshot();
    EXPECT_EQ(inkedBox(shot), (Box{10, 10, 12, 11}));
    EXPECT_EQ(shot.at(10, 10), rgbOf(image.pixel(1, 1)));
    EXPECT_EQ(shot.at(11, 10), rgbOf(image.pixel(2, 1)));
    EXPECT_TRUE(call(kDraw, "DESTRECT=10,10,60,60 TRIMRECT=10,10,20,20" + src).starts_with("ERROR=-50"));
}

TEST_F(DrawEndToEnd, TransferModesCombineWithWhatTheWindowShows) {
    const std::string src = " SRC=" + bmpFile("orange.bmp", solid(20, 20, Rgba{200, 100, 0, 255}));
    // blend at the default operation colour: half of each, within one level.
    ASSERT_EQ(call(kDraw, "DESTRECT=0,0,20,20 ERASE GRAPHICSMODE=blend" + src), "<none>");
    const uint32_t blended = host.screenshot().at(10, 10);
    EXPECT_NEAR(static_cast<int>(blended >> 16 & 0xFF), 228, 1);
    EXPECT_NEAR(static_cast<int>(blended >> 8 & 0xFF), 178, 1);
    EXPECT_NEAR(static_cast<int>(blended & 0xFF), 128, 1);
    // Over an erase colour: addPin adds the source, pinned at the operation colour; addOver
    // adds and wraps.
    ASSERT_EQ(call(kDraw, "DESTRECT=30,0,50,20 ERASE=0,0,0 GRAPHICSMODE=addPin OPCOLOR=#FFFFFF" + src), "<none>");
    EXPECT_EQ(host.screenshot().at(40, 10), 0xC86400u);
    ASSERT_EQ(call(kDraw, "DESTRECT=60,0,80,20 ERASE=#102030 GRAPHICSMODE=addOver" + src), "<none>");
    EXPECT_EQ(host.screenshot().at(70, 10), 0xD88430u);
}

TEST_F(DrawEndToEnd, OffscreenCommandsAppearTogetherAndEraseOnlyFirst) {
    const std::string left = bmpFile("left.bmp", solid(10, 10, kInk));
    const std::string right = bmpFile("right.bmp", solid(10, 10, Rgba{255, 0, 0, 255}));
    ASSERT_EQ(call(kDraw, "DESTRECT=0,0,100,100 ERASE=#00FF00 OFFSCREEN SRC=" + left +
                              " ANCHOR=TOPLEFT | SRC=" + right + " ANCHOR=BOTTOMRIGHT ERASE"),
              "<none>");
    const host::Pixels shot = host.screenshot();
    EXPECT_EQ(shot.at(5, 5), kInkPixel);
    EXPECT_EQ(shot.at(95, 95), 0xFF0000u);
    EXPECT_EQ(shot.at(50, 50), 0x00FF00u);  // the second command's ERASE did nothing
    EXPECT_EQ(shot.at(100, 100), kWhite);   // nothing outside the rectangle
}

TEST_F(DrawEndToEnd, StatusAreaAndWindowOriginMoveTheDrawing) {
    const std::string src = " SRC=" + bmpFile("square.bmp", solid(10, 10, kInk));
    EXPECT_EQ(drawnBox("DESTRECT=0,0,100,100 STATUSAREA ANCHOR=TOPLEFT" + src), (Box{69, 0, 79, 10}));

    // The host scrolled the window by (20, 30): local (20, 30) is its top-left pixel, and the
    // status area is not added. The erase lies exactly under the image.
    ASSERT_TRUE(host.setWindowOrigin(20, 30));
    ASSERT_EQ(call(kDraw, "DESTRECT=20,30,120,130 STATUSAREA ERASE=#FF0000 ANCHOR=TOPLEFT" + src), "<none>");
    const host::Pixels shot = host.screenshot();
    EXPECT_EQ(shot.at(0, 0), kInkPixel);
    EXPECT_EQ(shot.at(9, 9), kInkPixel);
    EXPECT_EQ(shot.at(10, 10), 0xFF0000u);
    EXPECT_EQ(shot.at(99, 99), 0xFF0000u);
    EXPECT_EQ(shot.at(100, 100), kWhite);
}

TEST_F(DrawEndToEnd, RefusesWhatCannotBeDrawn) {
    const std::string src = " SRC=" + bmpFile("small.bmp", solid(4, 4, kInk));
    EXPECT_TRUE(call(kDraw, "SRC=" + src).starts_with("ERROR=-50"));          // no rectangle
    EXPECT_TRUE(call(kDraw, "DESTRECT=0,0,10,10").starts_with("ERROR=-50"));  // no image
    EXPECT_TRUE(
        call(kDraw, "DESTRECT=0,0,10,10 SRC=" + quotedPath(corpusFolder() + "\\none.bmp")).starts_with("ERROR=-43"));
    // A matrix far beyond any window: clipped, nothing drawn, nothing broken.
    EXPECT_EQ(call(kDraw, "DESTRECT=-32768,-32768,32767,32767 DISPLAYMODE=Fill ROTATE=33" + src), "<none>");
    EXPECT_EQ(call(kDraw, "DESTRECT=0,0,10,10 WIDTH=30000 HEIGHT=-30000 ROTATE=7" + src), "<none>");
}

TEST_F(DrawEndToEnd, GrabImageComposesOnTheClipboard) {
    // No image: a white WIDTH x HEIGHT picture.
    ASSERT_EQ(call(kGrab, "WIDTH=100 HEIGHT=50"), "<none>");
    Bitmap grabbed = clipboardBitmap();
    ASSERT_EQ(grabbed.width(), 100);
    ASSERT_EQ(grabbed.height(), 50);
    EXPECT_EQ(grabbed.pixel(99, 49), (Rgba{255, 255, 255, 255}));

    const Bitmap image = numbered(4, 2);
    const std::string src = bmpFile("grab.bmp", image);
    // The first image's size, its width halved; then a second image flipped beside it.
    ASSERT_EQ(call(kGrab, "SRC=" + src + " WIDTH=50% QUALITY=MIN DISPLAYMODE=Fill"), "<none>");
    grabbed = clipboardBitmap();
    EXPECT_EQ(grabbed.width(), 2);
    EXPECT_EQ(grabbed.height(), 2);

    ASSERT_EQ(call(kGrab,
                   "DESTRECT=0,0,8,2 SRC=" + src + " ANCHOR=TOPLEFT | SRC=" + src + " ANCHOR=TOPRIGHT FLIP=HORIZONTAL"),
              "<none>");
    grabbed = clipboardBitmap();
    ASSERT_EQ(grabbed.width(), 8);
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(grabbed.pixel(x, 1), image.pixel(x, 1)) << x;
        EXPECT_EQ(grabbed.pixel(7 - x, 1), image.pixel(x, 1)) << x;
    }

    // DEPTH: every depth a buffer takes; others are refused and leave the clipboard alone.
    for (int depth : {1, 2, 4, 8, 16, 32, 34, 36, 40}) {
        ASSERT_EQ(call(kGrab, "DESTRECT=0,0,6,6 DEPTH=" + std::to_string(depth) + " SRC=" + src), "<none>") << depth;
        EXPECT_EQ(clipboardBitmap().width(), 6) << depth;
    }
    EXPECT_TRUE(call(kGrab, "DESTRECT=0,0,6,6 DEPTH=24 SRC=" + src).starts_with("ERROR=-50"));
    EXPECT_TRUE(call(kGrab, "DESTRECT=0,0,30000,30000 SRC=" + src).starts_with("ERROR=-108"));
    EXPECT_EQ(clipboardBitmap().width(), 6);
}

TEST_F(DrawEndToEnd, PreviewImageFitsTheBoxWithoutEnlarging) {
    ASSERT_EQ(call(kPreview, "SRC=" + bmpFile("p40.bmp", solid(40, 30, kInk))), "<none>");
    Bitmap preview = clipboardBitmap();
    EXPECT_EQ(preview.width(), 40);
    EXPECT_EQ(preview.height(), 30);

    ASSERT_EQ(call(kPreview, "SRC=" + bmpFile("p400.bmp", solid(400, 200, kInk)) + " BORDER=3"), "<none>");
    preview = clipboardBitmap();
    EXPECT_EQ(preview.width(), 80);
    EXPECT_EQ(preview.height(), 40);
    EXPECT_EQ(preview.pixel(40, 20), kInk);

    // A one-pixel checkerboard shrunk 2:1 averages to grey.
    Bitmap checks = solid(100, 100, Rgba{255, 255, 255, 255});
    for (int32_t y = 0; y < 100; ++y) {
        for (int32_t x = y & 1; x < 100; x += 2) {
            checks.setPixel(x, y, Rgba{0, 0, 0, 255});
        }
    }
    ASSERT_EQ(call(kPreview, "SRC=" + bmpFile("checks.bmp", checks) + " WIDTH=50 HEIGHT=50"), "<none>");
    preview = clipboardBitmap();
    ASSERT_EQ(preview.width(), 50);
    EXPECT_NEAR(preview.pixel(25, 25).red, 127, 1);
    EXPECT_TRUE(call(kPreview, "WIDTH=10").starts_with("ERROR=-50"));
}

}  // namespace
}  // namespace korvane::image_testing
