#include "platform/media/own_codecs.h"

#include "platform/media/macpaint.h"
#include "platform/media/photoshop.h"
#include "platform/media/pict_walk.h"
#include "platform/media/qtif.h"
#include "platform/media/sgi.h"
#include "platform/media/tga.h"

namespace korvane::media {

namespace {

constexpr uint8_t kSgiMagic[] = {0x01, 0xDA};

bool isSgi(const uint8_t* data, size_t size) {
    return size >= sizeof kSgiMagic && data[0] == kSgiMagic[0] && data[1] == kSgiMagic[1];
}

}  // namespace

OwnFormat detectOwnFormat(const uint8_t* data, size_t size) {
    if (!data) {
        return OwnFormat::kNone;
    }
    PictInfo info;
    if (pict::readHeader(data, size, info) == kNoErr) {
        return OwnFormat::kPict;  // a damaged picture is still a picture: decoding tells
    }
    if (isSgi(data, size)) {
        return OwnFormat::kSgi;
    }
    if (isPhotoshopImage(data, size)) {
        return OwnFormat::kPhotoshop;
    }
    if (isQuickTimeImage(data, size)) {
        return OwnFormat::kQuickTimeImage;
    }
    // Before TGA, which has no magic number either: a MacPaint document is recognised only
    // when its whole page unpacks.
    if (isMacPaintImage(data, size)) {
        return OwnFormat::kMacPaint;
    }
    ImageHeader header;
    if (readTgaHeader(data, size, header) == kNoErr) {
        return OwnFormat::kTga;
    }
    return OwnFormat::kNone;
}

Status readOwnFormatHeader(OwnFormat format, const uint8_t* data, size_t size, ImageHeader& header) {
    switch (format) {
        case OwnFormat::kPict: {
            PictInfo info;
            Status status = readPictInfo(data, size, info);
            if (status == kNoErr) {
                header = ImageHeader{info.bounds.width(), info.bounds.height(), info.depth ? info.depth : kDepth32,
                                     info.hRes, info.vRes};
            }
            return status;
        }
        case OwnFormat::kSgi:
            return readSgiHeader(data, size, header);
        case OwnFormat::kTga:
            return readTgaHeader(data, size, header);
        case OwnFormat::kPhotoshop:
            return readPhotoshopHeader(data, size, header);
        case OwnFormat::kQuickTimeImage:
            return readQuickTimeImageHeader(data, size, header);
        case OwnFormat::kMacPaint:
            return readMacPaintHeader(data, size, header);
        default:
            return kParamErr;
    }
}

Status decodeOwnFormat(OwnFormat format,
                       const uint8_t* data,
                       size_t size,
                       const PictReadOptions& options,
                       Bitmap& out) {
    switch (format) {
        case OwnFormat::kPict:
            return readPict(data, size, options, out);
        case OwnFormat::kSgi:
            return readSgi(data, size, options.maxBitmapBytes, out);
        case OwnFormat::kTga:
            return readTga(data, size, options.maxBitmapBytes, out);
        case OwnFormat::kPhotoshop:
            return readPhotoshop(data, size, options.maxBitmapBytes, out);
        case OwnFormat::kQuickTimeImage:
            return readQuickTimeImage(data, size, options, out);
        case OwnFormat::kMacPaint:
            return readMacPaint(data, size, options.maxBitmapBytes, out);
        default:
            out.reset();
            return kParamErr;
    }
}

}  // namespace korvane::media
