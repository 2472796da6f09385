#include "platform/media/pixel_format.h"

#include <array>

#include "platform/media/bitmap.h"

namespace korvane::media {

namespace {

using F = PixelFormat;

// Rows in the order of the enumeration (checked below).
constexpr std::array<PixelFormatInfo, static_cast<size_t>(F::kCount)> kFormats = {{
    {F::kIndexed1, 1, kDepth1, false},
    {F::kIndexed2, 2, kDepth2, false},
    {F::kIndexed4, 4, kDepth4, false},
    {F::kIndexed8, 8, kDepth8, false},
    {F::kBlackWhite, 1, kDepth1, false},
    {F::kGrey2, 2, kDepthGrey2, false},
    {F::kGrey4, 4, kDepthGrey4, false},
    {F::kGrey8, 8, kDepthGrey8, false},
    {F::kGrey16, 16, kDepthGrey8, false},
    {F::kGreyFloat, 32, kDepthGrey8, false},
    {F::kRgb555, 16, kDepth16, false},
    {F::kRgb565, 16, kDepth16, false},
    {F::kRgba5551, 16, kDepth16, false},
    {F::kRgb24, 24, kDepth24, false},
    {F::kRgbx32, 32, kDepth24, false},
    {F::kRgba32, 32, kDepth32, true},
    {F::kPremultipliedRgba32, 32, kDepth32, true},
    {F::kCmyk32, 32, kDepth32, false},
    {F::kCmyk64, 64, kDepth32, false},
    {F::kRgb48, 48, kDepth24, false},
    {F::kRgba64, 64, kDepth32, true},
    {F::kPremultipliedRgba64, 64, kDepth32, true},
    {F::kRgbFloat, 96, kDepth24, false},
    {F::kRgbaFloat, 128, kDepth32, true},
}};

constexpr bool rowsInOrder() {
    for (size_t i = 0; i < kFormats.size(); ++i) {
        if (static_cast<size_t>(kFormats[i].format) != i) {
            return false;
        }
    }
    return true;
}
static_assert(rowsInOrder(), "the depth table must list the formats in the order of PixelFormat");

}  // namespace

const PixelFormatInfo& pixelFormatInfo(PixelFormat format) {
    auto i = static_cast<size_t>(format);
    return i < kFormats.size() ? kFormats[i] : kFormats[static_cast<size_t>(F::kRgba32)];
}

int reportedDepth(PixelFormat format) {
    return pixelFormatInfo(format).depth;
}

}  // namespace korvane::media
