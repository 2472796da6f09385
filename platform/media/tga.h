#pragma once
// TGA reader: colour-mapped (types 1 and 9, 8-bit indices), true-colour (2 and 10; 15, 16, 24
// and 32 bits) and grey (3 and 11; 8 bits, or 16 with alpha), raw or run-length encoded,
// stored bottom-up or top-down, left-to-right or right-to-left. Runs may cross rows.
//
// Bitmaps: colour-mapped 8 (palette from the colour map), 15 and 16 bits 16 (the attribute bit
// is dropped), 24 bits 24, 32 bits 32 with alpha (unless every alpha byte is zero), grey 40,
// grey with alpha 32. Resolution 72 dpi: the format carries none.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

// Header only. 0; -104 not a TGA this reader can decode; -50 null data.
Status readTgaHeader(const uint8_t* data, size_t size, ImageHeader& header);

// 0; -104 damaged or truncated; -108 above maxBytes or out of memory; -50 null data.
// On failure out is empty.
Status readTga(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out);

// Writes an uncompressed TGA, rows top-down: indexed depths colour-mapped (256 entries),
// grey 8-bit as grey, 16 bits as 16, 32 bits with alpha as 32, everything else as 24 bits.
// 0; -50 empty bitmap or one larger than 65535 pixels a side; -108 out of memory.
Status writeTga(const Bitmap& bitmap, ByteWriter& out);

}  // namespace korvane::media
