// The JPEG and PNG header probe on hand-made headers: what it reads, what it leaves to the
// system decoder, and every truncation answered without reading past the data.

#include <gtest/gtest.h>

#include <vector>

#include "platform/media/header_probe.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::jpegHeader;
using testing::pngHeader;
using testing::pngPhys;

TEST(HeaderProbeTest, ReadsJpegHeaders) {
    struct Row {
        Bytes data;
        PixelFormat format;
        int hDpi;
        int vDpi;
    };
    const Row rows[] = {
        {jpegHeader(1, 300, 150, 640, 480, 3), PixelFormat::kRgb24, 300, 150},
        {jpegHeader(2, 100, 100, 640, 480, 1), PixelFormat::kGrey8, 254, 254},  // dots per centimetre
        {jpegHeader(0, 1, 1, 640, 480, 4), PixelFormat::kCmyk32, 72, 72},       // an aspect ratio only
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        ProbedHeader header;
        ASSERT_TRUE(probeHeader(rows[i].data.data(), rows[i].data.size(), header));
        EXPECT_EQ(header.width, 640);
        EXPECT_EQ(header.height, 480);
        EXPECT_EQ(header.format, rows[i].format);
        EXPECT_EQ(header.hRes, rows[i].hDpi * kFixedOne);
        EXPECT_EQ(header.vRes, rows[i].vDpi * kFixedOne);
    }
}

TEST(HeaderProbeTest, ReadsPngHeaders) {
    const Bytes palette = {10, 20, 30, 40, 50, 60};
    struct Row {
        Bytes data;
        PixelFormat format;
        int hDpi;
        int vDpi;
        int colours;
    };
    const Row rows[] = {
        {pngHeader(8, 2, {{"pHYs", pngPhys(11811, 5906)}}), PixelFormat::kRgb24, 300, 150, 0},
        {pngHeader(16, 2, {}), PixelFormat::kRgb48, 72, 72, 0},
        {pngHeader(8, 0, {}), PixelFormat::kGrey8, 72, 72, 0},
        {pngHeader(16, 0, {}), PixelFormat::kGrey16, 72, 72, 0},
        {pngHeader(4, 3, {{"PLTE", palette}}), PixelFormat::kIndexed4, 72, 72, 2},
        {pngHeader(8, 6, {}), PixelFormat::kRgba32, 72, 72, 0},
        {pngHeader(16, 4, {}), PixelFormat::kRgba64, 72, 72, 0},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        ProbedHeader header;
        ASSERT_TRUE(probeHeader(rows[i].data.data(), rows[i].data.size(), header));
        EXPECT_EQ(header.width, 300);
        EXPECT_EQ(header.height, 200);
        EXPECT_EQ(header.format, rows[i].format);
        EXPECT_EQ(header.hRes, rows[i].hDpi * kFixedOne);
        EXPECT_EQ(header.vRes, rows[i].vDpi * kFixedOne);
        EXPECT_EQ(header.colourCount, rows[i].colours);
    }
}

TEST(HeaderProbeTest, LeavesUncertainFilesToTheSystemDecoder) {
    const Bytes rows[] = {
        pngHeader(8, 3, {}),                              // palette image without its palette
        pngHeader(8, 2, {{"tRNS", {0, 1, 0, 2, 0, 3}}}),  // transparency
        pngHeader(3, 2, {}),                              // bit depth not allowed for RGB
        jpegHeader(1, 72, 72, 640, 0, 3),                 // height given later
        jpegHeader(1, 72, 72, 640, 480, 2),               // two components
        Bytes{'G', 'I', 'F', '8', '9', 'a'},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        ProbedHeader header;
        EXPECT_FALSE(probeHeader(rows[i].data(), rows[i].size(), header));
    }
}

TEST(HeaderProbeTest, TruncatedHeadersAreRefused) {
    for (const Bytes& whole :
         {jpegHeader(1, 300, 150, 640, 480, 3), pngHeader(8, 2, {{"pHYs", pngPhys(2835, 2835)}})}) {
        // Up to the frame header (JPEG) or the first data chunk (PNG) nothing may be missing.
        const size_t needed = whole[0] == 0xFF ? 20 + 3 + 17 : whole.size() - 12 - 12 - 3;
        for (size_t size = 0; size < needed; ++size) {
            SCOPED_TRACE(size);
            Bytes cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            ProbedHeader header;
            EXPECT_FALSE(probeHeader(cut.data(), cut.size(), header));
        }
    }
}

TEST(HeaderProbeTest, SnapsResolutionsToWholeDots) {
    EXPECT_EQ(resolutionFromDotsPerInch(299.9994), 300 * kFixedOne);
    EXPECT_EQ(resolutionFromDotsPerInch(150.0124), 150 * kFixedOne);
    EXPECT_EQ(resolutionFromDotsPerInch(72.5), 72 * kFixedOne + kFixedOne / 2);
    // Metre values rounded down by their writers: 2834 and 3779 pixels a metre.
    EXPECT_EQ(resolutionFromDotsPerInch(2834 * 0.0254), 72 * kFixedOne);
    EXPECT_EQ(resolutionFromDotsPerInch(3779 * 0.0254), 96 * kFixedOne);
    EXPECT_LT(resolutionFromDotsPerInch(2833 * 0.0254), 72 * kFixedOne);
    EXPECT_EQ(resolutionFromDotsPerInch(0), kDefaultResolution);
    EXPECT_EQ(resolutionFromDotsPerInch(-5), kDefaultResolution);
    EXPECT_EQ(resolutionFromDotsPerInch(40000), kDefaultResolution);
}

TEST(HeaderProbeTest, TiffWithoutResolutionIsTold) {
    // Little-endian, one directory of one entry (width) or two (width, XResolution).
    Bytes without = {'I', 'I', 42, 0, 8, 0, 0, 0, 1, 0, 0, 1, 3, 0, 1, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0};
    Bytes with = {'I', 'I', 42, 0,    8, 0, 0, 0, 2, 0, 0, 1, 3, 0, 1, 0, 0, 0, 5,
                  0,   0,   0,  0x1A, 1, 5, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(tiffLacksResolution(without.data(), without.size(), 1));
    EXPECT_FALSE(tiffLacksResolution(with.data(), with.size(), 1));
    EXPECT_FALSE(tiffLacksResolution(without.data(), without.size(), 2)) << "no second image";
    EXPECT_FALSE(tiffLacksResolution(without.data(), 12, 1)) << "cut short";
    Bytes png = {0x89, 'P', 'N', 'G', 13, 10, 26, 10};
    EXPECT_FALSE(tiffLacksResolution(png.data(), png.size(), 1));
}

}  // namespace
}  // namespace korvane::media
