#include <gtest/gtest.h>

#include "platform/media/own_codecs.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;

Bytes pictOf(const Bitmap& b) {
    ByteWriter w;
    EXPECT_EQ(writePict(b, w), kNoErr);
    return testing::toBytes(w);
}

TEST(OwnCodecs, FoundByContentAndDecoded) {
    const Bitmap grey = makePattern(5, 3, kDepthGrey8);
    const Bitmap colour = makePattern(5, 3, kDepth24);
    Bytes pictWithHeader = pictOf(colour);
    pictWithHeader.insert(pictWithHeader.begin(), kPictFileHeaderSize, 0);
    struct Row {
        const char* name;
        Bytes data;
        OwnFormat format;
        int depth;
        const Bitmap* pixels;
    };
    const Row rows[] = {
        {"picture", pictOf(grey), OwnFormat::kPict, kDepthGrey8, &grey},
        {"picture file", pictWithHeader, OwnFormat::kPict, kDepth32, &colour},
        {"sgi", testing::writeSgi(colour, {true, 3}), OwnFormat::kSgi, kDepth24, &colour},
        {"tga", testing::writeTga(colour, {10, 24}), OwnFormat::kTga, kDepth24, &colour},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(detectOwnFormat(row.data.data(), row.data.size()), row.format);
        ImageHeader header;
        ASSERT_EQ(readOwnFormatHeader(row.format, row.data.data(), row.data.size(), header), kNoErr);
        EXPECT_EQ(header.width, 5);
        EXPECT_EQ(header.height, 3);
        EXPECT_EQ(header.depth, row.depth);
        EXPECT_EQ(header.hRes, kDefaultResolution);
        Bitmap b;
        ASSERT_EQ(decodeOwnFormat(row.format, row.data.data(), row.data.size(), {}, b), kNoErr);
        EXPECT_EQ(b.depth(), row.depth);
        EXPECT_TRUE(testing::samePixels(*row.pixels, b));
    }
}

TEST(OwnCodecs, OtherDataIsNoneOfThem) {
    const Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13, 'I', 'H', 'D', 'R', 0, 0, 0, 1};
    const Bytes jpeg = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 72, 0, 72, 0, 0};
    const Bytes text(600, 'a');
    const Bytes zeros(600, 0);
    for (const Bytes* data : {&png, &jpeg, &text, &zeros}) {
        EXPECT_EQ(detectOwnFormat(data->data(), data->size()), OwnFormat::kNone) << data->size();
    }
    EXPECT_EQ(detectOwnFormat(nullptr, 0), OwnFormat::kNone);
    Bitmap b;
    EXPECT_EQ(decodeOwnFormat(OwnFormat::kNone, png.data(), png.size(), {}, b), kParamErr);
}

TEST(OwnCodecs, ADamagedPictureIsStillAPicture) {
    Bytes data = pictOf(makePattern(5, 3, kDepth8));
    data.resize(data.size() - 10);
    ASSERT_EQ(detectOwnFormat(data.data(), data.size()), OwnFormat::kPict);
    Bitmap b;
    EXPECT_EQ(decodeOwnFormat(OwnFormat::kPict, data.data(), data.size(), {}, b), kBadPictureData);
}

}  // namespace
}  // namespace korvane::media
