#pragma once
// PICT, the media platform's picture format: reader for versions 1 and 2 and a writer of
// one-bitmap pictures. Portable; the Windows Imaging Component decodes what a picture
// carries in other formats (JPEG inside the compressed-image opcode) through a callback.
//
// The reader takes picture data with or without the 512-byte file header in front. It walks
// the opcodes twice: once to check the whole structure (every length inside the data, the end
// opcode present) and to learn the sizes, then to decode. A picture whose only image fills the
// drawing rectangle unscaled comes back at that image's own depth with its palette and
// resolution; any other picture is drawn into a 32-bit bitmap of the drawing rectangle,
// white where nothing was drawn, each image scaled (nearest pixel) from its source rectangle
// to its destination rectangle, through the clip region and its mask region. Opcodes that
// draw lines, shapes or text are skipped by their lengths. Transfer modes are drawn as copy.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

inline constexpr size_t kPictFileHeaderSize = 512;

// Four-character codes of the compressed-image opcode's codecs.
inline constexpr uint32_t fourCharCode(const char (&c)[5]) {
    return uint32_t{static_cast<uint8_t>(c[0])} << 24 | uint32_t{static_cast<uint8_t>(c[1])} << 16 |
           uint32_t{static_cast<uint8_t>(c[2])} << 8 | uint32_t{static_cast<uint8_t>(c[3])};
}
inline constexpr uint32_t kCodecJpeg = fourCharCode("jpeg");
inline constexpr uint32_t kCodecRaw = fourCharCode("raw ");

struct PictRect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t bottom = 0;
    int16_t right = 0;
    int32_t width() const { return int32_t{right} - left; }
    int32_t height() const { return int32_t{bottom} - top; }
    bool empty() const { return width() <= 0 || height() <= 0; }
    friend bool operator==(const PictRect&, const PictRect&) = default;
};

// Decodes image data of a codec other than raw (JPEG above all) into out, at most maxBytes of
// pixels. Returns a status; the reader passes a failure on.
using ImageDataDecoder =
    Status (*)(void* context, uint32_t codecType, const uint8_t* data, size_t size, size_t maxBytes, Bitmap& out);

struct PictReadOptions {
    ImageDataDecoder decodeImageData = nullptr;  // none: a compressed image gives -104
    void* decoderContext = nullptr;
    size_t maxBitmapBytes = kDefaultMaxBitmapBytes;
};

struct PictInfo {
    int version = 0;        // 1 or 2
    size_t dataOffset = 0;  // 0, or 512 when the data starts with a file header
    PictRect frame;         // picture frame at 72 dpi
    PictRect bounds;        // drawing rectangle: the frame, or the source rectangle of an extended header
    Fixed hRes = kDefaultResolution;
    Fixed vRes = kDefaultResolution;
    int depth = 0;             // deepest image drawn (media platform numbering), 0 when there is none
    int imageCount = 0;        // bitmap and compressed-image opcodes
    bool singleImage = false;  // one image fills the drawing rectangle unscaled: it is the result
    uint64_t drawCost = 0;     // pixels decoded plus pixels drawn: readPict refuses a picture that
                               // costs more than 64 times its drawing rectangle (at least 4M)
};

// Reads the header and walks every opcode without decoding pixels. 0, -104 for a damaged or
// truncated picture, -50 for null data.
Status readPictInfo(const uint8_t* data, size_t size, PictInfo& info);

// Decodes a picture into out (see above). 0; -104 damaged or truncated; -108 too large for
// maxBitmapBytes or memory; -50 null data; a status of the image data decoder. On failure out
// is empty.
Status readPict(const uint8_t* data, size_t size, const PictReadOptions& options, Bitmap& out);

// Writes a version 2 picture of one bitmap at 72 dpi, without file header: indexed and grey
// depths as a packed pixel map with its colour table, 16 bits as packed direct pixels, 24 and
// 32 bits as packed 32-bit direct pixels (the alpha channel kept when the bitmap has one).
// -50 for an empty bitmap or one larger than 32767 pixels a side, -108 out of memory.
Status writePict(const Bitmap& bitmap, ByteWriter& out);

// Image data of a codec as it travels in pictures and QuickTime image files.
struct CodecImage {
    uint32_t codec = 0;
    int32_t width = 0;
    int32_t height = 0;
    int depth = kDepth24;  // as the description states it (24 for JPEG)
    Fixed hRes = kDefaultResolution;
    Fixed vRes = kDefaultResolution;
    int quality = 0;  // spatial quality 0..1024, recorded in the description
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Writes the 86-byte image description of the data (no colour table).
void writeImageDescription(const CodecImage& image, ByteWriter& out);

// Writes a version 2 picture whose one image is the data in a compressed-image opcode, kept
// as it is, without file header. -50 for no data or a size outside 1..32767; -108 memory.
Status writeCompressedPict(const CodecImage& image, ByteWriter& out);

}  // namespace korvane::media
