#pragma once
// The picture walker: reads the header and each opcode, hands the clip regions, bitmaps and
// compressed images to a visitor and skips every other opcode by its defined length.
// Internal to the picture reader.

#include <cstddef>
#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/pict.h"
#include "platform/media/pict_opcodes.h"
#include "platform/media/pict_region.h"

namespace korvane::media::pict {

enum class RowEncoding : uint8_t {
    kRaw,         // rowBytes bytes a row
    kRgbTriples,  // width x 3 bytes a row (32-bit pixels without their pad byte)
    kPacked,      // byte count, PackBits by bytes
    kPackedWords  // byte count, PackBits by 16-bit words
};

// A bitmap opcode (BitsRect, BitsRgn, PackBitsRect, PackBitsRgn, DirectBitsRect, DirectBitsRgn).
struct ImageOp {
    uint16_t opcode = 0;
    PictRect bounds;
    uint16_t rowBytes = 0;
    int pixelSize = 1;
    int cmpCount = 1;
    int depth = kDepth1;  // depth of the decoded bitmap
    Fixed hRes = 0;
    Fixed vRes = 0;
    Rgb palette[kMaxPaletteSize];
    int paletteSize = 0;
    PictRect src;
    PictRect dst;
    Region mask;
    bool hasMask = false;
    RowEncoding encoding = RowEncoding::kRaw;
    uint16_t packType = kPackNone;  // kPackNone, kPackDropPad, kPackWords or kPackComponents once resolved
    size_t unpackedRowSize = 0;
    bool wordCounts = false;        // packed rows start with a 16-bit byte count (else 8-bit)
    const uint8_t* rows = nullptr;  // the encoded rows
    size_t rowsSize = 0;
};

// The compressed-image opcode: an image of a codec placed through a matrix.
struct CompressedOp {
    uint32_t codec = 0;
    int32_t width = 0;
    int32_t height = 0;
    int depth = 0;  // depth of the image description
    Fixed hRes = 0;
    Fixed vRes = 0;
    PictRect src;
    PictRect dst;
    Region mask;
    bool hasMask = false;
    const Rgb* palette = nullptr;  // colour table attached to the description, if any
    int paletteSize = 0;
    Rgb paletteStorage[kMaxPaletteSize];
    const uint8_t* data = nullptr;
    size_t size = 0;
};

class Visitor {
  public:
    virtual Status clip(const Region& region) = 0;
    virtual Status image(const ImageOp& op) = 0;
    virtual Status compressed(const CompressedOp& op) = 0;

  protected:
    ~Visitor() = default;
};

// Reads the header into info (version, data offset, frame, bounds, resolution).
Status readHeader(const uint8_t* data, size_t size, PictInfo& info);

// Walks the opcodes after the header of a picture that readHeader accepted.
Status walkOpcodes(const uint8_t* data, size_t size, const PictInfo& info, Visitor& visitor);

// Decodes the rows of a bitmap opcode into out, at the opcode's depth.
Status decodeImageOp(const ImageOp& op, size_t maxBytes, Bitmap& out);

// Decodes uncompressed ('raw ') image data into out.
Status decodeRawImage(const CompressedOp& op, size_t maxBytes, Bitmap& out);

// Reads an image description (as the compressed-image opcode and QuickTime image files hold
// it) and its attached colour table, and moves past it; dataSize is the size it states for
// the image data, 0 when unknown. op.data is left alone. -104 when damaged.
Status readImageDescriptionFields(ByteReader& r, CompressedOp& op, uint32_t& dataSize);

// Reads a colour table (seed, flags, size, entries) into palette; -104 when damaged.
Status readColorTable(ByteReader& r, int pixelSize, Rgb* palette, int& paletteSize);

}  // namespace korvane::media::pict
