// The JPEG and PNG header probe on hand-made headers: what it reads, what it leaves to the
// system decoder, and every truncation answered without reading past the data.

#include <gtest/gtest.h>

#include <vector>

#include "platform/media/header_probe.h"

namespace korvane::media {
namespace {

using Bytes = std::vector<uint8_t>;

void put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v >> 8));
    b.push_back(static_cast<uint8_t>(v));
}
void put32(Bytes& b, uint32_t v) {
    put16(b, static_cast<uint16_t>(v >> 16));
    put16(b, static_cast<uint16_t>(v));
}

Bytes jpeg(uint8_t units, uint16_t x, uint16_t y, uint16_t width, uint16_t height, uint8_t components) {
    Bytes b = {0xFF, 0xD8, 0xFF, 0xE0};
    put16(b, 16);
    for (char c : {'J', 'F', 'I', 'F', '\0'}) {
        b.push_back(static_cast<uint8_t>(c));
    }
    b.insert(b.end(), {1, 2, units});
    put16(b, x);
    put16(b, y);
    b.insert(b.end(), {0, 0});
    b.insert(b.end(), {0xFF, 0xFF, 0xC0});  // a fill byte before the marker
    put16(b, static_cast<uint16_t>(8 + 3 * components));
    b.push_back(8);
    put16(b, height);
    put16(b, width);
    b.push_back(components);
    for (int i = 0; i < components; ++i) {
        b.insert(b.end(), {static_cast<uint8_t>(i + 1), 0x11, 0});
    }
    b.insert(b.end(), {0xFF, 0xDA, 0, 2, 0xFF, 0xD9});
    return b;
}

void chunk(Bytes& b, const char* type, const Bytes& body) {
    put32(b, static_cast<uint32_t>(body.size()));
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), body.begin(), body.end());
    put32(b, 0);  // CRC: not checked by the probe
}

Bytes png(uint8_t bits, uint8_t colourType, const std::vector<std::pair<const char*, Bytes>>& extra) {
    Bytes b = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32(header, 300);
    put32(header, 200);
    header.insert(header.end(), {bits, colourType, 0, 0, 0});
    chunk(b, "IHDR", header);
    for (const auto& [type, body] : extra) {
        chunk(b, type, body);
    }
    chunk(b, "IDAT", {1, 2, 3});
    chunk(b, "IEND", {});
    return b;
}

Bytes phys(uint32_t x, uint32_t y) {
    Bytes b;
    put32(b, x);
    put32(b, y);
    b.push_back(1);
    return b;
}

TEST(HeaderProbeTest, ReadsJpegHeaders) {
    struct Row {
        Bytes data;
        PixelFormat format;
        int hDpi;
        int vDpi;
    };
    const Row rows[] = {
        {jpeg(1, 300, 150, 640, 480, 3), PixelFormat::kRgb24, 300, 150},
        {jpeg(2, 100, 100, 640, 480, 1), PixelFormat::kGrey8, 254, 254},  // dots per centimetre
        {jpeg(0, 1, 1, 640, 480, 4), PixelFormat::kCmyk32, 72, 72},       // an aspect ratio only
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
        {png(8, 2, {{"pHYs", phys(11811, 5906)}}), PixelFormat::kRgb24, 300, 150, 0},
        {png(16, 2, {}), PixelFormat::kRgb48, 72, 72, 0},
        {png(8, 0, {}), PixelFormat::kGrey8, 72, 72, 0},
        {png(16, 0, {}), PixelFormat::kGrey16, 72, 72, 0},
        {png(4, 3, {{"PLTE", palette}}), PixelFormat::kIndexed4, 72, 72, 2},
        {png(8, 6, {}), PixelFormat::kRgba32, 72, 72, 0},
        {png(16, 4, {}), PixelFormat::kRgba64, 72, 72, 0},
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
        png(8, 3, {}),                              // palette image without its palette
        png(8, 2, {{"tRNS", {0, 1, 0, 2, 0, 3}}}),  // transparency
        png(3, 2, {}),                              // bit depth not allowed for RGB
        jpeg(1, 72, 72, 640, 0, 3),                 // height given later
        jpeg(1, 72, 72, 640, 480, 2),               // two components
        Bytes{'G', 'I', 'F', '8', '9', 'a'},
    };
    for (size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        ProbedHeader header;
        EXPECT_FALSE(probeHeader(rows[i].data(), rows[i].size(), header));
    }
}

TEST(HeaderProbeTest, TruncatedHeadersAreRefused) {
    for (const Bytes& whole : {jpeg(1, 300, 150, 640, 480, 3), png(8, 2, {{"pHYs", phys(2835, 2835)}})}) {
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
    EXPECT_EQ(resolutionFromDotsPerInch(0), kDefaultResolution);
    EXPECT_EQ(resolutionFromDotsPerInch(-5), kDefaultResolution);
    EXPECT_EQ(resolutionFromDotsPerInch(40000), kDefaultResolution);
}

}  // namespace
}  // namespace korvane::media
