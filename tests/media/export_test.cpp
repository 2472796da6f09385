// Every export format our own readers decode, written and read back through the importers'
// format detection: size, depth and exact pixels; plus the properties of the formats that
// only other readers decode (JPEG quality, PNG resolution, GIF colours).

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

#include "platform/media/dib.h"
#include "platform/media/exporter.h"
#include "platform/media/image_writers.h"
#include "platform/media/macpaint.h"
#include "platform/media/own_codecs.h"
#include "platform/media/photoshop.h"
#include "platform/media/qtif.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
using testing::samePixels;

Status readBack(const Bytes& file, Bitmap& out, OwnFormat& format) {
    format = detectOwnFormat(file.data(), file.size());
    return decodeOwnFormat(format, file.data(), file.size(), PictReadOptions{}, out);
}

struct RoundTrip {
    const char* name;
    uint32_t type;
    OwnFormat format;
    int depth;
    bool alpha;
    int expectedDepth;  // depth the reader gives back
};

TEST(Export, OwnFormatsReadBackExactly) {
    const RoundTrip rows[] = {
        {"pict 24", kFileTypePict, OwnFormat::kPict, kDepth24, false, kDepth32},
        {"pict 8", kFileTypePict, OwnFormat::kPict, kDepth8, false, kDepth8},
        {"pict alpha", kFileTypePict, OwnFormat::kPict, kDepth32, true, kDepth32},
        {"tga 24", kFileTypeTga, OwnFormat::kTga, kDepth24, false, kDepth24},
        {"tga alpha", kFileTypeTga, OwnFormat::kTga, kDepth32, true, kDepth32},
        {"tga 8", kFileTypeTga, OwnFormat::kTga, kDepth8, false, kDepth8},
        {"tga 16", kFileTypeTga, OwnFormat::kTga, kDepth16, false, kDepth16},
        {"tga grey", kFileTypeTga, OwnFormat::kTga, kDepthGrey8, false, kDepthGrey8},
        {"sgi 24", kFileTypeSgi, OwnFormat::kSgi, kDepth24, false, kDepth24},
        {"sgi alpha", kFileTypeSgi, OwnFormat::kSgi, kDepth32, true, kDepth32},
        {"sgi grey", kFileTypeSgi, OwnFormat::kSgi, kDepthGrey8, false, kDepthGrey8},
        {"psd 24", kFileTypePhotoshop, OwnFormat::kPhotoshop, kDepth24, false, kDepth24},
        {"psd alpha", kFileTypePhotoshop, OwnFormat::kPhotoshop, kDepth32, true, kDepth32},
        {"psd 8", kFileTypePhotoshop, OwnFormat::kPhotoshop, kDepth8, false, kDepth8},
        {"psd grey", kFileTypePhotoshop, OwnFormat::kPhotoshop, kDepthGrey8, false, kDepthGrey8},
        {"qtif 24", kFileTypeQuickTimeImage, OwnFormat::kQuickTimeImage, kDepth24, false, kDepth24},
        {"qtif alpha", kFileTypeQuickTimeImage, OwnFormat::kQuickTimeImage, kDepth32, true, kDepth32},
    };
    for (const RoundTrip& row : rows) {
        SCOPED_TRACE(row.name);
        Bitmap source = makePattern(37, 11, row.depth, row.alpha);
        source.setResolution(300 * kFixedOne, 150 * kFixedOne);
        ByteWriter file;
        ASSERT_EQ(encodeForExport(source, row.type, ExportOptions{}, file), kNoErr);
        Bitmap back;
        OwnFormat format = OwnFormat::kNone;
        ASSERT_EQ(readBack(testing::toBytes(file), back, format), kNoErr);
        EXPECT_EQ(format, row.format);
        EXPECT_EQ(back.depth(), row.expectedDepth);
        EXPECT_TRUE(samePixels(source, back));
    }
}

TEST(Export, ResolutionSurvivesWhereTheFormatKeepsIt) {
    const std::tuple<const char*, uint32_t, Fixed> rows[] = {
        {"psd", kFileTypePhotoshop, 300 * kFixedOne},
        {"qtif", kFileTypeQuickTimeImage, 300 * kFixedOne},
        {"tga has none", kFileTypeTga, kDefaultResolution},
        {"sgi has none", kFileTypeSgi, kDefaultResolution},
    };
    for (const auto& [name, type, expected] : rows) {
        SCOPED_TRACE(name);
        Bitmap source = makePattern(5, 4, kDepth24);
        source.setResolution(300 * kFixedOne, 300 * kFixedOne);
        ByteWriter file;
        ASSERT_EQ(encodeForExport(source, type, ExportOptions{}, file), kNoErr);
        Bytes bytes = testing::toBytes(file);
        ImageHeader header;
        ASSERT_EQ(readOwnFormatHeader(detectOwnFormat(bytes.data(), bytes.size()), bytes.data(), bytes.size(), header),
                  kNoErr);
        EXPECT_EQ(header.hRes, expected);
        EXPECT_EQ(header.vRes, expected);
    }
}

TEST(Export, BmpFileIsItsDibBehindAFileHeader) {
    for (int depth : {kDepth1, kDepth8, kDepth24, kDepth32}) {
        SCOPED_TRACE(depth);
        Bitmap source = makePattern(13, 6, depth);
        ByteWriter file;
        ASSERT_EQ(writeBmpFile(source, file), kNoErr);
        ASSERT_GT(file.size(), 54u);
        EXPECT_EQ(std::memcmp(file.data(), "BM", 2), 0);
        ByteReader r(file.data(), file.size());
        r.skip(2);
        EXPECT_EQ(r.u32le(), file.size());
        r.skip(4);
        uint32_t pixelsAt = r.u32le();
        // The pixels of the bottom row start where the header says.
        Bitmap back;
        ASSERT_EQ(readDib(file.data() + 14, file.size() - 14, kDefaultMaxBitmapBytes, back), kNoErr);
        EXPECT_TRUE(samePixels(source, back));
        size_t rowBytes = (static_cast<size_t>(13) * static_cast<size_t>(bitsPerPixel(depth)) + 31) / 32 * 4;
        EXPECT_EQ(pixelsAt + rowBytes * 6, file.size());
    }
}

TEST(Export, MacPaintIsAThresholdedPage) {
    Bitmap source;
    ASSERT_EQ(source.create(600, 10, kDepth24), kNoErr);
    source.fill(Rgba{255, 255, 255, 255});
    source.setPixel(0, 0, Rgba{0, 0, 0, 255});
    source.setPixel(575, 9, Rgba{100, 100, 100, 255});  // dark enough
    source.setPixel(1, 0, Rgba{200, 200, 200, 255});    // light: white
    source.setPixel(599, 0, Rgba{0, 0, 0, 255});        // beyond the page: dropped
    ByteWriter file;
    ASSERT_EQ(encodeForExport(source, kFileTypeMacPaint, ExportOptions{}, file), kNoErr);
    Bitmap back;
    OwnFormat format = OwnFormat::kNone;
    ASSERT_EQ(readBack(testing::toBytes(file), back, format), kNoErr);
    EXPECT_EQ(format, OwnFormat::kMacPaint);
    ASSERT_EQ(back.width(), kMacPaintWidth);
    ASSERT_EQ(back.height(), kMacPaintHeight);
    EXPECT_EQ(back.depth(), kDepth1);
    EXPECT_EQ(back.index(0, 0), 1u);
    EXPECT_EQ(back.index(1, 0), 0u);
    EXPECT_EQ(back.index(575, 9), 1u);
    EXPECT_EQ(back.index(575, 0), 0u);
    EXPECT_EQ(back.index(100, 700), 0u);
}

TEST(Export, MacBinaryWrappedMacPaintReads) {
    ByteWriter file;
    ASSERT_EQ(writeMacPaint(makePattern(40, 30, kDepth1), file), kNoErr);
    Bytes wrapped(128, 0);
    std::memcpy(wrapped.data() + 65, "PNTGMPNT", 8);
    Bytes body = testing::toBytes(file);
    wrapped.insert(wrapped.end(), body.begin(), body.end());
    Bitmap back;
    OwnFormat format = OwnFormat::kNone;
    ASSERT_EQ(readBack(wrapped, back, format), kNoErr);
    EXPECT_EQ(format, OwnFormat::kMacPaint);
}

TEST(Export, PhotoshopRunLengthPlanesRead) {
    Bytes psd = testing::photoshopRunLength();
    Bitmap back;
    ASSERT_EQ(readPhotoshop(psd.data(), psd.size(), kDefaultMaxBitmapBytes, back), kNoErr);
    ASSERT_EQ(back.depth(), kDepth24);
    EXPECT_EQ(back.pixel(2, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(back.pixel(2, 1), (Rgba{12, 22, 32, 255}));
}

TEST(Export, ReadersRefuseImpossibleSizesBeforeAllocating) {
    // A Photoshop header of 8000 x 8000 RGBA (within the byte limit) with no pixel data, one of
    // 30000 x 30000 (beyond it), and a QuickTime image that
    // states 65535 x 65535 raw pixels in three bytes of data.
    Bytes psd = {'8', 'B', 'P', 'S', 0, 1, 0, 0, 0, 0, 0, 0, 0, 4, 0, 0, 0x1F, 0x40, 0, 0, 0x1F, 0x40, 0, 8, 0, 3};
    psd.insert(psd.end(), {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    Bitmap out;
    EXPECT_EQ(readPhotoshop(psd.data(), psd.size(), kDefaultMaxBitmapBytes, out), kBadPictureData);
    EXPECT_TRUE(out.empty());
    psd[16] = 0x75;
    psd[17] = 0x30;
    psd[20] = 0x75;
    psd[21] = 0x30;
    EXPECT_EQ(readPhotoshop(psd.data(), psd.size(), kDefaultMaxBitmapBytes, out), kOutOfMemory);
    ByteWriter qt;
    const uint8_t pixels[3] = {1, 2, 3};
    ASSERT_EQ(writeQuickTimeImageData(pixels, 3, kCodecRaw, 65535, 65535, kDepth24, kDefaultResolution,
                                      kDefaultResolution, qt),
              kNoErr);
    EXPECT_EQ(readQuickTimeImage(qt.data(), qt.size(), PictReadOptions{}, out), kBadPictureData);
    EXPECT_TRUE(out.empty());
}

TEST(Export, NotStillImagesHaveNoExporter) {
    Bitmap source = makePattern(4, 4, kDepth24);
    for (const char* code : {"MooV", "MPEG", "WAVE", "PDF ", "TEXT", "W8BN", "xxxx"}) {
        SCOPED_TRACE(code);
        uint32_t type = uint32_t{static_cast<uint8_t>(code[0])} << 24 | uint32_t{static_cast<uint8_t>(code[1])} << 16 |
                        uint32_t{static_cast<uint8_t>(code[2])} << 8 | static_cast<uint8_t>(code[3]);
        ByteWriter file;
        EXPECT_FALSE(isStillImageType(type));
        EXPECT_EQ(encodeForExport(source, type, ExportOptions{}, file), kNoExporter);
        EXPECT_EQ(file.size(), 0u);
    }
}

// A photograph-like image: smooth gradients with fine noise.
Bitmap photograph() {
    Bitmap b;
    EXPECT_EQ(b.create(160, 120, kDepth24), kNoErr);
    for (int32_t y = 0; y < 120; ++y) {
        for (int32_t x = 0; x < 160; ++x) {
            auto noise = static_cast<uint8_t>((x * 7919 + y * 104729) % 23);
            b.setPixel(x, y,
                       Rgba{static_cast<uint8_t>(x + noise), static_cast<uint8_t>(y * 2 + noise),
                            static_cast<uint8_t>((x + y) / 2), 255});
        }
    }
    return b;
}

TEST(Export, JpegQualityChangesTheFile) {
    Bitmap source = photograph();
    ByteWriter low;
    ByteWriter high;
    ASSERT_EQ(writeJpeg(source, 256, low), kNoErr);
    ASSERT_EQ(writeJpeg(source, 1023, high), kNoErr);
    EXPECT_LT(low.size() * 2, high.size()) << low.size() << " vs " << high.size();
    // JFIF in dots per inch, 72 by 72.
    EXPECT_EQ(low.data()[13], 1);
    EXPECT_EQ(low.data()[15], 72);
    EXPECT_EQ(low.data()[17], 72);
}

TEST(Export, CompressedJpegIsWrittenAsItIs) {
    Bitmap source = photograph();
    ByteWriter jpeg;
    ASSERT_EQ(writeJpeg(source, 300, jpeg), kNoErr);
    CodecImage image{kCodecJpeg,         160, 120,         kDepth24,   kDefaultResolution,
                     kDefaultResolution, 300, jpeg.data(), jpeg.size()};
    ExportOptions options;
    options.jpeg = &image;
    ByteWriter file;
    ASSERT_EQ(encodeForExport(source, kFileTypeJpeg, options, file), kNoErr);
    ASSERT_EQ(file.size(), jpeg.size());
    EXPECT_EQ(std::memcmp(file.data(), jpeg.data(), jpeg.size()), 0);
    // A picture keeps the stream in its compressed-image opcode.
    ByteWriter picture;
    ASSERT_EQ(encodeForExport(source, kFileTypePict, options, picture), kNoErr);
    Bytes bytes = testing::toBytes(picture);
    auto found = std::search(bytes.begin(), bytes.end(), jpeg.data(), jpeg.data() + jpeg.size());
    EXPECT_NE(found, bytes.end());
    PictInfo info;
    ASSERT_EQ(readPictInfo(bytes.data(), bytes.size(), info), kNoErr);
    EXPECT_EQ(info.bounds.width(), 160);
    EXPECT_EQ(info.imageCount, 1);
}

TEST(Export, PngStoresAResolutionOtherThan72) {
    Bitmap source = makePattern(6, 5, kDepth24);
    ByteWriter plain;
    ASSERT_EQ(writePng(source, plain), kNoErr);
    Bytes plainBytes = testing::toBytes(plain);
    const char phys[] = "pHYs";
    EXPECT_EQ(std::search(plainBytes.begin(), plainBytes.end(), phys, phys + 4), plainBytes.end());
    source.setResolution(300 * kFixedOne, 300 * kFixedOne);
    ByteWriter withResolution;
    ASSERT_EQ(writePng(source, withResolution), kNoErr);
    Bytes bytes = testing::toBytes(withResolution);
    auto at = std::search(bytes.begin(), bytes.end(), phys, phys + 4);
    ASSERT_NE(at, bytes.end());
    EXPECT_EQ(at - bytes.begin(), 8 + 25 + 4);
    ByteReader r(bytes.data() + (at - bytes.begin()) + 4, 9);
    EXPECT_EQ(r.u32be(), 11811u);
}

}  // namespace
}  // namespace korvane::media
