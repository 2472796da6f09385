// QuickTime image files.

#include "platform/media/qtif.h"

#include <cstring>

#include "platform/media/pict_walk.h"

namespace korvane::media {

namespace {

constexpr uint32_t kAtomDescription = fourCharCode("idsc");
constexpr uint32_t kAtomData = fourCharCode("idat");
constexpr size_t kAtomHeaderSize = 8;
constexpr int32_t kMaxSide = UINT16_MAX;

struct Atoms {
    const uint8_t* description = nullptr;
    size_t descriptionSize = 0;
    const uint8_t* imageData = nullptr;
    size_t imageDataSize = 0;
};

// Finds the two atoms among the top-level atoms; false when the atoms do not tile the data
// or either is missing. An atom of size 0 runs to the end of the data.
bool findAtoms(const uint8_t* data, size_t size, Atoms& atoms) {
    if (!data) {
        return false;
    }
    ByteReader r(data, size);
    while (r.ok() && r.remaining() >= kAtomHeaderSize) {
        uint32_t atomSize = r.u32be();
        uint32_t type = r.u32be();
        size_t bodySize = atomSize == 0 ? r.remaining() : atomSize - kAtomHeaderSize;
        if (atomSize != 0 && atomSize < kAtomHeaderSize) {
            return false;  // includes the 64-bit size form, which no image needs
        }
        const uint8_t* body = r.take(bodySize);
        if (!body) {
            return false;
        }
        if (type == kAtomDescription && !atoms.description) {
            atoms.description = body;
            atoms.descriptionSize = bodySize;
        } else if (type == kAtomData && !atoms.imageData) {
            atoms.imageData = body;
            atoms.imageDataSize = bodySize;
        }
    }
    return r.ok() && atoms.description && atoms.imageData && atoms.imageDataSize > 0;
}

Status readDescription(const uint8_t* data, size_t size, pict::CompressedOp& op) {
    if (!data) {
        return kParamErr;
    }
    Atoms atoms;
    if (!findAtoms(data, size, atoms)) {
        return kBadPictureData;
    }
    ByteReader r(atoms.description, atoms.descriptionSize);
    uint32_t dataSize = 0;
    Status status = pict::readImageDescriptionFields(r, op, dataSize);
    if (status != kNoErr || (bitsPerPixel(op.depth) == 0 && op.codec == kCodecRaw)) {
        return kBadPictureData;
    }
    op.data = atoms.imageData;
    op.size = atoms.imageDataSize;
    return kNoErr;
}

// Resolutions of 0 are common in descriptions written without one: 72 then.
Fixed resolutionOrDefault(Fixed resolution) {
    return resolution > 0 ? resolution : kDefaultResolution;
}

}  // namespace

bool isQuickTimeImage(const uint8_t* data, size_t size) {
    Atoms atoms;
    return findAtoms(data, size, atoms);
}

Status readQuickTimeImageHeader(const uint8_t* data, size_t size, ImageHeader& header) {
    pict::CompressedOp op;
    Status status = readDescription(data, size, op);
    if (status == kNoErr) {
        int depth = op.depth > kDepth32 && !isGreyDepth(op.depth) ? kDepth32 : op.depth;
        header = ImageHeader{op.width, op.height, depth, resolutionOrDefault(op.hRes), resolutionOrDefault(op.vRes)};
    }
    return status;
}

Status readQuickTimeImage(const uint8_t* data, size_t size, const PictReadOptions& options, Bitmap& out) {
    out.reset();
    pict::CompressedOp op;
    Status status = readDescription(data, size, op);
    if (status != kNoErr) {
        return status;
    }
    if (op.codec == kCodecRaw) {
        status = pict::decodeRawImage(op, options.maxBitmapBytes, out);
    } else if (options.decodeImageData) {
        status =
            options.decodeImageData(options.decoderContext, op.codec, op.data, op.size, options.maxBitmapBytes, out);
    } else {
        status = kBadPictureData;
    }
    if (status != kNoErr) {
        out.reset();
        return status;
    }
    if (out.width() != op.width || out.height() != op.height) {
        out.reset();
        return kBadPictureData;
    }
    out.setResolution(resolutionOrDefault(op.hRes), resolutionOrDefault(op.vRes));
    return kNoErr;
}

Status writeQuickTimeImageData(const uint8_t* data,
                               size_t size,
                               uint32_t codec,
                               int32_t width,
                               int32_t height,
                               int depth,
                               Fixed hRes,
                               Fixed vRes,
                               ByteWriter& out) {
    if (!data || size == 0 || width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        size > UINT32_MAX - kAtomHeaderSize) {
        return kParamErr;
    }
    ByteWriter w;
    w.put32be(static_cast<uint32_t>(kAtomHeaderSize + pict::kImageDescriptionSize));
    w.put32be(kAtomDescription);
    CodecImage image{codec, width, height, depth, hRes, vRes, 0, data, size};
    writeImageDescription(image, w);
    w.put32be(static_cast<uint32_t>(kAtomHeaderSize + size));
    w.put32be(kAtomData);
    w.putBytes(data, size);
    if (!w.ok()) {
        return kOutOfMemory;
    }
    out = std::move(w);
    return kNoErr;
}

Status writeQuickTimeImage(const Bitmap& bitmap, ByteWriter& out) {
    if (bitmap.empty() || bitmap.width() > kMaxSide || bitmap.height() > kMaxSide) {
        return kParamErr;
    }
    // Uncompressed data: RGB, or ARGB with alpha; rows of whole pixels, top to bottom.
    const bool alpha = bitmap.hasAlpha();
    const size_t pixelBytes = alpha ? 4 : 3;
    const size_t rowBytes = pixelBytes * static_cast<size_t>(bitmap.width());
    ByteWriter pixels;
    if (!pixels.reserve(rowBytes * static_cast<size_t>(bitmap.height()))) {
        return kOutOfMemory;
    }
    for (int32_t y = 0; y < bitmap.height(); ++y) {
        for (int32_t x = 0; x < bitmap.width(); ++x) {
            Rgba c = bitmap.pixel(x, y);
            if (alpha) {
                pixels.put8(c.alpha);
            }
            const uint8_t rgb[3] = {c.red, c.green, c.blue};
            pixels.putBytes(rgb, sizeof rgb);
        }
    }
    if (!pixels.ok()) {
        return kOutOfMemory;
    }
    return writeQuickTimeImageData(pixels.data(), pixels.size(), kCodecRaw, bitmap.width(), bitmap.height(),
                                   alpha ? kDepth32 : kDepth24, bitmap.horizontalResolution(),
                                   bitmap.verticalResolution(), out);
}

}  // namespace korvane::media
