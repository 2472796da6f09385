#pragma once
// Offscreen buffers: bitmaps that images are composed into before they are shown or recorded
// as a picture. Every depth the drawing functions accept, each with the media platform's
// standard colour table, erased to white.

#include <cstdint>
#include <span>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/compositor.h"

namespace korvane::media {

// Whether a drawing buffer may have this depth: 1, 2, 4, 8, 16, 32 and the greys 34, 36, 40.
bool isOffscreenDepth(int depth);

// The standard colour table of an indexed depth (1, 2, 4 or 8 bits): white first, black
// last, and for 8 bits the 6x6x6 colour cube followed by ramps of red, green, blue and grey.
// The grey depths use the ramp of Bitmap::create instead. Empty for other depths.
std::span<const Rgb> standardPalette(int depth);

// A width x height buffer of the depth, with its standard colour table, erased to white.
// -50 for a depth isOffscreenDepth refuses or a size below 1; -108 too large or no memory.
Status createOffscreen(int32_t width, int32_t height, int depth, Bitmap& out);

// Sets every pixel of `rect` (clipped to the bitmap) to the colour; indexed bitmaps take
// the nearest colour of their table.
void fillRect(Bitmap& bitmap, const PixelRect& rect, Rgb colour);

}  // namespace korvane::media
