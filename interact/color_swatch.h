#pragma once
// Colour swatches for KUtl-CalcColor: a picture of the colour, flat or bevelled, that the
// handler hands to whatever puts pictures on the clipboard.

#include <cstddef>
#include <cstdint>

#include "core/call.h"
#include "core/color_text.h"
#include "core/status.h"
#include "platform/media/bitmap.h"

namespace korvane {

// Takes a finished picture (without file header) and puts it where it goes; the picture
// stays with the caller. The module passes the clipboard; tests pass a recorder.
using PicturePlacer = Status (*)(Call& call, const uint8_t* picture, size_t size);

// The swatch as pixels: width x height of the colour. Bevelled: the bottom row from x = 1 and
// the right column in the darkened colour, then the top row up to x = width - 2 and the left
// column down to y = height - 2 in the lightened one, so (0, height - 1) keeps the colour and
// (width - 1, 0) is dark. -50 for a side below 1 or above 32767; -108 out of memory.
Status drawColorSwatch(const Color& colour, int32_t width, int32_t height, bool bevelled, media::Bitmap& out);

// drawColorSwatch as a picture of the media layer.
Status drawColorSwatchPicture(const Color& colour,
                              int32_t width,
                              int32_t height,
                              bool bevelled,
                              media::ByteWriter& picture);

}  // namespace korvane
