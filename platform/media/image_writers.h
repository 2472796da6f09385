#pragma once
// Writers of the still-image formats that have no header of their own in the media layer:
// JPEG and PNG (through the stb encoders compiled into the module), TIFF and GIF (ours), and
// the file forms of BMP and PICT. Each takes a bitmap of any depth and writes a whole file.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

// Spatial quality as the compression settings carry it: 0 (least) to 1024 (lossless).
inline constexpr int kQualityMin = 0;
inline constexpr int kQualityMax = 1024;
inline constexpr int kQualityNormal = 512;
inline constexpr int kQualityHigh = 768;

// JPEG (baseline, JFIF with the bitmap's resolution), at a spatial quality of 0..1024.
// Transparent pixels are written as they are: JPEG has no alpha.
// 0; -50 empty bitmap or a side above 65535; -108 out of memory.
Status writeJpeg(const Bitmap& bitmap, int quality, ByteWriter& out);

// PNG: grey 8-bit as grey, a bitmap with alpha as RGBA, everything else as RGB; a pHYs chunk
// when the resolution is not 72 dpi. 0; -50 empty bitmap; -108 out of memory.
Status writePng(const Bitmap& bitmap, ByteWriter& out);

// Baseline TIFF, little-endian, one strip per row: indexed depths as a palette image of their
// bits, grey 8-bit as grey, a bitmap with alpha as RGBA (unassociated), everything else RGB;
// rows uncompressed, or packed with PackBits when `packBits` is set; the resolution in dots
// per inch. 0; -50 empty bitmap; -108 out of memory.
Status writeTiff(const Bitmap& bitmap, bool packBits, ByteWriter& out);

// GIF 89a of one image: indexed and grey depths with their palette; other depths with their
// own colours when they use at most 256, else reduced to a 6 x 7 x 6 colour cube. Pixels
// with alpha below one half become the transparent colour.
// 0; -50 empty bitmap or a side above 65535; -108 out of memory.
Status writeGif(const Bitmap& bitmap, ByteWriter& out);

// The 6 x 7 x 6 colour cube that GIF files of many colours and 8-bit compression reduce to:
// fills `palette` (room for 256) and answers its size; the index of a colour's nearest entry.
int colourCubePalette(Rgb* palette);
uint8_t colourCubeIndex(Rgb c);

// A .bmp file: the 14-byte file header in front of the device-independent bitmap.
Status writeBmpFile(const Bitmap& bitmap, ByteWriter& out);

// A picture file: 512 zero bytes in front of the picture.
Status writePictFile(const Bitmap& bitmap, ByteWriter& out);

}  // namespace korvane::media
