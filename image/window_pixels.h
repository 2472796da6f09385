#pragma once
// The arithmetic of the functions that look at or draw over the host's window without an
// image: the frames of the zoom effect and the pixel sum of CheckArea. Portable.

#include <cstddef>
#include <cstdint>

#include "core/geometry.h"
#include "platform/media/bitmap.h"
#include "platform/media/compositor.h"

namespace korvane {

// Frame `index` (0..steps) of a zoom from `from` to `to` in `steps` steps: each edge moves
// by index / steps of the way (squared when accelerating), truncated toward zero. Frame 0
// is `from` and frame `steps` is `to`.
media::PixelRect zoomFrame(const Rect& from, const Rect& to, int32_t index, int32_t steps, bool accelerate);

// The outline of `frame`, one pixel wide, as at most four rectangles that never overlap, so
// that inverting each once inverts every outline pixel exactly once. Answers how many.
int frameEdges(const media::PixelRect& frame, media::PixelRect edges[4]);

// Rows of 32-bit pixels (bytes blue, green, red, alpha) where they lie: `stride` bytes apart.
struct PixelRows {
    const uint8_t* first = nullptr;
    size_t stride = 0;

    const uint8_t* row(int32_t y) const { return first + stride * static_cast<size_t>(y); }
};

// The wrapping 32-bit sum of the colour values 0x00BBGGRR of the pixels of `area`, where
// `pixels` (the size of `area`) holds what the window shows there and `visible` lists the
// parts of the window that can be read (rectangles that do not overlap, in the same
// coordinates). Every pixel outside them adds -1.
int32_t sumAreaColours(const PixelRows& pixels,
                       const media::PixelRect& area,
                       const media::PixelRect* visible,
                       size_t visibleCount);

}  // namespace korvane
