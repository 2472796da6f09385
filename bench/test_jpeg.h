#pragma once
// The large JPEG the image benchmarks decode: written once into the temporary folder.

#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/image/image_corpus.h"
#include "tests/image/wic_test_images.h"

namespace korvane::bench {

struct TestJpeg {
    std::string path;  // "" when the file could not be written
    size_t bytes = 0;
};

// Writes a `width` x `height` JPEG named `name` in the temporary folder (a line on standard
// error when it cannot be written).
inline TestJpeg writeTestJpeg(UINT width, UINT height, const char* name) {
    image_testing::FrameLayout frame;
    frame.width = width;
    frame.height = height;
    const image_testing::Bytes jpeg = image_testing::encodeImage(GUID_ContainerFormatJpeg, {frame});
    char temp[MAX_PATH + 1];
    GetTempPathA(sizeof temp, temp);
    const std::string path = std::string(temp) + name;
    if (jpeg.empty() || !image_testing::writeBytes(path, jpeg)) {
        std::fprintf(stderr, "could not write the test JPEG\n");
        return {};
    }
    return {path, jpeg.size()};
}

}  // namespace korvane::bench
