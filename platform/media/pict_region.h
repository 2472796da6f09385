#pragma once
// Regions of pictures (clip and mask regions) as row masks. A region is a size word, a
// bounding box, and for a non-rectangular region a list of scan lines: a y, the x positions
// where the inside/outside state inverts from the line above, 0x7FFF; the list ends with a
// y of 0x7FFF. RegionMask replays those inversions row by row for a drawing loop that goes
// from top to bottom.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/status.h"
#include "platform/media/pict.h"
#include "platform/media/pict_opcodes.h"

namespace korvane::media::pict {

struct Region {
    PictRect box;
    const uint8_t* lines = nullptr;  // scan-line data after the box (none for a rectangle)
    size_t linesSize = 0;
    bool isRectangle() const { return linesSize == 0; }
};

class RegionMask {
  public:
    // Prepares the mask; -108 when the row buffer cannot be had.
    Status init(const Region& region);
    // Moves to row y; rows must come in ascending order.
    void advanceTo(int32_t y);
    bool contains(int32_t x) const;

  private:
    void invertFrom(int32_t x);
    void readNextLine();

    Region region_;
    std::unique_ptr<uint64_t[]> bits_;
    size_t words_ = 0;
    size_t pos_ = 0;         // next unread byte of region_.lines
    int32_t nextLineY_ = 0;  // y of the next scan line, kRegionEnd when none
    int32_t y_ = 0;
};

}  // namespace korvane::media::pict
