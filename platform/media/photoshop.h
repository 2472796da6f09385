#pragma once
// Photoshop image files ('8BPS', version 1): one composite image after the colour mode data,
// the image resources and the layer section, stored as planes of rows, raw or run-length
// encoded (PackBits with a table of row byte counts).
//
// Reader: bitmap mode (1 bit, depth 1), grey (depth 40, or 32 with an alpha plane), indexed
// (depth 8 with the 256-entry colour mode table) and RGB (24, or 32 with alpha); 8 bits per
// channel, 16-bit channels read by their high byte. The resolution comes from the resolution
// resource (1005), else 72 dpi.
// Writer: raw planes; grey depths as grey, indexed depths widened to an 8-bit indexed image,
// everything else as RGB with an alpha plane when the bitmap has alpha; the resolution
// resource always.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

bool isPhotoshopImage(const uint8_t* data, size_t size);

// Header only. 0; -104 not an image this reader decodes; -50 null data.
Status readPhotoshopHeader(const uint8_t* data, size_t size, ImageHeader& header);

// 0; -104 damaged or truncated; -108 above maxBytes or out of memory; -50 null data.
// On failure out is empty.
Status readPhotoshop(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out);

// 0; -50 empty bitmap or one larger than 30000 pixels a side; -108 out of memory.
Status writePhotoshop(const Bitmap& bitmap, ByteWriter& out);

}  // namespace korvane::media
