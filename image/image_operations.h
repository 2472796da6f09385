#pragma once
// The image operations every drawing command applies to its image before placement:
// cropping (TRIMRECT), QUALITY, GRAPHICSMODE with OPCOLOR, resizing (WIDTH, HEIGHT), FLIP
// and ROTATE. They leave a DrawPlan: which part of the image is drawn, how it is resampled
// and combined, and the matrix from image pixels to drawing coordinates. Portable.

#include <cstdint>

#include "core/args.h"
#include "core/status.h"
#include "platform/media/compositor.h"

namespace korvane {

// How one image is drawn; the compositor's parameters before the move into the target.
struct DrawPlan {
    int32_t naturalWidth = 0;
    int32_t naturalHeight = 0;
    media::PixelRect sourceRect;  // the whole image unless trimmed
    int quality = media::kDefaultQuality;
    int mode = media::kModeSrcCopy;
    media::OpColor opColor;
    media::FixedMatrix matrix;
};

// A plan that draws the whole width x height image unchanged.
DrawPlan initialPlan(int32_t width, int32_t height);

enum class Flip : uint8_t { none, horizontal, vertical, both };

// The operations as the command names them; `has...` false where the argument is absent.
struct ImageOperations {
    bool hasTrim = false;
    media::PixelRect trim;
    int qualityKeyword = 0;  // index in "MIN,LOW,NORMAL,HIGH,MAX,LOSSLESS", 0 absent
    int modeKeyword = 0;     // index in the 27 transfer-mode keywords, 0 absent
    bool hasOpColor = false;
    media::OpColor opColor;
    int32_t width = 0;  // 0 keeps the image's width
    int32_t height = 0;
    Flip flip = Flip::none;
    int32_t rotation = 0;  // degrees as given
};

// Reads the operations of the current command. Percentages of WIDTH and HEIGHT are taken
// of the image's width and height after the trim, so the caller passes the plan.
ImageOperations readImageOperations(const Arguments& args, const DrawPlan& plan);

// Quality and transfer-mode numbers of the keyword indexes; -1 for an index outside the lists.
int qualityForKeyword(int index);
int modeForKeyword(int index);
// Degrees brought into 0..359.
int32_t normalizeDegrees(int32_t degrees);

// Applies the operations in their fixed order: trim, quality, mode, then the matrix of
// resize, flip and rotation. -50 when the trim misses the image.
Status applyImageOperations(const ImageOperations& operations, DrawPlan& plan);

// The drawn part's bounds in drawing coordinates. False when the matrix sends it out of range.
bool planBounds(const DrawPlan& plan, media::FixedRect& bounds);

}  // namespace korvane
