#include "image/image_operations.h"

#include "core/args.h"
#include "core/color_text.h"
#include "core/geometry.h"

namespace korvane {

namespace {

using media::Fixed;
using media::FixedMatrix;
using media::kFixedOne;

constexpr char kQualityKeywords[] = "MIN,LOW,NORMAL,HIGH,MAX,LOSSLESS";
constexpr int kQualityValues[] = {media::kQualityMin,  media::kQualityLow, media::kQualityNormal,
                                  media::kQualityHigh, media::kQualityMax, media::kQualityLossless};

constexpr char kModeKeywords[] =
    "SRCCOPY,SRCOR,SRCXOR,SRCBIC,NOTSRCCOPY,NOTSRCOR,NOTSRCXOR,NOTSRCBIC,blend,addPin,addOver,subPin,"
    "transparent,adMax,subOver,adMin,StraightAlpha,PreWhiteAlpha,PreBlackAlpha,Composition,"
    "StraightAlphaBlend,PreMulColorAlpha,grayishTextOr,hilite,ditherCopy,addMax,addMin";
constexpr int kModeValues[] = {
    media::kModeSrcCopy,          media::kModeSrcOr,         media::kModeSrcXor,
    media::kModeSrcBic,           media::kModeNotSrcCopy,    media::kModeNotSrcOr,
    media::kModeNotSrcXor,        media::kModeNotSrcBic,     media::kModeBlend,
    media::kModeAddPin,           media::kModeAddOver,       media::kModeSubPin,
    media::kModeTransparent,      media::kModeAddMax,        media::kModeSubOver,
    media::kModeAddMin,           media::kModeStraightAlpha, media::kModePreWhiteAlpha,
    media::kModePreBlackAlpha,    media::kModeComposition,   media::kModeStraightAlphaBlend,
    media::kModePreMulColorAlpha, media::kModeGrayishTextOr, media::kModeHilite,
    media::kModeDitherCopy,       media::kModeAddMax,        media::kModeAddMin,
};

constexpr char kFlipKeywords[] = "HORIZONTAL,VERTICAL,BOTH";
constexpr char kRotateKeywords[] = "RIGHT,LEFT";
constexpr int32_t kRightAngle = 90;
constexpr int32_t kLeftAngle = 270;
constexpr int32_t kFullTurn = 360;

template <size_t N>
int valueAt(const int (&values)[N], int index) {
    return index >= 1 && static_cast<size_t>(index) <= N ? values[index - 1] : -1;
}

Flip readFlip(const Arguments& args) {
    switch (args.tagKeyword("FLIP", kFlipKeywords)) {
        case 1:
            return Flip::horizontal;
        case 2:
            return Flip::vertical;
        case 3:
            return Flip::both;
        default:
            return Flip::none;
    }
}

int32_t readRotation(const Arguments& args) {
    switch (args.tagKeyword("ROTATE", kRotateKeywords)) {
        case 1:
            return kRightAngle;
        case 2:
            return kLeftAngle;
        default:
            return args.tagNumber("ROTATE");
    }
}

}  // namespace

DrawPlan initialPlan(int32_t width, int32_t height) {
    DrawPlan plan;
    plan.naturalWidth = width;
    plan.naturalHeight = height;
    plan.sourceRect = media::PixelRect{0, 0, width, height};
    return plan;
}

ImageOperations readImageOperations(const Arguments& args, const DrawPlan& plan) {
    ImageOperations operations;
    Rect trim;
    if (readRectArg(args, "TRIMRECT", &trim)) {
        operations.hasTrim = true;
        operations.trim = media::PixelRect{trim.left, trim.top, trim.right, trim.bottom};
    }
    operations.qualityKeyword = args.tagKeyword("QUALITY", kQualityKeywords);
    operations.modeKeyword = args.tagKeyword("GRAPHICSMODE", kModeKeywords);
    Color colour;
    if (readColorArg(args, "OPCOLOR", &colour)) {
        operations.hasOpColor = true;
        operations.opColor = media::OpColor{colour.red, colour.green, colour.blue};
    }
    // Percentages are of the size that will be drawn: the trimmed part when there is a trim.
    media::PixelRect drawn = plan.sourceRect;
    if (operations.hasTrim) {
        drawn = media::intersectRects(operations.trim, drawn);
    }
    operations.width = args.tagNumberOrPercent("WIDTH", drawn.right - drawn.left);
    operations.height = args.tagNumberOrPercent("HEIGHT", drawn.bottom - drawn.top);
    operations.flip = readFlip(args);
    operations.rotation = readRotation(args);
    return operations;
}

int qualityForKeyword(int index) {
    return valueAt(kQualityValues, index);
}

int modeForKeyword(int index) {
    return valueAt(kModeValues, index);
}

int32_t normalizeDegrees(int32_t degrees) {
    const int32_t r = degrees % kFullTurn;
    return r < 0 ? r + kFullTurn : r;
}

Status applyImageOperations(const ImageOperations& operations, DrawPlan& plan) {
    if (operations.hasTrim) {
        const media::PixelRect kept = media::intersectRects(operations.trim, plan.sourceRect);
        if (kept.empty()) {
            return kParamErr;
        }
        plan.sourceRect = kept;
    }
    const int32_t width = plan.sourceRect.right - plan.sourceRect.left;
    const int32_t height = plan.sourceRect.bottom - plan.sourceRect.top;

    if (const int quality = qualityForKeyword(operations.qualityKeyword); quality >= 0) {
        plan.quality = quality;
    }
    if (const int mode = modeForKeyword(operations.modeKeyword); mode >= 0) {
        plan.mode = mode;
        plan.opColor = operations.hasOpColor ? operations.opColor : media::OpColor{};
    }

    FixedMatrix matrix;
    const int32_t newWidth = operations.width != 0 ? operations.width : width;
    const int32_t newHeight = operations.height != 0 ? operations.height : height;
    if (newWidth != width || newHeight != height) {
        matrix.scale(media::fixedRatio(newWidth, width), media::fixedRatio(newHeight, height), 0, 0);
    }
    if (operations.flip != Flip::none) {
        FixedMatrix mirror;
        const bool across = operations.flip == Flip::horizontal || operations.flip == Flip::both;
        const bool down = operations.flip == Flip::vertical || operations.flip == Flip::both;
        mirror.scale(across ? -kFixedOne : kFixedOne, down ? -kFixedOne : kFixedOne, 0, 0);
        mirror.translate(across ? media::intToFixed(newWidth) : 0, down ? media::intToFixed(newHeight) : 0);
        matrix.concat(mirror);
    }
    if (const int32_t degrees = normalizeDegrees(operations.rotation); degrees != 0) {
        matrix.rotate(media::intToFixed(degrees), media::fixedRatio(newWidth, 2), media::fixedRatio(newHeight, 2));
    }
    plan.matrix = matrix;
    return kNoErr;
}

bool planBounds(const DrawPlan& plan, media::FixedRect& bounds) {
    bounds = media::FixedRect{media::intToFixed(plan.sourceRect.left), media::intToFixed(plan.sourceRect.top),
                              media::intToFixed(plan.sourceRect.right), media::intToFixed(plan.sourceRect.bottom)};
    return media::transformRect(plan.matrix, bounds);
}

}  // namespace korvane
