#pragma once
// Compression settings and compressing a picture: the codec, depth and spatial quality a
// picture is recompressed with. Portable.
//
// A picture compressed with 'jpeg' keeps its JPEG stream in the compressed-image opcode, so
// that exporting it as a JPEG file (or a QuickTime image, or a picture) writes the stream as
// it is. The other codecs give the lossless packed bitmap of the chosen depth: the formats
// they name ('png ', 'tiff', 'gif ', ...) are chosen when the picture is exported.

#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"
#include "platform/media/pict.h"

namespace korvane::media {

struct CompressionSettings {
    uint32_t codec = kCodecJpeg;
    int depth = kDepth24;
    int quality = 512;  // spatial quality 0..1024
};

// 'raw ', 'jpeg', 'png ', 'tiff', 'rle ', 'gif ', 'tga ', 'BMP '.
bool isKnownCodec(uint32_t codec);
// 1, 2, 4, 8, 16, 24, 32 and the grey depths 34, 36, 40.
bool isCompressionDepth(int depth);

// What the settings start from for a picture: JPEG at normal quality, the picture's depth
// (24 for 24 and 32-bit pictures without alpha, 32 with it).
CompressionSettings defaultCompressionSettings(const Bitmap& picture);

// -50 for an unknown codec, a depth outside the list or a quality outside 0..1024; -8961
// is not used: every known codec compresses.
Status checkCompressionSettings(const CompressionSettings& settings);

// The bitmap at another depth: 1 bit by luminance (black below one half), 2 and 4 bits and
// the grey depths as grey levels, 8 bits through the 6 x 7 x 6 colour cube, 16, 24 and 32 bits
// as colours (32 keeps alpha). -50 for another depth; -108 memory.
Status convertToDepth(const Bitmap& in, int depth, Bitmap& out);

struct CompressedPicture {
    Bitmap pixels;       // the picture's pixels at the chosen depth
    ByteWriter picture;  // the picture, without file header
    ByteWriter jpegData;
    CodecImage jpeg;  // refers to jpegData when the codec is 'jpeg'
    bool hasJpeg = false;
};

// Compresses the source with the settings (which must pass checkCompressionSettings).
Status compressPicture(const Bitmap& source, const CompressionSettings& settings, CompressedPicture& out);

}  // namespace korvane::media
