#pragma once
// The image formats the media layer decodes with code of its own (those the Windows Imaging
// Component lacks): found by content, never by file name. The importer asks the Windows
// Imaging Component first and comes here for what it does not know.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/pict.h"

namespace korvane::media {

enum class OwnFormat : uint8_t { kNone, kPict, kSgi, kTga, kPhotoshop, kQuickTimeImage, kMacPaint };

// Recognises a Photoshop image by its signature, a QuickTime image by its atoms, a MacPaint
// document by a page that unpacks whole (see macpaint.h), a picture (with or without its 512-byte file header) by its
// header and version opcode (a picture damaged further on is still a picture; decoding it gives -104), an SGI image by
// its magic number, and a TGA image (which has no magic number) by a header that this reader accepts. kNone for
// anything else.
OwnFormat detectOwnFormat(const uint8_t* data, size_t size);

// Header information without decoding pixels. For a picture: the size of its drawing
// rectangle, the depth of its deepest image (32 when it holds none) and its resolution.
Status readOwnFormatHeader(OwnFormat format, const uint8_t* data, size_t size, ImageHeader& header);

// Decodes into out. options.maxBitmapBytes bounds every format; the image data decoder is
// used by pictures only. -50 for kNone.
Status decodeOwnFormat(OwnFormat format, const uint8_t* data, size_t size, const PictReadOptions& options, Bitmap& out);

}  // namespace korvane::media
