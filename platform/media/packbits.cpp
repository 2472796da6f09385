#include "platform/media/packbits.h"

#include <algorithm>
#include <cstring>

namespace korvane::media {

namespace {

constexpr unsigned kMaxRun = 128;
constexpr uint8_t kNoOpFlag = 0x80;
constexpr unsigned kRepeatBase = 257;

bool sameUnit(const uint8_t* a, const uint8_t* b, unsigned unit) {
    return std::memcmp(a, b, unit) == 0;
}

}  // namespace

bool unpackBits(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize, unsigned unitSize) {
    if (unitSize != 1 && unitSize != 2) {
        return false;
    }
    size_t i = 0;
    size_t o = 0;
    while (i < inSize && o < outSize) {
        uint8_t flag = in[i++];
        if (flag == kNoOpFlag) {
            continue;
        }
        if (flag < kNoOpFlag) {
            size_t bytes = (size_t{flag} + 1) * unitSize;
            size_t n = std::min({bytes, inSize - i, outSize - o});
            std::memcpy(out + o, in + i, n);
            i += bytes > inSize - i ? inSize - i : bytes;
            o += n;
        } else {
            if (inSize - i < unitSize) {
                break;
            }
            const uint8_t* unit = in + i;
            i += unitSize;
            for (unsigned r = kRepeatBase - flag; r > 0 && o < outSize; --r) {
                size_t n = std::min<size_t>(unitSize, outSize - o);
                std::memcpy(out + o, unit, n);
                o += n;
            }
        }
    }
    if (o < outSize) {
        std::memset(out + o, 0, outSize - o);
    }
    return true;
}

size_t packBitsBound(size_t n, unsigned unitSize) {
    size_t units = n / unitSize;
    return n + (units + kMaxRun - 1) / kMaxRun + 1;
}

size_t packBits(const uint8_t* in, size_t n, uint8_t* out, unsigned unitSize) {
    size_t units = n / unitSize;
    size_t o = 0;
    size_t u = 0;
    while (u < units) {
        // A run of at least three equal units (two for words) is worth a repeat packet.
        size_t run = 1;
        while (u + run < units && run < kMaxRun && sameUnit(in + (u + run) * unitSize, in + u * unitSize, unitSize)) {
            ++run;
        }
        size_t minRun = unitSize == 1 ? 3 : 2;
        if (run >= minRun) {
            out[o++] = static_cast<uint8_t>(kRepeatBase - run);
            std::memcpy(out + o, in + u * unitSize, unitSize);
            o += unitSize;
            u += run;
            continue;
        }
        // Literal packet up to the next worthwhile run.
        size_t start = u;
        size_t count = 0;
        while (u < units && count < kMaxRun) {
            size_t ahead = 1;
            while (u + ahead < units && ahead < minRun &&
                   sameUnit(in + (u + ahead) * unitSize, in + u * unitSize, unitSize)) {
                ++ahead;
            }
            if (ahead >= minRun) {
                break;
            }
            ++u;
            ++count;
        }
        out[o++] = static_cast<uint8_t>(count - 1);
        std::memcpy(out + o, in + start * unitSize, count * unitSize);
        o += count * unitSize;
    }
    return o;
}

}  // namespace korvane::media
