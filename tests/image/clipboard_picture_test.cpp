// Pictures through the clipboard: written as CF_DIB and read back pixel for pixel, the
// registered "Mac-PICT" format taken as it stands, and the picture file header.

#include <gtest/gtest.h>

#include "platform/media/clipboard_picture.h"
#include "platform/media/dib.h"
#include "platform/media/pict.h"
#include "tests/image/clipboard_support.h"
#include "tests/image/wic_test_images.h"
#include "tests/media/test_images.h"

namespace korvane::image_testing {
namespace {

using media::Bitmap;

Bitmap readPicture(const uint8_t* data, size_t size) {
    Bitmap bitmap;
    EXPECT_EQ(media::readPict(data, size, media::PictReadOptions{}, bitmap), kNoErr);
    return bitmap;
}

TEST(ClipboardPictureTest, PutAndReadBackIsTheSameImage) {
    for (int depth : {media::kDepth1, media::kDepth4, media::kDepth8, media::kDepth16, media::kDepth24, media::kDepth32,
                      media::kDepthGrey8}) {
        SCOPED_TRACE(depth);
        const Bitmap pattern = media::testing::makePattern(37, 23, depth);
        const Bytes picture = pictOf(pattern);
        ASSERT_EQ(media::putPictureOnClipboard(nullptr, picture.data(), picture.size()), kNoErr);

        const Bytes dib = clipboardBytes(CF_DIB);
        Bitmap fromDib;
        ASSERT_EQ(media::readDib(dib.data(), dib.size(), media::kDefaultMaxBitmapBytes, fromDib), kNoErr);
        EXPECT_TRUE(media::testing::samePixels(pattern, fromDib));

        media::OwnedBytes readBack;
        ASSERT_EQ(media::readClipboardPicture(nullptr, readBack), kNoErr);
        EXPECT_TRUE(media::testing::samePixels(pattern, readPicture(readBack.data.get(), readBack.size)));
    }
}

TEST(ClipboardPictureTest, TakesTheRegisteredPictureAsItStands) {
    const Bytes picture = pictOf(media::testing::makePattern(9, 4, media::kDepth8));
    ASSERT_TRUE(setClipboard({{pictClipboardFormat(), picture}}));
    media::OwnedBytes readBack;
    ASSERT_EQ(media::readClipboardPicture(nullptr, readBack), kNoErr);
    // The clipboard's block may be rounded up; the picture comes first and whole.
    ASSERT_GE(readBack.size, picture.size());
    EXPECT_EQ(std::memcmp(readBack.data.get(), picture.data(), picture.size()), 0);
}

TEST(ClipboardPictureTest, RefusesPicturesItCannotConvert) {
    const std::string text = "keep me";
    ASSERT_TRUE(setClipboard({{CF_TEXT, Bytes(text.begin(), text.end() + 1)}}));
    const Bytes picture = pictOf(media::testing::makePattern(9, 4, media::kDepth8));
    EXPECT_EQ(media::putPictureOnClipboard(nullptr, nullptr, 0), kOutOfMemory);
    EXPECT_EQ(media::putPictureOnClipboard(nullptr, picture.data(), 20), kOutOfMemory);
    const Bytes garbage(300, 0x41);
    EXPECT_EQ(media::putPictureOnClipboard(nullptr, garbage.data(), garbage.size()), kOutOfMemory);
    // The clipboard is left as it was.
    const Bytes kept = clipboardBytes(CF_TEXT);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(kept.data())), text);
}

TEST(ClipboardPictureTest, BitmapsThatAreNotImagesGiveAStatus) {
    const Bytes tooShort(10, 0);
    ASSERT_TRUE(setClipboard({{CF_DIB, tooShort}}));
    media::OwnedBytes picture;
    EXPECT_EQ(media::readClipboardPicture(nullptr, picture), kBadPictureData);
    EXPECT_TRUE(picture.empty());
}

}  // namespace
}  // namespace korvane::image_testing
