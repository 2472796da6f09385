#pragma once
// Size, depth and resolution of JPEG and PNG files read from their headers alone. Image
// information must not cost a decode, and some system decoders (Wine's among them) decode the
// whole image as soon as they are opened; for these two formats the importer reads the header
// itself and opens the system decoder only to decode. Portable.
//
// The depths are those the system decoder's pixel format gives through the depth table
// (pixel_format.h). A file the probe is not sure about (a PNG with a transparency chunk, a
// JPEG whose height comes later in the data) is left to the system decoder.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/pixel_format.h"

namespace korvane::media {

struct ProbedHeader {
    int32_t width = 0;
    int32_t height = 0;
    PixelFormat format = PixelFormat::kRgb24;
    Fixed hRes = kDefaultResolution;  // the default when the file states none
    Fixed vRes = kDefaultResolution;
    int colourCount = 0;  // PNG palette entries
    Rgb colours[kMaxPaletteSize] = {};
};

// True when the data is a JPEG or PNG file whose header this probe reads completely.
bool probeHeader(const uint8_t* data, size_t size, ProbedHeader& out);

// True when the data is a TIFF file whose image number `index` (1 is the first) states no
// resolution: the system decoder then makes one up (96 dpi), where we answer 72 as for every
// format without one. False for anything else, a damaged file included.
bool tiffLacksResolution(const uint8_t* data, size_t size, int index);

// A resolution in dots per inch as 16.16; within half a pixel per metre above or one pixel per
// metre below a whole number of dots per inch the whole number (300 dpi stored as 11811 pixels
// per metre, and 72 dpi as 2834 by writers that round the metre value down). The default for
// values that are not a resolution (zero, negative, NaN, 32767 and above).
Fixed resolutionFromDotsPerInch(double dotsPerInch);

}  // namespace korvane::media
