#pragma once
// Exporting an image to a file of a given type: the still-image types the media layer writes,
// by their four-character file types. Portable: the bytes of the whole file are made in
// memory, and the caller puts them on disk.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/byte_io.h"
#include "platform/media/pict.h"

namespace korvane::media {

inline constexpr uint32_t kFileTypePict = fourCharCode("PICT");
inline constexpr uint32_t kFileTypeBmp = fourCharCode("BMPf");
inline constexpr uint32_t kFileTypeJpeg = fourCharCode("JPEG");
inline constexpr uint32_t kFileTypePng = fourCharCode("PNGf");
inline constexpr uint32_t kFileTypeTiff = fourCharCode("TIFF");
inline constexpr uint32_t kFileTypeGif = fourCharCode("GIFf");
inline constexpr uint32_t kFileTypeTga = fourCharCode("TPIC");
inline constexpr uint32_t kFileTypeSgi = fourCharCode(".SGI");
inline constexpr uint32_t kFileTypePhotoshop = fourCharCode("8BPS");
inline constexpr uint32_t kFileTypeQuickTimeImage = fourCharCode("qtif");
inline constexpr uint32_t kFileTypeMacPaint = fourCharCode("PNTG");

// The status for a type that is not a still image the media layer writes (movies, sound,
// documents, unknown codes): no exporter handles it.
inline constexpr Status kNoExporter = kNoImporter;

bool isStillImageType(uint32_t fileType);

struct ExportOptions {
    int quality = 768;      // spatial quality 0..1024, for JPEG
    bool packRows = false;  // TIFF rows with PackBits
    // A JPEG stream the image was compressed to (a picture compressed with 'jpeg'): written
    // as it is for JPEG files, QuickTime images and pictures, so its quality survives.
    const CodecImage* jpeg = nullptr;
};

// The whole file of `fileType` for the bitmap. -2003 for a type that is not a still image;
// the writer's status otherwise.
Status encodeForExport(const Bitmap& bitmap, uint32_t fileType, const ExportOptions& options, ByteWriter& out);

}  // namespace korvane::media
