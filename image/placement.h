#pragma once
// Placement: how a drawing command's image is fitted, filled or anchored in its target
// rectangle by DISPLAYMODE, ANCHOR, OFFSET and SCROLL. Portable.

#include <cstdint>

#include "core/destination.h"
#include "core/status.h"
#include "platform/media/compositor.h"

namespace korvane {

enum class DisplayMode : uint8_t { none, scaleToFit, shrinkToFit, enlargeToFit, fill, fullScreen, anchored };

struct PlacementArgs {
    DisplayMode mode = DisplayMode::none;
    Anchor anchor = Anchor::none;
    bool hasOffset = false;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    bool hasScroll = false;
    int32_t scrollX = 0;
    int32_t scrollY = 0;
};

// DISPLAYMODE, ANCHOR, OFFSET and SCROLL of the current command.
PlacementArgs readPlacement(const Arguments& args);

// Changes `matrix`, whose image has the bounds `bounds`, so that the image lands in `target`
// as the display mode says. -50 for an empty target or image.
Status placeImage(const PlacementArgs& args,
                  const media::FixedRect& bounds,
                  const media::PixelRect& target,
                  media::FixedMatrix& matrix);

}  // namespace korvane
