#include "image/placement.h"

#include <algorithm>

#include "core/args.h"
#include "core/geometry.h"

namespace korvane {

namespace {

using media::Fixed;
using media::FixedRect;
using media::kFixedOne;

constexpr char kDisplayModes[] = "ScaleToFit,ShrinkToFit,EnlargeToFit,Fill,FULLSCREEN,ANCHORED";

// The ratio of two 16.16 lengths as 16.16, saturated.
Fixed lengthRatio(int64_t numerator, int64_t denominator) {
    const int64_t ratio = (numerator * kFixedOne) / denominator;
    return static_cast<Fixed>(std::clamp<int64_t>(ratio, INT32_MIN, INT32_MAX));
}

Fixed halfSum(int64_t a, int64_t b) {
    return static_cast<Fixed>(std::clamp<int64_t>((a + b) / 2, INT32_MIN, INT32_MAX));
}

Fixed clampFixed(int64_t value) {
    return static_cast<Fixed>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

// The scale of the fitting modes; kFixedOne when the image keeps its size.
Fixed fittingScale(DisplayMode mode, Fixed sx, Fixed sy) {
    const Fixed smaller = std::min(sx, sy);
    switch (mode) {
        case DisplayMode::scaleToFit:
            return smaller;
        case DisplayMode::shrinkToFit:
            return sx >= kFixedOne && sy >= kFixedOne ? kFixedOne : smaller;
        case DisplayMode::enlargeToFit:
            if (sx > kFixedOne && sy > kFixedOne) {
                return smaller;
            }
            if (sx > kFixedOne || sy > kFixedOne) {
                return sx > kFixedOne ? sx : sy;
            }
            return kFixedOne;
        default:
            return kFixedOne;
    }
}

// The anchor's move along one axis: align the low edges, the high edges, or the centres.
int64_t anchorMove(bool low, bool high, int64_t targetLow, int64_t targetHigh, int64_t imageLow, int64_t imageHigh) {
    if (low) {
        return targetLow - imageLow;
    }
    if (high) {
        return targetHigh - imageHigh;
    }
    return (targetLow + targetHigh - imageLow - imageHigh) / 2;
}

}  // namespace

PlacementArgs readPlacement(const Arguments& args) {
    PlacementArgs placement;
    placement.mode = static_cast<DisplayMode>(args.tagKeyword("DISPLAYMODE", kDisplayModes));
    placement.anchor = readAnchor(args);
    Point point;
    if (readPointArg(args, "OFFSET", &point)) {
        placement.hasOffset = true;
        placement.offsetX = point.h;
        placement.offsetY = point.v;
    }
    if (readPointArg(args, "SCROLL", &point)) {
        placement.hasScroll = true;
        placement.scrollX = point.h;
        placement.scrollY = point.v;
    }
    return placement;
}

Status placeImage(const PlacementArgs& args,
                  const media::FixedRect& bounds,
                  const media::PixelRect& target,
                  media::FixedMatrix& matrix) {
    if (target.empty()) {
        return kParamErr;
    }
    const FixedRect r{media::intToFixed(target.left), media::intToFixed(target.top), media::intToFixed(target.right),
                      media::intToFixed(target.bottom)};
    const int64_t imageWidth = int64_t{bounds.right} - bounds.left;
    const int64_t imageHeight = int64_t{bounds.bottom} - bounds.top;
    if (imageWidth <= 0 || imageHeight <= 0) {
        return kParamErr;
    }
    const int64_t targetWidth = int64_t{r.right} - r.left;
    const int64_t targetHeight = int64_t{r.bottom} - r.top;
    const Fixed boundsCentreX = halfSum(bounds.left, bounds.right);
    const Fixed boundsCentreY = halfSum(bounds.top, bounds.bottom);

    switch (args.mode) {
        case DisplayMode::scaleToFit:
        case DisplayMode::shrinkToFit:
        case DisplayMode::enlargeToFit: {
            const Fixed sx = lengthRatio(targetWidth, imageWidth);
            const Fixed sy = lengthRatio(targetHeight, imageHeight);
            if (const Fixed s = fittingScale(args.mode, sx, sy); s != kFixedOne) {
                matrix.scale(s, s, boundsCentreX, boundsCentreY);
            }
            matrix.translate(clampFixed(int64_t{halfSum(r.left, r.right)} - boundsCentreX),
                             clampFixed(int64_t{halfSum(r.top, r.bottom)} - boundsCentreY));
            return kNoErr;
        }
        case DisplayMode::fill: {
            media::FixedMatrix onto;
            if (!media::rectToRectMatrix(bounds, r, onto)) {
                return kParamErr;
            }
            matrix.concat(onto);
            return kNoErr;
        }
        case DisplayMode::fullScreen:
            return kNoErr;
        case DisplayMode::anchored:
        case DisplayMode::none:
            break;
    }
    const Anchor a = args.anchor;
    int64_t dx =
        anchorMove(a == Anchor::topLeft || a == Anchor::bottomLeft, a == Anchor::topRight || a == Anchor::bottomRight,
                   r.left, r.right, bounds.left, bounds.right);
    int64_t dy =
        anchorMove(a == Anchor::topLeft || a == Anchor::topRight, a == Anchor::bottomLeft || a == Anchor::bottomRight,
                   r.top, r.bottom, bounds.top, bounds.bottom);
    if (args.hasOffset) {
        dx += int64_t{args.offsetX} * kFixedOne;
        dy += int64_t{args.offsetY} * kFixedOne;
    }
    if (args.hasScroll) {
        dx -= int64_t{args.scrollX} * kFixedOne;
        dy -= int64_t{args.scrollY} * kFixedOne;
    }
    matrix.translate(clampFixed(dx), clampFixed(dy));
    return kNoErr;
}

}  // namespace korvane
