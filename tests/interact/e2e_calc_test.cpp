// The calculation functions answer through the module's function table.

#include <gtest/gtest.h>

#include <windows.h>

#include "platform/media/dib.h"
#include "tests/image/clipboard_support.h"
#include "tests/support/module_host.h"

namespace korvane {
namespace {

class CalcEndToEndTest : public test::ModuleTest {};

TEST_F(CalcEndToEndTest, FunctionsAreWired) {
    EXPECT_EQ(call("KUtl-CalcRect", "0,0,100,100 OFFSET=10,10 INSET=20,20"), "30,30,90,90");
    EXPECT_EQ(call("KUtl-CalcRect", "RECT=10,20,110,70 BOTTOMRIGHT"), "110,70");
    EXPECT_EQ(call("KUtl-CalcPoint", "POINT=40000,0"), "-25536,0");
    EXPECT_EQ(call("KUtl-CalcColor", "#ff8000 GREEN"), "128");
    EXPECT_EQ(call("KUtl-CalcColor", "COLOR=#00FF00 BLUE=255"), "0,255,255");
}

TEST_F(CalcEndToEndTest, SwatchesGoOnTheClipboard) {
    struct Row {
        const char* text;
        int32_t width;
        int32_t height;
        media::Rgba topRight;
    };
    const Row rows[] = {
        {"#808080 SAMPLE", 16, 16, {128, 128, 128, 255}},
        {"#808080 SAMPLE3D=40,20", 40, 20, {64, 64, 64, 255}},
        {"#808080 SAMPLE3D SAMPLE=30,10", 30, 10, {64, 64, 64, 255}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_TRUE(image_testing::setClipboard({{CF_TEXT, {'x', 0}}}));
        EXPECT_EQ(call("KUtl-CalcColor", row.text), "<none>") << "a swatch gives no colour text";
        std::vector<uint8_t> dib = image_testing::clipboardBytes(CF_DIB);
        media::Bitmap swatch;
        ASSERT_EQ(media::readDib(dib.data(), dib.size(), media::kDefaultMaxBitmapBytes, swatch), kNoErr);
        EXPECT_EQ(swatch.width(), row.width);
        EXPECT_EQ(swatch.height(), row.height);
        EXPECT_EQ(swatch.pixel(row.width - 1, 0), row.topRight);
        EXPECT_EQ(swatch.pixel(0, row.height - 1), (media::Rgba{128, 128, 128, 255}));
    }
}

}  // namespace
}  // namespace korvane
