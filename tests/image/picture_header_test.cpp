// The picture file header added in front of picture data and taken away again.

#include <gtest/gtest.h>

#include <cstring>

#include "image/picture_header.h"
#include "platform/media/pict.h"
#include "tests/media/test_images.h"

namespace korvane {
namespace {

media::OwnedBytes pictureBytes() {
    media::ByteWriter writer;
    EXPECT_EQ(media::writePict(media::testing::makePattern(9, 4, media::kDepth8), writer), kNoErr);
    media::OwnedBytes picture;
    EXPECT_EQ(media::takeWritten(writer, picture), kNoErr);
    return picture;
}

TEST(PictureHeaderTest, AddsAndRemovesTheFileHeader) {
    const media::OwnedBytes original = pictureBytes();
    media::OwnedBytes data;
    ASSERT_EQ(media::copyBytes(original.data.get(), original.size, data), kNoErr);
    ASSERT_EQ(addPictureHeader(data), kNoErr);
    ASSERT_EQ(data.size, original.size + media::kPictFileHeaderSize);
    EXPECT_EQ(std::memcmp(data.data.get() + media::kPictFileHeaderSize, original.data.get(), original.size), 0);
    media::PictInfo info;
    ASSERT_EQ(media::readPictInfo(data.data.get(), data.size, info), kNoErr);
    EXPECT_EQ(info.dataOffset, media::kPictFileHeaderSize);

    ASSERT_EQ(removePictureHeader(data), kNoErr);
    ASSERT_EQ(data.size, original.size);
    EXPECT_EQ(std::memcmp(data.data.get(), original.data.get(), original.size), 0);
}

TEST(PictureHeaderTest, DataShorterThanTheHeaderIsRefused) {
    const media::OwnedBytes original = pictureBytes();
    media::OwnedBytes data;
    ASSERT_EQ(media::copyBytes(original.data.get(), 100, data), kNoErr);
    EXPECT_EQ(removePictureHeader(data), kOutOfMemory);
    EXPECT_EQ(data.size, 100u);
    EXPECT_EQ(std::memcmp(data.data.get(), original.data.get(), 100), 0);

    media::OwnedBytes none;
    EXPECT_EQ(removePictureHeader(none), kOutOfMemory);
    // A header alone leaves an empty picture.
    ASSERT_EQ(addPictureHeader(none), kNoErr);
    EXPECT_EQ(none.size, media::kPictFileHeaderSize);
    ASSERT_EQ(removePictureHeader(none), kNoErr);
    EXPECT_TRUE(none.empty());
}

}  // namespace
}  // namespace korvane
