#include "interact/color_swatch.h"

#include "platform/media/pict.h"

namespace korvane {

namespace {

constexpr int32_t kMaxSwatchSide = INT16_MAX;

media::Rgba pixelOf(const Color& c) {
    // A component's high byte is its byte value.
    return media::Rgba{static_cast<uint8_t>(c.red >> 8), static_cast<uint8_t>(c.green >> 8),
                       static_cast<uint8_t>(c.blue >> 8), 255};
}

}  // namespace

Status drawColorSwatch(const Color& colour, int32_t width, int32_t height, bool bevelled, media::Bitmap& out) {
    out.reset();
    if (width < 1 || height < 1 || width > kMaxSwatchSide || height > kMaxSwatchSide) {
        return kParamErr;
    }
    if (Status status = out.create(width, height, media::kDepth24); status != kNoErr) {
        return status;
    }
    out.fill(pixelOf(colour));
    if (!bevelled) {
        return kNoErr;
    }
    const media::Rgba dark = pixelOf(darkenColor(colour));
    const media::Rgba light = pixelOf(lightenColor(colour));
    for (int32_t x = 1; x < width; ++x) {
        out.setPixel(x, height - 1, dark);
    }
    for (int32_t y = 0; y < height; ++y) {
        out.setPixel(width - 1, y, dark);
    }
    for (int32_t x = 0; x <= width - 2; ++x) {
        out.setPixel(x, 0, light);
    }
    for (int32_t y = 0; y <= height - 2; ++y) {
        out.setPixel(0, y, light);
    }
    return kNoErr;
}

Status drawColorSwatchPicture(const Color& colour,
                              int32_t width,
                              int32_t height,
                              bool bevelled,
                              media::ByteWriter& picture) {
    media::Bitmap swatch;
    if (Status status = drawColorSwatch(colour, width, height, bevelled, swatch); status != kNoErr) {
        return status;
    }
    return media::writePict(swatch, picture);
}

}  // namespace korvane
