#pragma once
// QuickTime image files ('qtif'): an image description atom ('idsc') and the image data atom
// ('idat') at the top level, among others that are skipped. The data is that of the codec the
// description names: uncompressed ('raw ') data is decoded here, any other codec (JPEG, PNG,
// ...) by the image data decoder of the options, as for the compressed images of pictures.
//
// Writer: uncompressed 24-bit data (32-bit with alpha when the bitmap has it), or data already
// compressed by a codec handed in (a JPEG stream kept as it is).

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"
#include "platform/media/pict.h"

namespace korvane::media {

bool isQuickTimeImage(const uint8_t* data, size_t size);

// 0; -104 not a QuickTime image this reader knows; -50 null data. The depth is that of the
// description (a description's 24 stays 24).
Status readQuickTimeImageHeader(const uint8_t* data, size_t size, ImageHeader& header);

// 0; -104 damaged or truncated; -108 above options.maxBitmapBytes or out of memory; a status
// of the image data decoder (-104 when there is none and the codec is not 'raw ').
Status readQuickTimeImage(const uint8_t* data, size_t size, const PictReadOptions& options, Bitmap& out);

// 0; -50 empty bitmap or one larger than 65535 pixels a side; -108 out of memory.
Status writeQuickTimeImage(const Bitmap& bitmap, ByteWriter& out);

// The same for data already compressed by `codec` (depth as the description should state it).
Status writeQuickTimeImageData(const uint8_t* data,
                               size_t size,
                               uint32_t codec,
                               int32_t width,
                               int32_t height,
                               int depth,
                               Fixed hRes,
                               Fixed vRes,
                               ByteWriter& out);

}  // namespace korvane::media
