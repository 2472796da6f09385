#pragma once
// Pixel formats a decoder can hand us, and the one table that says at which depth the media
// layer stores and reports each of them. The Windows Imaging Component binding maps its
// format identifiers onto this enumeration; our own codecs name their source formats here too.
//
//   source format                                       depth
//   indexed 1, 2, 4, 8 bits                              1, 2, 4, 8 (the palette kept)
//   black and white (1 bit, no palette)                  1
//   grey 2, 4, 8 bits                                    34, 36, 40
//   grey 16 bits, grey float                             40
//   RGB 16 bits (555 or 565, with or without alpha bit)  16
//   RGB 24 bits, RGB 32 bits with an unused byte          24
//   RGB with alpha 32 bits (straight or premultiplied)    32
//   CMYK 32 and 64 bits                                  32
//   RGB 48 bits                                          24
//   RGBA 64 bits (straight or premultiplied)             32
//   RGB and RGBA float (96, 128 bits)                    24, 32
//
// The depth is also the depth of the Bitmap the format is converted into (see bitmap.h).

#include <cstdint>

namespace korvane::media {

enum class PixelFormat : uint8_t {
    kIndexed1,
    kIndexed2,
    kIndexed4,
    kIndexed8,
    kBlackWhite,
    kGrey2,
    kGrey4,
    kGrey8,
    kGrey16,
    kGreyFloat,
    kRgb555,
    kRgb565,
    kRgba5551,
    kRgb24,
    kRgbx32,
    kRgba32,
    kPremultipliedRgba32,
    kCmyk32,
    kCmyk64,
    kRgb48,
    kRgba64,
    kPremultipliedRgba64,
    kRgbFloat,
    kRgbaFloat,
    kCount,
};

struct PixelFormatInfo {
    PixelFormat format;
    uint8_t bitsPerPixel;  // bits per pixel in the decoder's own layout
    uint8_t depth;         // depth stored and reported by the media layer
    bool hasAlpha;         // the format carries an alpha channel that the bitmap keeps
};

// The row of the table for a format; the row of kRgba32 for a value outside the enumeration.
const PixelFormatInfo& pixelFormatInfo(PixelFormat format);

// Shorthand for pixelFormatInfo(format).depth.
int reportedDepth(PixelFormat format);

}  // namespace korvane::media
