#pragma once
// Windows device-independent bitmaps: the clipboard's CF_DIB data and the body of a .bmp file
// after its 14-byte file header. An information header (core 12 bytes, or 40, 52, 56, 108 or
// 124 bytes), the colour table or colour masks, then rows padded to 4 bytes, bottom-up or
// top-down (negative height).
//
// Reader: 1, 4 and 8 bits with a palette (a grey ramp palette gives the grey depths), 16 bits
// (555 or any masks, stored as 555), 24 bits, 32 bits (BI_RGB with its fourth byte as alpha
// unless that is zero everywhere, or masks with or without an alpha mask). Run-length
// compressed and embedded JPEG/PNG bitmaps are refused with -104 (the clipboard holds none).
// Writer: a 40-byte header, bottom-up rows, BI_RGB; 1, 4, 8, 16, 24 and 32 bits as the bitmap
// has them, 2-bit and grey bitmaps widened to 4 or 8 bits with their palette; the resolution
// in pixels per metre.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

// Header only. 0; -104 not a bitmap this reader decodes (or one larger than its data);
// -50 null data.
Status readDibHeader(const uint8_t* data, size_t size, ImageHeader& header);

// 0; -104 damaged or truncated; -108 above maxBytes or out of memory; -50 null data.
// On failure out is empty.
Status readDib(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out);

// 0; -50 empty bitmap; -108 out of memory.
Status writeDib(const Bitmap& bitmap, ByteWriter& out);

// Resolution conversions between 16.16 pixels per inch and whole pixels per metre. Reading
// snaps to whole dots per inch where the metre value cannot tell them apart (3780 is 96).
int32_t pixelsPerMetre(Fixed resolution);
Fixed resolutionFromPixelsPerMetre(int32_t pixelsPerMetre);

}  // namespace korvane::media
