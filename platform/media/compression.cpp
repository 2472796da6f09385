#include "platform/media/compression.h"

#include "platform/media/image_writers.h"

namespace korvane::media {

namespace {

constexpr uint32_t kKnownCodecs[] = {kCodecRaw,
                                     kCodecJpeg,
                                     fourCharCode("png "),
                                     fourCharCode("tiff"),
                                     fourCharCode("rle "),
                                     fourCharCode("gif "),
                                     fourCharCode("tga "),
                                     fourCharCode("BMP ")};

uint8_t luminance(Rgba c) {
    return static_cast<uint8_t>((uint32_t{c.red} * 299 + uint32_t{c.green} * 587 + uint32_t{c.blue} * 114) / 1000);
}

int greyDepthFor(int depth) {
    return depth == kDepth2 ? kDepthGrey2 : depth == kDepth4 ? kDepthGrey4 : depth;
}

}  // namespace

bool isKnownCodec(uint32_t codec) {
    for (uint32_t known : kKnownCodecs) {
        if (codec == known) {
            return true;
        }
    }
    return false;
}

bool isCompressionDepth(int depth) {
    return bitsPerPixel(depth) != 0;  // every depth a bitmap knows
}

CompressionSettings defaultCompressionSettings(const Bitmap& picture) {
    CompressionSettings settings;
    if (picture.depth() == kDepth32) {
        settings.depth = picture.hasAlpha() ? kDepth32 : kDepth24;
    } else if (!picture.empty()) {
        settings.depth = picture.depth();
    }
    return settings;
}

Status checkCompressionSettings(const CompressionSettings& settings) {
    if (!isKnownCodec(settings.codec) || !isCompressionDepth(settings.depth) || settings.quality < kQualityMin ||
        settings.quality > kQualityMax) {
        return kParamErr;
    }
    return kNoErr;
}

Status convertToDepth(const Bitmap& in, int depth, Bitmap& out) {
    out.reset();
    if (!isCompressionDepth(depth) || in.empty()) {
        return kParamErr;
    }
    const int target = greyDepthFor(depth);
    Bitmap converted;
    if (Status status = converted.create(in.width(), in.height(), target); status != kNoErr) {
        return status;
    }
    converted.setResolution(in.horizontalResolution(), in.verticalResolution());
    converted.setHasAlpha(target == kDepth32 && in.hasAlpha());
    if (target == kDepth8) {
        Rgb cube[kMaxPaletteSize];
        int size = colourCubePalette(cube);
        (void)converted.setPalette({cube, static_cast<size_t>(size)});
    }
    const int greyBits = isGreyDepth(target) ? bitsPerPixel(target) : 0;
    for (int32_t y = 0; y < in.height(); ++y) {
        for (int32_t x = 0; x < in.width(); ++x) {
            const Rgba c = in.pixel(x, y);
            if (target == kDepth1) {
                converted.setIndex(x, y, luminance(c) < 128 ? 1 : 0);
            } else if (greyBits > 0) {
                converted.setIndex(x, y, luminance(c) >> (8 - greyBits));
            } else if (target == kDepth8) {
                converted.setIndex(x, y, colourCubeIndex(Rgb{c.red, c.green, c.blue}));
            } else {
                converted.setPixel(x, y, target == kDepth32 ? c : Rgba{c.red, c.green, c.blue, 255});
            }
        }
    }
    out = std::move(converted);
    return kNoErr;
}

Status compressPicture(const Bitmap& source, const CompressionSettings& settings, CompressedPicture& out) {
    out = CompressedPicture();
    if (Status status = checkCompressionSettings(settings); status != kNoErr) {
        return status;
    }
    // JPEG holds colour or grey of 8 bits: other depths are made 24 first.
    const bool jpeg = settings.codec == kCodecJpeg;
    const int depth = jpeg && settings.depth != kDepthGrey8 ? kDepth24 : settings.depth;
    if (Status status = convertToDepth(source, depth, out.pixels); status != kNoErr) {
        return status;
    }
    if (!jpeg) {
        return writePict(out.pixels, out.picture);
    }
    if (Status status = writeJpeg(out.pixels, settings.quality, out.jpegData); status != kNoErr) {
        return status;
    }
    out.jpeg = CodecImage{kCodecJpeg,
                          out.pixels.width(),
                          out.pixels.height(),
                          depth,
                          out.pixels.horizontalResolution(),
                          out.pixels.verticalResolution(),
                          settings.quality,
                          out.jpegData.data(),
                          out.jpegData.size()};
    out.hasJpeg = true;
    return writeCompressedPict(out.jpeg, out.picture);
}

}  // namespace korvane::media
