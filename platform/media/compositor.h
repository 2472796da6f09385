#pragma once
// The compositor: draws a bitmap of any depth through a 3x3 fixed-point matrix into a bitmap
// of any depth, clipped to a rectangle and optionally a region, resampled at a quality level
// and combined with the destination by a transfer mode.
//
// Coordinates: source pixel (i, j) covers the square [i, i+1) x [j, j+1); the matrix maps
// source coordinates to destination coordinates. A destination pixel is drawn when its
// centre maps back inside the source rectangle, so adjoining images neither overlap nor
// leave gaps, and nothing outside the clip, the region and the destination is touched.
//
// Quality (the media platform's numbers):
//   below 512 (MIN 0, LOW 256)       nearest pixel;
//   512 to 1022 (NORMAL, HIGH)       bilinear;
//   1023 and 1024 (MAX, LOSSLESS)    shrinking: the average of the source area each
//                                    destination pixel covers; enlarging: bilinear.
// An integer translation copies pixels whatever the quality.

#include <cstdint>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/fixed_matrix.h"
#include "platform/media/pict_region.h"
#include "platform/media/transfer_modes.h"

namespace korvane::media {

inline constexpr int kQualityMin = 0;
inline constexpr int kQualityLow = 256;
inline constexpr int kQualityNormal = 512;
inline constexpr int kQualityHigh = 768;
inline constexpr int kQualityMax = 1023;
inline constexpr int kQualityLossless = 1024;
// When a drawing names no quality: shrunken images are area-averaged, not aliased. Averaging
// reads each covered source pixel about once, so it costs far less than decoding the image.
inline constexpr int kDefaultQuality = kQualityMax;

enum class Sampling : uint8_t { nearest, bilinear, areaAverage };
// The resampling a quality value asks for; false for a value outside 0..1024.
bool samplingForQuality(int quality, Sampling& sampling);

// A rectangle of whole pixels: left and top inside, right and bottom just outside.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};
PixelRect intersectRects(const PixelRect& a, const PixelRect& b);

struct DrawParams {
    FixedMatrix matrix;                        // source coordinates to destination coordinates
    bool hasSourceRect = false;                // else the whole source
    PixelRect sourceRect;                      // in source pixels; clipped to the source
    bool hasClip = false;                      // else the whole destination
    PixelRect clip;                            // in destination pixels
    const pict::Region* clipRegion = nullptr;  // in destination pixels, besides the clip
    int quality = kDefaultQuality;
    int mode = kModeSrcCopy;
    OpColor opColor;
};

// Largest source step per destination pixel (a shrink of 2^24 to 1); steeper matrices are
// refused, as they would show nothing of the image.
inline constexpr double kMaxSourceStep = 16777216.0;

// Draws source into dest. Statuses: kParamErr for an empty bitmap, an unknown mode or
// quality, a perspective matrix, a shrink beyond kMaxSourceStep, or source and dest being
// one bitmap; kOutOfMemory when working memory cannot be had. A singular matrix (the image
// squashed to a line) or an empty clip draws nothing and succeeds.
Status drawBitmap(const Bitmap& source, Bitmap& dest, const DrawParams& params);

}  // namespace korvane::media
