#pragma once
// SGI image reader: verbatim or run-length encoded, 1 to 4 channels of 8 bits (16-bit
// channels are read by their high byte), rows stored bottom-up.
//
// Bitmaps: 1 channel grey 40, 2 channels (grey, alpha) 32 with alpha, 3 channels 24,
// 4 channels 32 with alpha (unless every alpha byte is zero). Resolution 72 dpi.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

// Header only. 0; -104 not an SGI image this reader can decode; -50 null data.
Status readSgiHeader(const uint8_t* data, size_t size, ImageHeader& header);

// 0; -104 damaged or truncated; -108 above maxBytes or out of memory; -50 null data.
// On failure out is empty.
Status readSgi(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out);

// Writes a verbatim SGI image of 8-bit channels: grey 8-bit as one channel, a bitmap with alpha
// as four, everything else as three. 0; -50 empty bitmap or one larger than 65535 pixels a
// side; -108 out of memory.
Status writeSgi(const Bitmap& bitmap, ByteWriter& out);

}  // namespace korvane::media
