#include "platform/media/pict_region.h"

#include <new>

namespace korvane::media::pict {

namespace {
constexpr size_t kBitsPerWord = 64;
}

Status RegionMask::init(const Region& region) {
    region_ = region;
    pos_ = 0;
    y_ = region.box.top;
    if (region.box.empty()) {
        region_.linesSize = 0;  // an empty box holds nothing whatever its lines say
    }
    if (region_.isRectangle()) {
        return kNoErr;
    }
    words_ = (static_cast<size_t>(region.box.width()) + kBitsPerWord - 1) / kBitsPerWord;
    bits_.reset(new (std::nothrow) uint64_t[words_]());
    if (!bits_) {
        return kOutOfMemory;
    }
    readNextLine();
    return kNoErr;
}

void RegionMask::readNextLine() {
    nextLineY_ = kRegionEnd;
    if (pos_ + 2 <= region_.linesSize) {
        nextLineY_ = static_cast<int16_t>(region_.lines[pos_] << 8 | region_.lines[pos_ + 1]);
        pos_ += 2;
    }
}

void RegionMask::invertFrom(int32_t x) {
    int32_t offset = x - region_.box.left;
    if (offset >= region_.box.width()) {
        return;
    }
    size_t bit = offset < 0 ? 0 : static_cast<size_t>(offset);
    size_t word = bit / kBitsPerWord;
    bits_[word] ^= ~uint64_t{0} << (bit % kBitsPerWord);
    for (++word; word < words_; ++word) {
        bits_[word] = ~bits_[word];
    }
}

void RegionMask::advanceTo(int32_t y) {
    y_ = y;
    if (region_.isRectangle()) {
        return;
    }
    while (nextLineY_ != kRegionEnd && nextLineY_ <= y) {
        // Inversion points of this line up to its end marker (or the end of the data).
        while (pos_ + 2 <= region_.linesSize) {
            auto x = static_cast<int16_t>(region_.lines[pos_] << 8 | region_.lines[pos_ + 1]);
            pos_ += 2;
            if (x == kRegionEnd) {
                break;
            }
            invertFrom(x);
        }
        readNextLine();
    }
}

bool RegionMask::contains(int32_t x) const {
    const PictRect& b = region_.box;
    if (x < b.left || x >= b.right || y_ < b.top || y_ >= b.bottom) {
        return false;
    }
    if (region_.isRectangle()) {
        return true;
    }
    auto bit = static_cast<size_t>(x - b.left);
    return (bits_[bit / kBitsPerWord] >> (bit % kBitsPerWord)) & 1;
}

}  // namespace korvane::media::pict
