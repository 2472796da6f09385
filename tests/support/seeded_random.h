#pragma once
// A small seeded generator (xorshift64*) for the deterministic fuzz tests: the same seed
// gives the same inputs on every run and every platform, so a failure can be replayed.

#include <cstdint>

namespace korvane::test {

class SeededRandom {
  public:
    explicit SeededRandom(uint64_t seed) : state_(seed | 1) {}
    uint32_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return static_cast<uint32_t>((state_ * 0x2545F4914F6CDD1DULL) >> 32);
    }
    // A number from 0 to n - 1 (0 when n is 0).
    uint32_t below(uint32_t n) { return n ? next() % n : 0; }
    // A number from lo to hi, both included.
    int32_t between(int32_t lo, int32_t hi) {
        return lo + static_cast<int32_t>(below(static_cast<uint32_t>(hi - lo + 1)));
    }
    // A number from lo to hi, evenly spread.
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() / 4294967296.0); }

  private:
    uint64_t state_;
};

}  // namespace korvane::test
