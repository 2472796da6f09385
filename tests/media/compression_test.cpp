// Compression settings and compressing a picture.

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/media/compression.h"
#include "platform/media/image_writers.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;

TEST(Compression, SettingsAreChecked) {
    const std::tuple<const char*, CompressionSettings, Status> rows[] = {
        {"defaults", CompressionSettings{}, kNoErr},
        {"raw 32", {kCodecRaw, kDepth32, 0}, kNoErr},
        {"png grey", {fourCharCode("png "), kDepthGrey8, 1024}, kNoErr},
        {"BMP 1", {fourCharCode("BMP "), kDepth1, 100}, kNoErr},
        {"unknown codec", {fourCharCode("xxxx"), kDepth24, 512}, kParamErr},
        {"depth 12", {kCodecJpeg, 12, 512}, kParamErr},
        {"quality above", {kCodecJpeg, kDepth24, 1025}, kParamErr},
        {"quality below", {kCodecJpeg, kDepth24, -1}, kParamErr},
    };
    for (const auto& [name, settings, expected] : rows) {
        SCOPED_TRACE(name);
        EXPECT_EQ(checkCompressionSettings(settings), expected);
        CompressedPicture out;
        EXPECT_EQ(compressPicture(makePattern(4, 3, kDepth24), settings, out), expected);
        EXPECT_EQ(out.picture.size() > 0, expected == kNoErr);
    }
}

TEST(Compression, DefaultsFollowThePicture) {
    EXPECT_EQ(defaultCompressionSettings(makePattern(2, 2, kDepth32, true)).depth, kDepth32);
    EXPECT_EQ(defaultCompressionSettings(makePattern(2, 2, kDepth32, false)).depth, kDepth24);
    EXPECT_EQ(defaultCompressionSettings(makePattern(2, 2, kDepth8)).depth, kDepth8);
    EXPECT_EQ(defaultCompressionSettings(makePattern(2, 2, kDepth8)).codec, kCodecJpeg);
    EXPECT_EQ(defaultCompressionSettings(makePattern(2, 2, kDepth8)).quality, 512);
}

TEST(Compression, DepthsConvert) {
    Bitmap source;
    ASSERT_EQ(source.create(3, 1, kDepth32), kNoErr);
    source.setHasAlpha(true);
    source.setPixel(0, 0, Rgba{0, 0, 0, 255});
    source.setPixel(1, 0, Rgba{255, 255, 255, 128});
    source.setPixel(2, 0, Rgba{255, 0, 0, 255});
    const std::tuple<int, int, Rgba, Rgba> rows[] = {
        // depth asked, depth made, pixel 1, pixel 2
        {kDepth1, kDepth1, {255, 255, 255, 255}, {0, 0, 0, 255}},
        {kDepth2, kDepthGrey2, {255, 255, 255, 255}, {85, 85, 85, 255}},
        {kDepthGrey8, kDepthGrey8, {255, 255, 255, 255}, {76, 76, 76, 255}},
        {kDepth8, kDepth8, {255, 255, 255, 255}, {255, 0, 0, 255}},
        {kDepth16, kDepth16, {255, 255, 255, 255}, {255, 0, 0, 255}},
        {kDepth24, kDepth24, {255, 255, 255, 255}, {255, 0, 0, 255}},
        {kDepth32, kDepth32, {255, 255, 255, 128}, {255, 0, 0, 255}},
    };
    for (const auto& [asked, made, second, third] : rows) {
        SCOPED_TRACE(asked);
        Bitmap out;
        ASSERT_EQ(convertToDepth(source, asked, out), kNoErr);
        EXPECT_EQ(out.depth(), made);
        EXPECT_EQ(out.pixel(0, 0), (Rgba{0, 0, 0, 255}));
        EXPECT_EQ(out.pixel(1, 0), second);
        EXPECT_EQ(out.pixel(2, 0), third);
    }
}

TEST(Compression, JpegKeepsItsStreamInThePicture) {
    Bitmap source = makePattern(64, 48, kDepth24);
    CompressedPicture low;
    CompressedPicture high;
    ASSERT_EQ(compressPicture(source, {kCodecJpeg, kDepth24, 256}, low), kNoErr);
    ASSERT_EQ(compressPicture(source, {kCodecJpeg, kDepth24, 1023}, high), kNoErr);
    ASSERT_TRUE(low.hasJpeg);
    EXPECT_LT(low.jpegData.size(), high.jpegData.size());
    Bytes picture = testing::toBytes(low.picture);
    auto at =
        std::search(picture.begin(), picture.end(), low.jpegData.data(), low.jpegData.data() + low.jpegData.size());
    EXPECT_NE(at, picture.end()) << "the stream travels in the compressed-image opcode";
    PictInfo info;
    ASSERT_EQ(readPictInfo(picture.data(), picture.size(), info), kNoErr);
    EXPECT_EQ(info.bounds.width(), 64);
    EXPECT_EQ(info.bounds.height(), 48);
    // Other codecs: the packed bitmap at the depth, read back exactly.
    CompressedPicture raw;
    ASSERT_EQ(compressPicture(source, {fourCharCode("png "), kDepth24, 512}, raw), kNoErr);
    EXPECT_FALSE(raw.hasJpeg);
    Bitmap back;
    ASSERT_EQ(readPict(raw.picture.data(), raw.picture.size(), PictReadOptions{}, back), kNoErr);
    EXPECT_TRUE(testing::samePixels(source, back));
}

}  // namespace
}  // namespace korvane::media
