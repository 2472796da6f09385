// ImageMagick (Debian's package) as the independent reader of every format it knows that we
// write, and as a writer of pictures we must read. Skipped where `convert` is not installed.

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/media/exporter.h"
#include "platform/media/pict.h"
#include "tests/media/test_images.h"

namespace korvane::media {
namespace {

using testing::Bytes;
using testing::makePattern;
namespace fs = std::filesystem;

bool haveImageMagick() {
    return std::system("convert -version >/dev/null 2>&1") == 0;
}

fs::path scratchFolder() {
    fs::path folder = fs::temp_directory_path() / ("korvane_im_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    return folder;
}

void writeFile(const fs::path& path, const uint8_t* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

Bytes readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// ImageMagick's reading of a file as 8-bit RGBA; empty when it fails.
Bytes decodeWithImageMagick(const fs::path& file, const char* coder, int& width, int& height) {
    fs::path rgba = file;
    rgba += ".rgba";
    fs::path size = file;
    size += ".size";
    std::string input = std::string(coder) + ":" + file.string() + "[0]";
    std::string command = "convert '" + input + "' -depth 8 'RGBA:" + rgba.string() +
                          "' 2>/dev/null && identify -format '%w %h' '" + input + "' > '" + size.string() +
                          "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) {
        return {};
    }
    std::ifstream sizes(size);
    sizes >> width >> height;
    return readFile(rgba);
}

struct Format {
    const char* name;
    uint32_t type;
    const char* coder;
    int depth;
    bool alpha;
    int tolerance;          // largest difference of a channel (JPEG only)
    bool alphaRead = true;  // whether ImageMagick takes the alpha as transparency
};

TEST(ImageMagick, ReadsWhatWeWrite) {
    if (!haveImageMagick()) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    const Format formats[] = {
        {"pict", kFileTypePict, "PICT", kDepth24, false, 0},
        {"pict 8", kFileTypePict, "PICT", kDepth8, false, 0},
        {"bmp", kFileTypeBmp, "BMP", kDepth24, false, 0},
        {"bmp 8", kFileTypeBmp, "BMP", kDepth8, false, 0},
        {"png", kFileTypePng, "PNG", kDepth24, false, 0},
        {"png alpha", kFileTypePng, "PNG", kDepth32, true, 0},
        {"tiff", kFileTypeTiff, "TIFF", kDepth24, false, 0},
        {"tiff alpha", kFileTypeTiff, "TIFF", kDepth32, true, 0},
        {"tiff 4", kFileTypeTiff, "TIFF", kDepth4, false, 0},
        {"gif 8", kFileTypeGif, "GIF", kDepth8, false, 0},
        {"tga", kFileTypeTga, "TGA", kDepth24, false, 0},
        {"tga alpha", kFileTypeTga, "TGA", kDepth32, true, 0},
        {"sgi", kFileTypeSgi, "SGI", kDepth24, false, 0},
        {"psd", kFileTypePhotoshop, "PSD", kDepth24, false, 0},
        // A layerless Photoshop file's fourth channel is an extra channel, which ImageMagick
        // does not take as transparency; the colours must still be exact.
        {"psd alpha", kFileTypePhotoshop, "PSD", kDepth32, true, 0, false},
        {"jpeg", kFileTypeJpeg, "JPEG", kDepth24, false, 40},
    };
    fs::path folder = scratchFolder();
    for (const Format& format : formats) {
        SCOPED_TRACE(format.name);
        Bitmap source = makePattern(37, 11, format.depth, format.alpha);
        if (format.tolerance > 0) {
            // A smooth image: JPEG's loss on noise is not what this measures.
            for (int32_t y = 0; y < 11; ++y) {
                for (int32_t x = 0; x < 37; ++x) {
                    source.setPixel(x, y, Rgba{static_cast<uint8_t>(x * 6), static_cast<uint8_t>(y * 20), 128, 255});
                }
            }
        }
        ExportOptions options;
        options.quality = 1000;
        ByteWriter file;
        ASSERT_EQ(encodeForExport(source, format.type, options, file), kNoErr);
        fs::path path = folder / format.name;
        writeFile(path, file.data(), file.size());
        int width = 0;
        int height = 0;
        Bytes rgba = decodeWithImageMagick(path, format.coder, width, height);
        ASSERT_EQ(rgba.size(), size_t{37} * 11 * 4) << "ImageMagick could not read it";
        EXPECT_EQ(width, 37);
        EXPECT_EQ(height, 11);
        int worst = 0;
        for (int32_t y = 0; y < 11; ++y) {
            for (int32_t x = 0; x < 37; ++x) {
                Rgba e = source.pixel(x, y);
                const uint8_t* a = &rgba[(static_cast<size_t>(y) * 37 + static_cast<size_t>(x)) * 4];
                const int expected[4] = {e.red, e.green, e.blue, format.alpha ? e.alpha : 255};
                for (int c = 0; c < (format.alphaRead ? 4 : 3); ++c) {
                    worst = std::max(worst, std::abs(expected[c] - a[c]));
                }
            }
        }
        EXPECT_LE(worst, format.tolerance);
    }
    fs::remove_all(folder);
}

TEST(ImageMagick, ItsPicturesRead) {
    if (!haveImageMagick()) {
        GTEST_SKIP() << "ImageMagick's convert is not installed";
    }
    fs::path folder = scratchFolder();
    const std::pair<int32_t, int> sizes[] = {{37, kDepth24}, {120, kDepth24}, {7, kDepth8}};
    for (auto [width, depth] : sizes) {
        SCOPED_TRACE(width);
        Bitmap source = makePattern(width, 9, depth);
        ByteWriter png;
        ASSERT_EQ(encodeForExport(source, kFileTypePng, ExportOptions{}, png), kNoErr);
        fs::path input = folder / "in.png";
        fs::path picture = folder / "out.pict";
        writeFile(input, png.data(), png.size());
        std::string command = "convert '" + input.string() + "' 'PICT:" + picture.string() + "' 2>/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0);
        Bytes bytes = readFile(picture);
        Bitmap back;
        ASSERT_EQ(readPict(bytes.data(), bytes.size(), PictReadOptions{}, back), kNoErr);
        EXPECT_TRUE(testing::samePixels(source, back));
    }
    fs::remove_all(folder);
}

}  // namespace
}  // namespace korvane::media
