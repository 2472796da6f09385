#pragma once
// The progress display's numbers, apart from its windows: the range and value with their
// clamping, the switch between value and barber mode, and the barber stripes' frame
// timing. The window side (interact/progress_display.h) asks it what to show.

#include <cstdint>

namespace korvane {

// What an update asked for: each of MIN, MAX and VALUE present or not, and whether its text
// was a well-formed number (only then does it count as supplied).
struct ProgressArgument {
    bool present = false;
    bool wellFormed = false;
    int32_t number = 0;
};

struct ProgressUpdate {
    bool barberPresent = false;
    bool barber = false;
    ProgressArgument min;
    ProgressArgument max;
    ProgressArgument value;
};

// What the window side draws after an update.
struct ProgressShow {
    bool show = false;      // draw the bar (attaching it first)
    bool setRange = false;  // value mode: hand the range to the bar before the position
};

class ProgressModel {
  public:
    static constexpr int32_t kFirstMax = 100;
    static constexpr int32_t kBarberMax = 10;
    static constexpr uint32_t kFrameInterval = 6;  // milliseconds between barber frames
    static constexpr int32_t kOffsetStep = 6;      // pixels the stripes move each frame
    static constexpr int32_t kOffsetStart = 48;    // offsets run 48, 42, ..., 6, 0, 48, ...

    // Value mode, range 0 to 100, value 0, the first frame due a frame interval after `now`.
    void reset(uint32_t now);
    ProgressShow update(const ProgressUpdate& update);
    // Barber mode: true (and the offset moved on) when the tick counter is past the next
    // frame's time; the next frame is then due a frame interval after `now`.
    bool advanceFrame(uint32_t now);

    bool barber() const { return barber_; }
    int32_t min() const { return min_; }
    int32_t max() const { return max_; }
    int32_t value() const { return value_; }
    int32_t offset() const { return offset_; }

  private:
    // Before the first reset everything is zero, as at start-up.
    bool barber_ = false;
    int32_t min_ = 0;
    int32_t max_ = 0;
    int32_t value_ = 0;
    int32_t offset_ = 0;
    uint32_t nextFrame_ = 0;
};

}  // namespace korvane
