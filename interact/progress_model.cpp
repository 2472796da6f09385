#include "interact/progress_model.h"

#include <limits>

namespace korvane {

void ProgressModel::reset(uint32_t now) {
    barber_ = false;
    min_ = 0;
    max_ = kFirstMax;
    value_ = 0;
    offset_ = 0;
    nextFrame_ = now + kFrameInterval;
}

ProgressShow ProgressModel::update(const ProgressUpdate& update) {
    ProgressShow show;
    if (update.barberPresent && update.barber != barber_) {
        barber_ = update.barber;
        min_ = 0;
        value_ = 0;
        max_ = kBarberMax;
        show = {true, true};
    }
    // A present value is stored even when malformed; only a well-formed one is supplied.
    if (update.min.present) {
        min_ = update.min.number;
    }
    if (update.max.present) {
        max_ = update.max.number;
    }
    if (update.value.present) {
        value_ = update.value.number;
    }
    if (barber_) {
        return {true, show.setRange};
    }
    const bool rangeSupplied = update.min.wellFormed || update.max.wellFormed;
    if (rangeSupplied || update.value.wellFormed) {
        if (min_ >= max_) {
            // The largest minimum leaves no room above it: the range ends where it starts.
            max_ = min_ == std::numeric_limits<int32_t>::max() ? min_ : min_ + 1;
        }
        if (value_ < min_) {
            value_ = min_;
        } else if (value_ > max_) {
            value_ = max_;
        }
        show.show = true;
        show.setRange = show.setRange || rangeSupplied;
    }
    return show;
}

bool ProgressModel::advanceFrame(uint32_t now) {
    // The tick counter wraps every 49.7 days: compare by difference.
    if (static_cast<int32_t>(now - nextFrame_) <= 0) {
        return false;
    }
    offset_ -= kOffsetStep;
    if (offset_ < 0) {
        offset_ = kOffsetStart;
    }
    nextFrame_ = now + kFrameInterval;
    return true;
}

}  // namespace korvane
