// Importers over the test corpus: every format found by its content, its size, depth,
// resolution and pages read from the header, pixels decoded as written, and damaged files
// answered with a status.

#include <gtest/gtest.h>

#include "platform/media/header_probe.h"
#include "platform/media/importer.h"
#include "platform/media/wic_decoder.h"
#include "platform/win32/raii.h"
#include "tests/image/image_corpus.h"
#include "tests/media/test_images.h"

namespace korvane::image_testing {
namespace {

using media::Bitmap;
using media::Importer;

TEST(ImporterTest, DescribesEveryCorpusImage) {
    for (const CorpusImage& image : corpus()) {
        SCOPED_TRACE(image.name);
        ASSERT_FALSE(image.bytes.empty()) << "the test could not write this image";
        Importer importer;
        ASSERT_EQ(importer.openFile(corpusPath(image.name).c_str()), kNoErr);
        int32_t width = 0;
        int32_t height = 0;
        ASSERT_EQ(importer.naturalBounds(width, height), kNoErr);
        EXPECT_EQ(width, image.width);
        EXPECT_EQ(height, image.height);
        media::ImageDescription description;
        ASSERT_EQ(importer.imageDescription(description), kNoErr);
        EXPECT_EQ(description.depth, image.depth);
        EXPECT_EQ(description.hRes, image.hDpi * media::kFixedOne);
        EXPECT_EQ(description.vRes, image.vDpi * media::kFixedOne);
        int pages = 0;
        ASSERT_EQ(importer.imageCount(pages), kNoErr);
        EXPECT_EQ(pages, image.pages);
        EXPECT_EQ(importer.imageIndex(), 1);
    }
}

TEST(ImporterTest, IndexedImagesCarryTheirColourTable) {
    Importer importer;
    ASSERT_EQ(importer.openFile(corpusPath("indexed4.bmp").c_str()), kNoErr);
    media::ImageDescription description;
    ASSERT_EQ(importer.imageDescription(description), kNoErr);
    ASSERT_EQ(description.colourCount, 16);
    const std::vector<WICColor> written = colourPalette(16);
    for (int i = 0; i < 16; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(description.colours[i].red, (written[i] >> 16) & 0xFF);
        EXPECT_EQ(description.colours[i].green, (written[i] >> 8) & 0xFF);
        EXPECT_EQ(description.colours[i].blue, written[i] & 0xFF);
    }
}

TEST(ImporterTest, SelectsPagesByNumber) {
    Importer importer;
    ASSERT_EQ(importer.openFile(corpusPath("pages.tif").c_str()), kNoErr);
    ASSERT_EQ(importer.setImageIndex(2), kNoErr);
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_EQ(importer.naturalBounds(width, height), kNoErr);
    EXPECT_EQ(width, 40);
    EXPECT_EQ(height, 30);
    EXPECT_EQ(importer.imageIndex(), 2);
    // Outside 1..count: refused, the current page kept.
    EXPECT_EQ(importer.setImageIndex(3), kParamErr);
    EXPECT_EQ(importer.setImageIndex(0), kParamErr);
    EXPECT_EQ(importer.imageIndex(), 2);
    ASSERT_EQ(importer.setImageIndex(1), kNoErr);
    ASSERT_EQ(importer.naturalBounds(width, height), kNoErr);
    EXPECT_EQ(width, 20);
}

TEST(ImporterTest, DecodesPixelsAsWritten) {
    // 24-bit BMP: the pattern bytes come back as blue, green, red.
    const auto apartment = win32::init_com_apartment();
    FrameLayout layout;
    layout.width = 640;
    layout.height = 480;
    UINT stride = 0;
    const Bytes expected = patternPixels(layout, stride);
    Importer importer;
    ASSERT_EQ(importer.openFile(corpusPath("rgb640.bmp").c_str()), kNoErr);
    Bitmap bitmap;
    ASSERT_EQ(importer.decode(bitmap), kNoErr);
    ASSERT_EQ(bitmap.depth(), media::kDepth24);
    ASSERT_EQ(bitmap.stride(), stride);
    EXPECT_EQ(std::memcmp(bitmap.row(0), expected.data(), expected.size()), 0);
}

TEST(ImporterTest, OurOwnFormatsDecodeTheRightWayUp) {
    const Bitmap pattern = media::testing::makePattern(40, 30, media::kDepth24);
    for (const char* name : {"bottom_up.tga", "top_down.tga", "tga_named.png", "image.sgi"}) {
        SCOPED_TRACE(name);
        Importer importer;
        ASSERT_EQ(importer.openFile(corpusPath(name).c_str()), kNoErr);
        Bitmap bitmap;
        ASSERT_EQ(importer.decode(bitmap), kNoErr);
        EXPECT_TRUE(media::testing::samePixels(pattern, bitmap));
    }
}

TEST(ImporterTest, PicturesReadBackAtTheirDepth) {
    struct Row {
        const char* name;
        Bitmap pattern;
    };
    const Row rows[] = {
        {"picture8.pct", media::testing::makePattern(24, 20, media::kDepth8)},
        {"picture32.pct", media::testing::makePattern(33, 17, media::kDepth32)},
        {"grey.pct", media::testing::makePattern(20, 12, media::kDepthGrey8)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Importer importer;
        ASSERT_EQ(importer.openFile(corpusPath(row.name).c_str()), kNoErr);
        Bitmap bitmap;
        ASSERT_EQ(importer.decode(bitmap), kNoErr);
        EXPECT_EQ(bitmap.depth(), row.pattern.depth());
        EXPECT_TRUE(media::testing::samePixels(row.pattern, bitmap));
    }
}

TEST(ImporterTest, DecodesEveryCorpusImageAtItsDepth) {
    for (const CorpusImage& image : corpus()) {
        SCOPED_TRACE(image.name);
        Importer importer;
        ASSERT_EQ(importer.openFile(corpusPath(image.name).c_str()), kNoErr);
        Bitmap bitmap;
        ASSERT_EQ(importer.decode(bitmap), kNoErr);
        EXPECT_EQ(bitmap.width(), image.width);
        EXPECT_EQ(bitmap.height(), image.height);
        EXPECT_EQ(bitmap.depth(), image.depth);
    }
}

TEST(ImporterTest, AnswersFileErrors) {
    Importer importer;
    EXPECT_EQ(importer.openFile((corpusFolder() + "\\missing.png").c_str()), kFileNotFound);
    EXPECT_EQ(importer.openFile((corpusFolder() + "\\nofolder\\missing.png").c_str()), kFileNotFound);
    EXPECT_FALSE(importer.isOpen());
    const std::string empty = corpusFolder() + "\\empty.png";
    ASSERT_TRUE(writeBytes(empty, {}));
    EXPECT_EQ(importer.openFile(empty.c_str()), media::kNoImporter);
    const std::string text = corpusFolder() + "\\text.png";
    ASSERT_TRUE(writeBytes(text, Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e', '\n'}));
    EXPECT_EQ(importer.openFile(text.c_str()), media::kNoImporter);
    EXPECT_FALSE(importer.isOpen());
}

// Every image cut short at several lengths, and with its middle overwritten: each step
// answers a status, and whatever opens can be asked everything without a crash.
TEST(ImporterTest, DamagedFilesGiveAStatus) {
    for (const CorpusImage& image : corpus()) {
        const size_t size = image.bytes.size();
        const size_t cuts[] = {1, 8, 20, 60, size / 4, size / 2, size - 1};
        for (int variant = 0; variant < 8; ++variant) {
            Bytes damaged = image.bytes;
            if (variant < 7) {
                damaged.resize(std::min(cuts[variant], size));
            } else {
                for (size_t i = size / 3; i < size && i < size / 3 + 64; ++i) {
                    damaged[i] = static_cast<uint8_t>(0xFF - i);
                }
            }
            SCOPED_TRACE(image.name + " variant " + std::to_string(variant));
            media::OwnedBytes bytes;
            ASSERT_EQ(media::copyBytes(damaged.data(), damaged.size(), bytes), kNoErr);
            Importer importer;
            if (importer.openBytes(std::move(bytes)) != kNoErr) {
                EXPECT_FALSE(importer.isOpen());
                continue;
            }
            int32_t width = 0;
            int32_t height = 0;
            media::ImageDescription description;
            int pages = 0;
            Bitmap bitmap;
            (void)importer.naturalBounds(width, height);
            (void)importer.imageDescription(description);
            (void)importer.imageCount(pages);
            if (importer.decode(bitmap, size_t{64} << 20) == kNoErr) {
                EXPECT_GT(bitmap.width(), 0);
            }
        }
    }
}

}  // namespace
}  // namespace korvane::image_testing

namespace korvane::image_testing {
namespace {

// The header probe must answer what the system decoder answers once it has decoded.
TEST(ImporterTest, HeaderProbeAgreesWithTheSystemDecoder) {
    const auto apartment = win32::init_com_apartment();
    int probed = 0;
    for (const CorpusImage& image : corpus()) {
        media::ProbedHeader header;
        if (!media::probeHeader(image.bytes.data(), image.bytes.size(), header)) {
            continue;
        }
        SCOPED_TRACE(image.name);
        ++probed;
        win32::com_ptr<IWICImagingFactory> factory;
        win32::com_ptr<IWICStream> stream;
        win32::com_ptr<IWICBitmapDecoder> decoder;
        win32::com_ptr<IWICBitmapFrameDecode> frame;
        ASSERT_EQ(media::wic::createFactory(factory), kNoErr);
        ASSERT_EQ(media::wic::createDecoder(factory.get(), image.bytes.data(), image.bytes.size(), stream, decoder),
                  kNoErr);
        ASSERT_TRUE(SUCCEEDED(decoder->GetFrame(0, frame.put())));
        media::ImageDescription system;
        ASSERT_EQ(media::wic::describeFrame(factory.get(), decoder.get(), frame.get(), system), kNoErr);
        UINT width = 0;
        UINT height = 0;
        frame->GetSize(&width, &height);
        EXPECT_EQ(header.width, static_cast<int32_t>(width));
        EXPECT_EQ(header.height, static_cast<int32_t>(height));
        EXPECT_EQ(media::reportedDepth(header.format), system.depth);
        EXPECT_EQ(header.hRes, system.hRes);
        EXPECT_EQ(header.vRes, system.vRes);
        EXPECT_EQ(header.colourCount, system.colourCount);
    }
    EXPECT_GE(probed, 8);
}

}  // namespace
}  // namespace korvane::image_testing
