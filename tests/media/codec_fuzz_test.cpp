// Each reader on thousands of deterministic mutations of valid files: every one must give a
// status, a bitmap exactly when it succeeds, and no read or write outside its buffers (the
// sanitizers watch). The data is copied into a buffer of exactly its size for each run.

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "platform/media/dib.h"
#include "platform/media/macpaint.h"
#include "platform/media/photoshop.h"
#include "platform/media/pict.h"
#include "platform/media/qtif.h"
#include "platform/media/sgi.h"
#include "platform/media/tga.h"
#include "tests/media/test_images.h"
#include "tests/support/seeded_random.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
using testing::PictBuilder;

constexpr int kMutationsPerSeed = 600;
constexpr size_t kFuzzMaxBytes = size_t{4} << 20;

using Rng = test::SeededRandom;

void putBe(Bytes& d, size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes && at + static_cast<size_t>(i) < d.size(); ++i) {
        d[at + static_cast<size_t>(i)] = static_cast<uint8_t>(v >> (8 * (bytes - 1 - i)));
    }
}

Bytes mutate(const Bytes& seed, Rng& rng) {
    static constexpr uint8_t kBytes[] = {0, 1, 0x7F, 0x80, 0xFF};
    static constexpr uint32_t kWords[] = {0, 1, 0x7FFF, 0x8000, 0xFFFF, 0x00FF, 0x0100};
    static constexpr uint32_t kLongs[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 0x00010000, 0x000000FF};
    Bytes d = seed;
    int count = 1 + static_cast<int>(rng.below(4));
    for (int i = 0; i < count && !d.empty(); ++i) {
        size_t at = rng.below(static_cast<uint32_t>(d.size()));
        switch (rng.below(7)) {
            case 0:
                d[at] ^= static_cast<uint8_t>(1u << rng.below(8));
                break;
            case 1:
                d[at] = kBytes[rng.below(std::size(kBytes))];
                break;
            case 2:
                putBe(d, at, kWords[rng.below(std::size(kWords))], 2);
                break;
            case 3:
                putBe(d, at, kLongs[rng.below(std::size(kLongs))], 4);
                break;
            case 4:
                d.resize(at);
                break;
            case 5:
                d.insert(d.begin() + static_cast<ptrdiff_t>(at), 1 + rng.below(16), static_cast<uint8_t>(rng.next()));
                break;
            default:
                d[at] = static_cast<uint8_t>(rng.next());
                break;
        }
    }
    return d;
}

using Reader = std::function<Status(const uint8_t*, size_t, Bitmap&)>;

void fuzz(const char* name, const std::vector<Bytes>& seeds, const Reader& read) {
    Rng rng(0x6B6F7276616E65ULL);
    int successes = 0;
    for (size_t s = 0; s < seeds.size(); ++s) {
        {
            Bitmap b;
            ASSERT_EQ(read(seeds[s].data(), seeds[s].size(), b), kNoErr) << name << " seed " << s << " must decode";
        }
        for (int m = 0; m < kMutationsPerSeed; ++m) {
            Bytes data = mutate(seeds[s], rng);
            std::unique_ptr<uint8_t[]> exact(new uint8_t[data.size() + 1]);
            std::memcpy(exact.get(), data.data(), data.size());
            Bitmap b;
            Status status = read(exact.get(), data.size(), b);
            bool known = status == kNoErr || status == kBadPictureData || status == kOutOfMemory;
            ASSERT_TRUE(known) << name << " seed " << s << " mutation " << m << " status " << status;
            ASSERT_EQ(b.empty(), status != kNoErr) << name << " seed " << s << " mutation " << m;
            if (status == kNoErr) {
                ++successes;
                ASSERT_GT(b.width(), 0);
                ASSERT_LE(b.byteSize(), kFuzzMaxBytes);
            }
        }
    }
    // Some mutations hit pixels only; the readers must keep decoding those.
    EXPECT_GT(successes, 0) << name;
}

Status fakeDecoder(void*, uint32_t, const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out) {
    if (size < 2 || data[0] != 0xFF) {
        return kBadPictureData;
    }
    return out.create(1 + data[1] % 5, 2, kDepth24, maxBytes);
}

Bytes pictureWithEverything() {
    PictBuilder p(2, 0, 0, 6, 8);
    p.op(0x0001).u16(10 + 8 + 8 + 2).rect(0, 0, 6, 8);
    p.u16(0).u16(0).u16(8).u16(0x7FFF).u16(6).u16(0).u16(8).u16(0x7FFF).u16(0x7FFF);
    p.op(0x0012).u16(2).u32(0).u32(0).u16(1).u16(2).u16(3);
    p.op(0x00A1).u16(1).u16(3).u8(1).u8(2).u8(3);
    // Direct bits with a mask region, scaled.
    p.op(0x009B).u32(0xFF).u16(0x8000 | 8).rect(0, 0, 1, 2).bytes(testing::pixMapTail(1, 32, 3, 16));
    p.rect(0, 0, 1, 2).rect(0, 0, 3, 6).u16(0);
    p.u16(10 + 8 + 2).rect(0, 0, 3, 6).u16(0).u16(1).u16(4).u16(0x7FFF).u16(0x7FFF);
    p.u32(0x00FF0000).u32(0x0000FF00);
    // Packed 4-bit indices with a colour table.
    p.op(0x0098).u16(0x8000 | 8).rect(0, 0, 2, 16).bytes(testing::pixMapTail(0, 4, 1, 0));
    p.u32(0).u16(0).u16(1).u16(0).u16(0xFFFF).u16(0).u16(0).u16(1).u16(0).u16(0).u16(0xFFFF);
    p.rect(0, 0, 2, 16).rect(3, 0, 5, 8).u16(0);
    p.u8(2).u8(0xF9).u8(0x12).u8(3).u8(0x01).u8(0x23).u8(0x45).u8(0x67);
    // A compressed image with image data for the decoder.
    Bytes body(68, 0);
    body[3] = 1;   // matrix: scale x 1.0 (bytes 2..5)
    body[19] = 1;  // scale y 1.0
    body[57] = 2;  // source rectangle bottom
    body[59] = 2;  // source rectangle right
    Bytes description(86, 0);
    description[3] = 86;
    std::memcpy(description.data() + 4, "jpeg", 4);
    description[33] = 2;
    description[35] = 2;
    description[83] = 24;
    body.insert(body.end(), description.begin(), description.end());
    body.insert(body.end(), {0xFF, 0x07, 1, 2});
    p.op(0x8200).u32(static_cast<uint32_t>(body.size())).bytes(body);
    return p.end();
}

TEST(CodecFuzz, PictureReaderAlwaysAnswersWithAStatus) {
    std::vector<Bytes> seeds;
    for (auto [depth, alpha, width] :
         {std::tuple{kDepth1, false, 19}, std::tuple{kDepth4, false, 9}, std::tuple{kDepthGrey8, false, 12},
          std::tuple{kDepth16, false, 6}, std::tuple{kDepth32, true, 5}, std::tuple{kDepth24, false, 130}}) {
        ByteWriter w;
        EXPECT_EQ(writePict(makePattern(width, 3, depth, alpha, depth == kDepth4 ? 6 : 0), w), kNoErr);
        seeds.push_back(testing::toBytes(w));
    }
    seeds.push_back(pictureWithEverything());
    PictReadOptions options;
    options.decodeImageData = &fakeDecoder;
    options.maxBitmapBytes = kFuzzMaxBytes;
    fuzz("pict", seeds, [&](const uint8_t* data, size_t size, Bitmap& out) {
        PictInfo info;
        Status infoStatus = readPictInfo(data, size, info);
        Status status = readPict(data, size, options, out);
        EXPECT_TRUE(status != kNoErr || infoStatus == kNoErr) << "decoded a picture that information refused";
        return status;
    });
}

TEST(CodecFuzz, TgaReaderAlwaysAnswersWithAStatus) {
    std::vector<Bytes> seeds = {
        testing::writeTga(makePattern(7, 5, kDepth8, false, 30), {9, 8}),
        testing::writeTga(makePattern(7, 5, kDepth8, false, 30), {1, 8, true, false, 16}),
        testing::writeTga(makePattern(9, 4, kDepth24), {10, 24, true}),
        testing::writeTga(makePattern(9, 4, kDepth32, true), {2, 32, false, true}),
        testing::writeTga(makePattern(9, 4, kDepth16), {10, 16}),
        testing::writeTga(makePattern(9, 4, kDepthGrey8), {11, 8}),
    };
    fuzz("tga", seeds,
         [](const uint8_t* data, size_t size, Bitmap& out) { return readTga(data, size, kFuzzMaxBytes, out); });
}

TEST(CodecFuzz, SgiReaderAlwaysAnswersWithAStatus) {
    std::vector<Bytes> seeds = {
        testing::writeSgi(makePattern(9, 4, kDepthGrey8), {true, 1}),
        testing::writeSgi(makePattern(9, 4, kDepth24), {true, 3, 2}),
        testing::writeSgi(makePattern(9, 4, kDepth32, true), {false, 4}),
        testing::writeSgi(makePattern(9, 4, kDepth24), {false, 3}),
    };
    fuzz("sgi", seeds,
         [](const uint8_t* data, size_t size, Bitmap& out) { return readSgi(data, size, kFuzzMaxBytes, out); });
}

}  // namespace
}  // namespace korvane::media

namespace korvane::media {
namespace {

TEST(CodecFuzz, DibReaderAlwaysAnswersWithAStatus) {
    std::vector<Bytes> seeds;
    for (auto [depth, alpha] : {std::pair{kDepth1, false}, std::pair{kDepth4, false}, std::pair{kDepthGrey8, false},
                                std::pair{kDepth16, false}, std::pair{kDepth24, false}, std::pair{kDepth32, true}}) {
        ByteWriter w;
        EXPECT_EQ(writeDib(makePattern(7, 3, depth, alpha), w), kNoErr);
        seeds.push_back(testing::toBytes(w));
    }
    fuzz("dib", seeds,
         [](const uint8_t* data, size_t size, Bitmap& out) { return readDib(data, size, kFuzzMaxBytes, out); });
}

Bytes written(Status (*write)(const Bitmap&, ByteWriter&), const Bitmap& bitmap) {
    ByteWriter w;
    EXPECT_EQ(write(bitmap, w), kNoErr);
    return testing::toBytes(w);
}

TEST(CodecFuzz, PhotoshopReaderAlwaysAnswersWithAStatus) {
    std::vector<Bytes> seeds = {
        written(writePhotoshop, makePattern(9, 4, kDepth24)),
        written(writePhotoshop, makePattern(9, 4, kDepth32, true)),
        written(writePhotoshop, makePattern(9, 4, kDepth8, false, 30)),
        written(writePhotoshop, makePattern(9, 4, kDepthGrey8)),
        testing::photoshopRunLength(),
    };
    fuzz("psd", seeds, [](const uint8_t* data, size_t size, Bitmap& out) {
        ImageHeader header;
        (void)readPhotoshopHeader(data, size, header);
        return readPhotoshop(data, size, kFuzzMaxBytes, out);
    });
}

TEST(CodecFuzz, QuickTimeImageReaderAlwaysAnswersWithAStatus) {
    const uint8_t jpegLike[] = {0xFF, 0x03, 1, 2};
    ByteWriter coded;
    EXPECT_EQ(writeQuickTimeImageData(jpegLike, sizeof jpegLike, kCodecJpeg, 4, 2, kDepth24, kDefaultResolution,
                                      kDefaultResolution, coded),
              kNoErr);
    std::vector<Bytes> seeds = {
        written(writeQuickTimeImage, makePattern(9, 4, kDepth24)),
        written(writeQuickTimeImage, makePattern(9, 4, kDepth32, true)),
        testing::toBytes(coded),
    };
    PictReadOptions options;
    options.decodeImageData = &fakeDecoder;
    options.maxBitmapBytes = kFuzzMaxBytes;
    fuzz("qtif", seeds, [&](const uint8_t* data, size_t size, Bitmap& out) {
        ImageHeader header;
        (void)readQuickTimeImageHeader(data, size, header);
        return readQuickTimeImage(data, size, options, out);
    });
}

TEST(CodecFuzz, MacPaintReaderAlwaysAnswersWithAStatus) {
    std::vector<Bytes> seeds = {
        written(writeMacPaint, makePattern(40, 30, kDepth1)),
        written(writeMacPaint, makePattern(600, 800, kDepth24)),
    };
    fuzz("pntg", seeds, [](const uint8_t* data, size_t size, Bitmap& out) {
        ImageHeader header;
        (void)readMacPaintHeader(data, size, header);
        return readMacPaint(data, size, kFuzzMaxBytes, out);
    });
}

}  // namespace
}  // namespace korvane::media
