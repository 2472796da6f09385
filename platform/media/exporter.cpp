#include "platform/media/exporter.h"

#include "platform/media/dib.h"
#include "platform/media/image_writers.h"
#include "platform/media/macpaint.h"
#include "platform/media/photoshop.h"
#include "platform/media/qtif.h"
#include "platform/media/sgi.h"
#include "platform/media/tga.h"

namespace korvane::media {

namespace {

constexpr size_t kBmpFileHeaderSize = 14;
constexpr size_t kDibColoursUsedOffset = 32;
constexpr size_t kDibBitCountOffset = 14;

Status withFileHeader(ByteWriter& body, size_t headerSize, ByteWriter& out) {
    ByteWriter w;
    if (!w.reserve(headerSize + body.size())) {
        return kOutOfMemory;
    }
    w.putZeros(headerSize);
    w.putBytes(body.data(), body.size());
    if (!w.ok()) {
        return kOutOfMemory;
    }
    out = std::move(w);
    return kNoErr;
}

}  // namespace

Status writeBmpFile(const Bitmap& bitmap, ByteWriter& out) {
    ByteWriter dib;
    if (Status status = writeDib(bitmap, dib); status != kNoErr) {
        return status;
    }
    ByteReader info(dib.data(), dib.size());
    uint32_t headerSize = info.u32le();
    info.seek(kDibBitCountOffset);
    uint16_t bits = info.u16le();
    info.seek(kDibColoursUsedOffset);
    uint32_t colours = info.u32le();
    if (!info.ok()) {
        return kParamErr;
    }
    if (bits <= 8 && colours == 0) {
        colours = 1u << bits;
    }
    const size_t pixelsAt = kBmpFileHeaderSize + headerSize + size_t{colours} * 4;
    ByteWriter w;
    w.putBytes("BM", 2);
    w.put32le(static_cast<uint32_t>(kBmpFileHeaderSize + dib.size()));
    w.put32le(0);
    w.put32le(static_cast<uint32_t>(pixelsAt));
    w.putBytes(dib.data(), dib.size());
    if (!w.ok()) {
        return kOutOfMemory;
    }
    out = std::move(w);
    return kNoErr;
}

Status writePictFile(const Bitmap& bitmap, ByteWriter& out) {
    ByteWriter picture;
    if (Status status = writePict(bitmap, picture); status != kNoErr) {
        return status;
    }
    return withFileHeader(picture, kPictFileHeaderSize, out);
}

bool isStillImageType(uint32_t fileType) {
    switch (fileType) {
        case kFileTypePict:
        case kFileTypeBmp:
        case kFileTypeJpeg:
        case kFileTypePng:
        case kFileTypeTiff:
        case kFileTypeGif:
        case kFileTypeTga:
        case kFileTypeSgi:
        case kFileTypePhotoshop:
        case kFileTypeQuickTimeImage:
        case kFileTypeMacPaint:
            return true;
        default:
            return false;
    }
}

Status encodeForExport(const Bitmap& bitmap, uint32_t fileType, const ExportOptions& options, ByteWriter& out) {
    const CodecImage* jpeg = options.jpeg;
    switch (fileType) {
        case kFileTypePict:
            if (jpeg) {
                ByteWriter picture;
                Status status = writeCompressedPict(*jpeg, picture);
                return status == kNoErr ? withFileHeader(picture, kPictFileHeaderSize, out) : status;
            }
            return writePictFile(bitmap, out);
        case kFileTypeBmp:
            return writeBmpFile(bitmap, out);
        case kFileTypeJpeg:
            if (jpeg) {
                out = ByteWriter();
                out.putBytes(jpeg->data, jpeg->size);
                return out.ok() ? kNoErr : kOutOfMemory;
            }
            return writeJpeg(bitmap, options.quality, out);
        case kFileTypePng:
            return writePng(bitmap, out);
        case kFileTypeTiff:
            return writeTiff(bitmap, options.packRows, out);
        case kFileTypeGif:
            return writeGif(bitmap, out);
        case kFileTypeTga:
            return writeTga(bitmap, out);
        case kFileTypeSgi:
            return writeSgi(bitmap, out);
        case kFileTypePhotoshop:
            return writePhotoshop(bitmap, out);
        case kFileTypeQuickTimeImage:
            if (jpeg) {
                return writeQuickTimeImageData(jpeg->data, jpeg->size, jpeg->codec, jpeg->width, jpeg->height,
                                               jpeg->depth, jpeg->hRes, jpeg->vRes, out);
            }
            return writeQuickTimeImage(bitmap, out);
        case kFileTypeMacPaint:
            return writeMacPaint(bitmap, out);
        default:
            return kNoExporter;
    }
}

}  // namespace korvane::media
