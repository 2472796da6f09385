#pragma once
// Test images written by the tests through the Windows Imaging Component's encoders (BMP,
// PNG, JPEG, GIF, TIFF) and by our own writers (PICT, TGA, SGI).

#include <windows.h>

#include <wincodec.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/media/bitmap.h"

namespace korvane::image_testing {

using Bytes = std::vector<uint8_t>;

struct FrameLayout {
    GUID format = GUID_WICPixelFormat24bppBGR;
    UINT width = 16;
    UINT height = 16;
    double dpiX = 72;
    double dpiY = 72;
    std::vector<WICColor> palette;  // indexed formats
};

// Pixel bytes of a frame: a pattern that changes with x, y and the byte within the pixel.
// For indexed formats the values stay below the palette size.
Bytes patternPixels(const FrameLayout& frame, UINT& stride);

// Encodes frames into a file of the container format (GUID_ContainerFormatPng, ...).
// Empty on failure.
Bytes encodeImage(const GUID& container, const std::vector<FrameLayout>& frames);

// A grey ramp palette of n entries, and a palette of n distinct colours.
std::vector<WICColor> colourPalette(int n);

// Writes bytes to a file by its ANSI name; false on failure.
bool writeBytes(const std::string& path, const Bytes& bytes);

// A picture of one bitmap, written by our writer.
Bytes pictOf(const media::Bitmap& bitmap);

}  // namespace korvane::image_testing
