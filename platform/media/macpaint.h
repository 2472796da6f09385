#pragma once
// MacPaint documents ('PNTG'): a 576 x 720 black-and-white page after a 512-byte header (a
// version word and 38 fill patterns), 720 rows of 72 bytes each packed with PackBits, 1 for
// black. Files that crossed from the Macintosh may carry a 128-byte MacBinary header first.
//
// The format has no magic number: the data is taken as a MacPaint document only when its
// version is 0, 2 or 3 and its rows unpack to exactly 720 rows of 72 bytes.
//
// Reader: depth 1 (palette white, black), 72 dpi. Writer: the bitmap's top-left 576 x 720
// pixels on a white page, each pixel black when its luminance is below one half.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

inline constexpr int32_t kMacPaintWidth = 576;
inline constexpr int32_t kMacPaintHeight = 720;

bool isMacPaintImage(const uint8_t* data, size_t size);

// 0; -104 not a MacPaint document; -50 null data.
Status readMacPaintHeader(const uint8_t* data, size_t size, ImageHeader& header);
Status readMacPaint(const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out);

// 0; -50 empty bitmap; -108 out of memory.
Status writeMacPaint(const Bitmap& bitmap, ByteWriter& out);

}  // namespace korvane::media
