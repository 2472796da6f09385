#include "platform/media/compositor.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <memory>
#include <new>

namespace korvane::media {

static_assert(std::endian::native == std::endian::little, "32-bit pixels are read as little-endian words");

namespace {

// Source coordinates while stepping along a destination row: 64 bits with 24 fractional
// bits, enough for any bitmap width and any step up to kMaxSourceStep.
using Coord = int64_t;
constexpr int kCoordBits = 24;
constexpr Coord kCoordHalf = Coord{1} << (kCoordBits - 1);
constexpr double kCoordScale = 16777216.0;
constexpr double kCoordLimit = 4.0e18;
constexpr int kWeightShift = kCoordBits - 8;  // bilinear weights have 8 bits

constexpr int kChunk = 256;  // pixels per pass through the stack buffers
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr int kMaxSupersample = 16;
constexpr int kMaxLevel = 255;

// Area weights: each destination pixel's weights sum to 1 << kTapBits.
constexpr int kTapBits = 14;
constexpr uint32_t kTapOne = 1u << kTapBits;
constexpr int kRowShift = 6;  // a filtered row keeps 8 fractional bits: (8 + 14) - 6 - 8
constexpr int kFinalShift = kTapBits + kTapBits - kRowShift;

enum class Format : uint8_t { index1, index2, index4, index8, rgb555, bgr24, bgra32 };

Format formatOf(int depth) {
    switch (bitsPerPixel(depth)) {
        case 1:
            return Format::index1;
        case 2:
            return Format::index2;
        case 4:
            return Format::index4;
        case 8:
            return Format::index8;
        case 16:
            return Format::rgb555;
        case 24:
            return Format::bgr24;
        default:
            return Format::bgra32;
    }
}

// A bitmap's pixels as the loops read them: indexed pixels go through a table of words.
struct Pixels {
    const uint8_t* base = nullptr;
    size_t stride = 0;
    Format format = Format::bgra32;
    uint32_t alphaOr = kOpaque;  // 0 when the alpha bytes count
    uint32_t palette[kMaxPaletteSize] = {};
    const uint8_t* row(int32_t y) const { return base + stride * static_cast<size_t>(y); }
};

void describePixels(const Bitmap& bitmap, Pixels& pixels) {
    pixels.base = bitmap.row(0);
    pixels.stride = bitmap.stride();
    pixels.format = formatOf(bitmap.depth());
    pixels.alphaOr = bitmap.depth() == kDepth32 && bitmap.hasAlpha() ? 0 : kOpaque;
    std::fill(std::begin(pixels.palette), std::end(pixels.palette), kOpaque);
    std::span<const Rgb> palette = bitmap.palette();
    for (size_t i = 0; i < palette.size(); ++i) {
        pixels.palette[i] =
            kOpaque | uint32_t{palette[i].red} << 16 | uint32_t{palette[i].green} << 8 | palette[i].blue;
    }
}

uint32_t widen555(uint32_t v) {
    uint32_t r = (v >> 10) & 0x1F;
    uint32_t g = (v >> 5) & 0x1F;
    uint32_t b = v & 0x1F;
    return kOpaque | ((r << 3) | (r >> 2)) << 16 | ((g << 3) | (g >> 2)) << 8 | ((b << 3) | (b >> 2));
}

template <Format F>
inline uint32_t fetch(const uint8_t* row, int32_t x, const uint32_t* palette) {
    auto i = static_cast<size_t>(x);
    if constexpr (F == Format::bgra32) {
        uint32_t v;
        std::memcpy(&v, row + 4 * i, sizeof v);
        return v;
    } else if constexpr (F == Format::bgr24) {
        const uint8_t* p = row + 3 * i;
        return kOpaque | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
    } else if constexpr (F == Format::rgb555) {
        return widen555(uint32_t{row[2 * i]} | uint32_t{row[2 * i + 1]} << 8);
    } else if constexpr (F == Format::index8) {
        return palette[row[i]];
    } else if constexpr (F == Format::index4) {
        return palette[(row[i >> 1] >> (4 - 4 * (i & 1))) & 0xF];
    } else if constexpr (F == Format::index2) {
        return palette[(row[i >> 2] >> (6 - 2 * (i & 3))) & 0x3];
    } else {
        return palette[(row[i >> 3] >> (7 - (i & 7))) & 0x1];
    }
}

// Four channels spread over 16-bit lanes (blue, red, green, alpha), so one multiply weighs
// them all.
inline uint64_t spread(uint32_t p) {
    return (p & 0x00FF00FFu) | uint64_t{(p >> 8) & 0x00FF00FFu} << 32;
}
inline uint32_t gather(uint64_t e) {
    return (static_cast<uint32_t>(e) & 0x00FF00FFu) | (static_cast<uint32_t>(e >> 32) & 0x00FF00FFu) << 8;
}
// a + (b - a) * w / 256 in every lane, rounded; w in 0..256.
inline uint64_t lerpSpread(uint64_t a, uint64_t b, uint32_t w) {
    constexpr uint64_t kLaneRound = 0x0080008000800080ull;
    constexpr uint64_t kLaneMask = 0x00FF00FF00FF00FFull;
    return ((a * (256 - w) + b * w + kLaneRound) >> 8) & kLaneMask;
}

int32_t clampIndex(int64_t v, int32_t lo, int32_t hi) {
    return static_cast<int32_t>(v < lo ? lo : (v > hi ? hi : v));
}

Coord toCoord(double v) {
    v = std::clamp(v * kCoordScale, -kCoordLimit, kCoordLimit);
    return static_cast<Coord>(std::llround(v));
}

// Source pixels and weights of each destination column (or row) of an area average.
struct Tap {
    int32_t first = 0;
    int32_t count = 0;
    size_t weights = 0;  // index into TapList::weights
};
struct TapList {
    std::unique_ptr<Tap[]> taps;
    std::unique_ptr<uint16_t[]> weights;
};

struct ColumnTable;
struct AreaRows;

// Where a row's walk through the source starts, and how it steps.
struct SampleJob {
    const Pixels* source = nullptr;
    PixelRect rect;  // the source rectangle; samples stay inside it
    int32_t baseX = 0;
    Coord baseU = 0;  // source coordinates of the centre of destination pixel baseX
    Coord baseV = 0;
    Coord du = 0;
    Coord dv = 0;
    uint32_t alphaOr = 0;
    // Bilinear: destination pixels whose four neighbours all lie inside the rectangle.
    int32_t interiorStart = 0;
    int32_t interiorEnd = 0;
    // Supersampling: offsets of the samples from a pixel's centre.
    int sampleCount = 0;
    uint32_t sampleReciprocal = 0;  // 65536 / sampleCount
    Coord offsetU[kMaxSupersample * kMaxSupersample] = {};
    Coord offsetV[kMaxSupersample * kMaxSupersample] = {};
    // Area average: taps of the columns (from spanStart on) and of the current row.
    const TapList* columns = nullptr;
    int32_t spanStart = 0;
    const TapList* rows = nullptr;
    int32_t rowTap = 0;
    // Bilinear along the axes from 32-bit pixels: columns from spanStart on.
    ColumnTable* columnTable = nullptr;
    int32_t spanEnd = 0;
    // Area average: the current row's sums down.
    AreaRows* area = nullptr;

    Coord uAt(int32_t x) const { return baseU + static_cast<Coord>(int64_t{x} - baseX) * du; }
    Coord vAt(int32_t x) const { return baseV + static_cast<Coord>(int64_t{x} - baseX) * dv; }
};

// Fills out[0..n) with the samples of destination pixels x..x+n-1 of the job's row.
using RowSampler = void (*)(const SampleJob& job, int32_t x, int n, uint32_t* out);

template <Format F>
void sampleNearest(const SampleJob& job, int32_t x, int n, uint32_t* out) {
    // Locals, so that the stores through out need not reload them.
    const Pixels& s = *job.source;
    const uint32_t* palette = s.palette;
    const uint32_t alphaOr = job.alphaOr;
    const Coord du = job.du;
    const Coord dv = job.dv;
    Coord u = job.uAt(x);
    Coord v = job.vAt(x);
    if (dv == 0) {
        // Four independent samples a step keep the loads in flight together.
        const uint8_t* row = s.row(static_cast<int32_t>(v >> kCoordBits));
        int i = 0;
        for (; i + 4 <= n; i += 4) {
            uint32_t p0 = fetch<F>(row, static_cast<int32_t>(u >> kCoordBits), palette);
            uint32_t p1 = fetch<F>(row, static_cast<int32_t>((u + du) >> kCoordBits), palette);
            uint32_t p2 = fetch<F>(row, static_cast<int32_t>((u + 2 * du) >> kCoordBits), palette);
            uint32_t p3 = fetch<F>(row, static_cast<int32_t>((u + 3 * du) >> kCoordBits), palette);
            out[i] = p0 | alphaOr;
            out[i + 1] = p1 | alphaOr;
            out[i + 2] = p2 | alphaOr;
            out[i + 3] = p3 | alphaOr;
            u += 4 * du;
        }
        for (; i < n; ++i) {
            out[i] = fetch<F>(row, static_cast<int32_t>(u >> kCoordBits), palette) | alphaOr;
            u += du;
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        out[i] =
            fetch<F>(s.row(static_cast<int32_t>(v >> kCoordBits)), static_cast<int32_t>(u >> kCoordBits), palette) |
            alphaOr;
        u += du;
        v += dv;
    }
}

// Bilinear scaling of 32-bit pixels along the axes, in two passes that the compiler can
// vectorise: the row's two source rows are blended into one, then each destination pixel
// blends its two columns of that row. The columns and their weights are the same on every
// row, so they are worked out once (ColumnTable).
struct ColumnTable {
    std::unique_ptr<int32_t[]> left;     // source column of each destination column, from spanStart
    std::unique_ptr<int32_t[]> right;    // its right-hand neighbour, clamped to the source
    std::unique_ptr<uint16_t[]> weight;  // the right-hand column's weight (0..255), once per byte
    std::unique_ptr<uint8_t[]> blended;  // the current row's blend of its two source rows
    // Shrinking uses few of the source columns: each destination pixel then gathers its
    // four neighbours from the two rows instead, and nothing is blended ahead.
    bool gather = false;
    bool pairs = false;            // every column's two neighbours are adjacent pixels
    const uint8_t* top = nullptr;  // the current row's two source rows, from the left edge
    const uint8_t* bottom = nullptr;
    uint16_t rowWeight = 0;
    // Enlarging downwards, each source row serves several destination rows: it is blended
    // across once, into one of two kept rows, and destination rows blend those down.
    bool acrossFirst = false;
    std::unique_ptr<uint8_t[]> across[2];
    int32_t acrossRow[2] = {-1, -1};
    const uint8_t* upper = nullptr;  // the kept rows of the current destination row
    const uint8_t* lower = nullptr;
};

// Steps (in source pixels) beyond which gathering beats blending whole rows.
constexpr Coord kGatherStep = kCoordHalf * 4;

// out = a + (b - a) * w / 256 on each byte, rounded.

inline void blendBytes(const uint8_t* a, const uint8_t* b, const uint16_t* w, uint8_t* out, size_t count) {
    for (size_t k = 0; k < count; ++k) {
        auto mixed = static_cast<uint16_t>(a[k] * (256 - w[k]) + b[k] * w[k] + 128);
        out[k] = static_cast<uint8_t>(mixed >> 8);
    }
}
inline void blendBytes(const uint8_t* a, const uint8_t* b, uint16_t w, uint8_t* out, size_t count) {
    const auto keep = static_cast<uint16_t>(256 - w);
    for (size_t k = 0; k < count; ++k) {
        auto mixed = static_cast<uint16_t>(a[k] * keep + b[k] * w + 128);
        out[k] = static_cast<uint8_t>(mixed >> 8);
    }
}

// Both blends of four neighbours in one pass: across the top and bottom rows, then down.
inline void blendQuad(const uint8_t* topLeft,
                      const uint8_t* topRight,
                      const uint8_t* bottomLeft,
                      const uint8_t* bottomRight,
                      const uint16_t* w,
                      uint16_t down,
                      uint8_t* out,
                      size_t count) {
    const auto keepDown = static_cast<uint16_t>(256 - down);
    for (size_t k = 0; k < count; ++k) {
        const auto keep = static_cast<uint16_t>(256 - w[k]);
        auto top = static_cast<uint16_t>(static_cast<uint16_t>(topLeft[k] * keep + topRight[k] * w[k] + 128) >> 8);
        auto bottom =
            static_cast<uint16_t>(static_cast<uint16_t>(bottomLeft[k] * keep + bottomRight[k] * w[k] + 128) >> 8);
        out[k] = static_cast<uint8_t>(static_cast<uint16_t>(top * keepDown + bottom * down + 128) >> 8);
    }
}

bool buildColumnTable(const SampleJob& job, int32_t count, bool rowsRepeat, ColumnTable& table) {
    const auto n = static_cast<size_t>(count);
    const auto width = static_cast<size_t>(job.rect.right - job.rect.left);
    table.left.reset(new (std::nothrow) int32_t[n]);
    table.right.reset(new (std::nothrow) int32_t[n]);
    table.weight.reset(new (std::nothrow) uint16_t[4 * n]);
    table.pairs = width >= 2;
    table.gather = (job.du > kGatherStep || job.du < -kGatherStep) && table.pairs;
    table.acrossFirst = !table.gather && rowsRepeat;
    table.blended.reset(new (std::nothrow) uint8_t[table.gather || table.acrossFirst ? 1 : 4 * width]);
    if (!table.left || !table.right || !table.weight || !table.blended) {
        return false;
    }
    if (table.acrossFirst) {
        for (auto& row : table.across) {
            row.reset(new (std::nothrow) uint8_t[4 * n]);
            if (!row) {
                return false;
            }
        }
    }
    for (int32_t i = 0; i < count; ++i) {
        Coord u = job.uAt(job.spanStart + i) - kCoordHalf;
        int64_t column = u >> kCoordBits;
        // Indices relative to the source rectangle's left edge, as the blended row holds them.
        table.left[i] = clampIndex(column, job.rect.left, job.rect.right - 1) - job.rect.left;
        table.right[i] = clampIndex(column + 1, job.rect.left, job.rect.right - 1) - job.rect.left;
        uint16_t w = static_cast<uint16_t>((u >> kWeightShift) & 0xFF);
        if (table.pairs && table.left[i] == table.right[i]) {
            // At an edge both neighbours are the edge pixel: take the pair inside the source
            // and put the whole weight on that pixel, so each pair is two adjacent pixels.
            const bool atRight = table.left[i] > 0;
            table.left[i] = atRight ? table.left[i] - 1 : 0;
            table.right[i] = table.left[i] + 1;
            w = atRight ? 256 : 0;
        }
        for (int c = 0; c < 4; ++c) {
            table.weight[4 * static_cast<size_t>(i) + static_cast<size_t>(c)] = w;
        }
    }
    return true;
}

// The two neighbours of column i in a row of 32-bit pixels.
inline void loadPair(const uint8_t* row, const ColumnTable& table, size_t i, uint32_t& left, uint32_t& right) {
    const size_t l = 4 * static_cast<size_t>(table.left[i]);
    if (table.pairs) {
        uint64_t pair;
        std::memcpy(&pair, row + l, 8);
        left = static_cast<uint32_t>(pair);
        right = static_cast<uint32_t>(pair >> 32);
        return;
    }
    std::memcpy(&left, row + l, 4);
    std::memcpy(&right, row + 4 * static_cast<size_t>(table.right[i]), 4);
}

// Source row y blended across into one of the kept rows (not the one holding row other).
const uint8_t* keptRow(const SampleJob& job, int32_t y, int32_t other, ColumnTable& table) {
    for (int k = 0; k < 2; ++k) {
        if (table.acrossRow[k] == y) {
            return table.across[k].get();
        }
    }
    const int slot = table.acrossRow[0] == other ? 1 : 0;
    const uint8_t* row = job.source->row(y) + 4 * static_cast<size_t>(job.rect.left);
    uint8_t* out = table.across[slot].get();
    const auto count = static_cast<size_t>(job.spanEnd - job.spanStart);
    uint32_t left[kChunk];
    uint32_t right[kChunk];
    for (size_t first = 0; first < count; first += kChunk) {
        const size_t n = std::min<size_t>(kChunk, count - first);
        for (size_t i = 0; i < n; ++i) {
            loadPair(row, table, first + i, left[i], right[i]);
        }
        blendBytes(reinterpret_cast<const uint8_t*>(left), reinterpret_cast<const uint8_t*>(right),
                   table.weight.get() + 4 * first, out + 4 * first, 4 * n);
    }
    table.acrossRow[slot] = y;
    return out;
}

// Blends the two source rows of destination row y into table.blended.
void blendRowPair(const SampleJob& job, Coord v, ColumnTable& table) {
    const Pixels& s = *job.source;
    v -= kCoordHalf;
    int64_t row = v >> kCoordBits;
    int32_t y0 = clampIndex(row, job.rect.top, job.rect.bottom - 1);
    int32_t y1 = clampIndex(row + 1, job.rect.top, job.rect.bottom - 1);
    auto w = static_cast<uint16_t>((v >> kWeightShift) & 0xFF);
    const size_t offset = 4 * static_cast<size_t>(job.rect.left);
    const size_t bytes = 4 * static_cast<size_t>(job.rect.right - job.rect.left);
    table.rowWeight = w;
    if (table.gather) {
        table.top = s.row(y0) + offset;
        table.bottom = s.row(y1) + offset;
        return;
    }
    if (table.acrossFirst) {
        table.upper = keptRow(job, y0, y1, table);
        table.lower = keptRow(job, y1, y0, table);
        return;
    }
    blendBytes(s.row(y0) + offset, s.row(y1) + offset, w, table.blended.get(), bytes);
}

void sampleBilinearColumns(const SampleJob& job, int32_t x, int n, uint32_t* out) {
    const ColumnTable& table = *job.columnTable;
    const auto first = static_cast<size_t>(x - job.spanStart);
    const uint8_t* blended = table.blended.get();
    const auto bytes = 4 * static_cast<size_t>(n);
    if (table.acrossFirst) {
        uint32_t mixed[kChunk];
        blendBytes(table.upper + 4 * first, table.lower + 4 * first, table.rowWeight, reinterpret_cast<uint8_t*>(mixed),
                   bytes);
        const uint32_t alphaOr = job.alphaOr;
        for (int i = 0; i < n; ++i) {
            out[i] = mixed[i] | alphaOr;
        }
        return;
    }
    uint32_t left[kChunk];
    uint32_t right[kChunk];
    if (table.gather) {
        uint32_t lowerLeft[kChunk];
        uint32_t lowerRight[kChunk];
        for (int i = 0; i < n; ++i) {
            const size_t l = 4 * static_cast<size_t>(table.left[first + static_cast<size_t>(i)]);
            uint64_t upper;
            uint64_t lower;
            std::memcpy(&upper, table.top + l, 8);
            std::memcpy(&lower, table.bottom + l, 8);
            left[i] = static_cast<uint32_t>(upper);
            right[i] = static_cast<uint32_t>(upper >> 32);
            lowerLeft[i] = static_cast<uint32_t>(lower);
            lowerRight[i] = static_cast<uint32_t>(lower >> 32);
        }
        uint32_t mixed[kChunk];
        blendQuad(reinterpret_cast<const uint8_t*>(left), reinterpret_cast<const uint8_t*>(right),
                  reinterpret_cast<const uint8_t*>(lowerLeft), reinterpret_cast<const uint8_t*>(lowerRight),
                  table.weight.get() + 4 * first, table.rowWeight, reinterpret_cast<uint8_t*>(mixed), bytes);
        const uint32_t alphaOr = job.alphaOr;
        for (int i = 0; i < n; ++i) {
            out[i] = mixed[i] | alphaOr;
        }
        return;
    } else {
        for (int i = 0; i < n; ++i) {
            loadPair(blended, table, first + static_cast<size_t>(i), left[i], right[i]);
        }
    }
    uint32_t mixed[kChunk];
    blendBytes(reinterpret_cast<const uint8_t*>(left), reinterpret_cast<const uint8_t*>(right),
               table.weight.get() + 4 * first, reinterpret_cast<uint8_t*>(mixed), bytes);
    const uint32_t alphaOr = job.alphaOr;
    for (int i = 0; i < n; ++i) {
        out[i] = mixed[i] | alphaOr;
    }
}

template <Format F>
uint32_t bilinearClamped(const SampleJob& job, Coord u, Coord v) {
    const Pixels& s = *job.source;
    u -= kCoordHalf;
    v -= kCoordHalf;
    int64_t xf = u >> kCoordBits;
    int64_t yf = v >> kCoordBits;
    int32_t x0 = clampIndex(xf, job.rect.left, job.rect.right - 1);
    int32_t x1 = clampIndex(xf + 1, job.rect.left, job.rect.right - 1);
    int32_t y0 = clampIndex(yf, job.rect.top, job.rect.bottom - 1);
    int32_t y1 = clampIndex(yf + 1, job.rect.top, job.rect.bottom - 1);
    auto fx = static_cast<uint32_t>((u >> kWeightShift) & 0xFF);
    auto fy = static_cast<uint32_t>((v >> kWeightShift) & 0xFF);
    const uint8_t* r0 = s.row(y0);
    const uint8_t* r1 = s.row(y1);
    uint64_t top = lerpSpread(spread(fetch<F>(r0, x0, s.palette)), spread(fetch<F>(r0, x1, s.palette)), fx);
    uint64_t bottom = lerpSpread(spread(fetch<F>(r1, x0, s.palette)), spread(fetch<F>(r1, x1, s.palette)), fx);
    return gather(lerpSpread(top, bottom, fy)) | job.alphaOr;
}

// Bilinear samples whose neighbours are all inside the source: no clamping.
template <Format F>
void bilinearInterior(const SampleJob& job, int32_t x, int n, uint32_t* out) {
    const Pixels& s = *job.source;
    Coord u = job.uAt(x) - kCoordHalf;
    Coord v = job.vAt(x) - kCoordHalf;
    if (job.dv == 0) {
        // One pair of rows for the whole run; neighbouring samples share their columns.
        auto fy = static_cast<uint32_t>((v >> kWeightShift) & 0xFF);
        const uint8_t* r0 = s.row(static_cast<int32_t>(v >> kCoordBits));
        const uint8_t* r1 = r0 + s.stride;
        int64_t lastX = -2;
        uint64_t left = 0;
        uint64_t right = 0;
        for (int i = 0; i < n; ++i) {
            int64_t x0 = u >> kCoordBits;
            if (x0 != lastX) {
                auto xi = static_cast<int32_t>(x0);
                if (x0 == lastX + 1) {
                    left = right;
                } else {
                    left = lerpSpread(spread(fetch<F>(r0, xi, s.palette)), spread(fetch<F>(r1, xi, s.palette)), fy);
                }
                right =
                    lerpSpread(spread(fetch<F>(r0, xi + 1, s.palette)), spread(fetch<F>(r1, xi + 1, s.palette)), fy);
                lastX = x0;
            }
            out[i] = gather(lerpSpread(left, right, static_cast<uint32_t>((u >> kWeightShift) & 0xFF))) | job.alphaOr;
            u += job.du;
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        auto xi = static_cast<int32_t>(u >> kCoordBits);
        const uint8_t* r0 = s.row(static_cast<int32_t>(v >> kCoordBits));
        const uint8_t* r1 = r0 + s.stride;
        auto fx = static_cast<uint32_t>((u >> kWeightShift) & 0xFF);
        auto fy = static_cast<uint32_t>((v >> kWeightShift) & 0xFF);
        uint64_t top = lerpSpread(spread(fetch<F>(r0, xi, s.palette)), spread(fetch<F>(r0, xi + 1, s.palette)), fx);
        uint64_t bottom = lerpSpread(spread(fetch<F>(r1, xi, s.palette)), spread(fetch<F>(r1, xi + 1, s.palette)), fx);
        out[i] = gather(lerpSpread(top, bottom, fy)) | job.alphaOr;
        u += job.du;
        v += job.dv;
    }
}

template <Format F>
void sampleBilinear(const SampleJob& job, int32_t x, int n, uint32_t* out) {
    int32_t end = x + n;
    int32_t innerStart = std::clamp(job.interiorStart, x, end);
    int32_t innerEnd = std::clamp(job.interiorEnd, innerStart, end);
    for (int32_t i = x; i < innerStart; ++i) {
        out[i - x] = bilinearClamped<F>(job, job.uAt(i), job.vAt(i));
    }
    if (innerEnd > innerStart) {
        bilinearInterior<F>(job, innerStart, innerEnd - innerStart, out + (innerStart - x));
    }
    for (int32_t i = innerEnd; i < end; ++i) {
        out[i - x] = bilinearClamped<F>(job, job.uAt(i), job.vAt(i));
    }
}

// Shrinking through a rotation: the mean of a grid of bilinear samples over the pixel's
// footprint, one sample per source pixel or closer.
template <Format F>
void sampleSupersampled(const SampleJob& job, int32_t x, int n, uint32_t* out) {
    for (int i = 0; i < n; ++i) {
        Coord u = job.uAt(x + i);
        Coord v = job.vAt(x + i);
        uint64_t sum = 0;  // at most 256 samples of 255: 16-bit lanes suffice
        for (int k = 0; k < job.sampleCount; ++k) {
            sum += spread(bilinearClamped<F>(job, u + job.offsetU[k], v + job.offsetV[k]));
        }
        uint32_t pixel = 0;
        for (int lane = 0; lane < 4; ++lane) {
            auto level = static_cast<uint32_t>((sum >> (16 * lane)) & 0xFFFF);
            level = (level * job.sampleReciprocal + 0x8000) >> 16;
            pixel |= std::min<uint32_t>(level, kMaxLevel) << (16 * (lane & 1) + 8 * (lane >> 1));
        }
        out[i] = pixel | job.alphaOr;
    }
}

// Shrinking along the axes, in two passes: the destination row's source rows are weighed
// down into one row of sums (a loop the compiler vectorises), then each destination pixel
// weighs its columns of that row across. Lanes of 32 bits hold the sums across.
struct AreaRows {
    int32_t first = 0;                       // the first source column the span reads
    int32_t count = 0;                       // how many
    std::unique_ptr<uint32_t[]> sums;        // 4 a column: the weighted sums down
    std::unique_ptr<uint8_t[]> expanded;     // a source row of another depth as 32-bit pixels
    std::unique_ptr<uint64_t[]> blueRed;     // the sums with 8 fractional bits, blue and red lanes
    std::unique_ptr<uint64_t[]> greenAlpha;  // and green and alpha
};

bool setUpAreaRows(const TapList& columns, int32_t columnCount, AreaRows& area) {
    int32_t low = columns.taps[0].first;
    int32_t high = low;
    for (int32_t i = 0; i < columnCount; ++i) {
        low = std::min(low, columns.taps[i].first);
        high = std::max(high, columns.taps[i].first + columns.taps[i].count);
    }
    area.first = low;
    area.count = high - low;
    const auto n = static_cast<size_t>(area.count);
    area.sums.reset(new (std::nothrow) uint32_t[4 * n]);
    area.expanded.reset(new (std::nothrow) uint8_t[4 * n]);
    area.blueRed.reset(new (std::nothrow) uint64_t[n]);
    area.greenAlpha.reset(new (std::nothrow) uint64_t[n]);
    return area.sums && area.expanded && area.blueRed && area.greenAlpha;
}

// The weighted sum down of the current destination row's source rows.
template <Format F>
void sumAreaRows(const SampleJob& job, AreaRows& area) {
    const Pixels& s = *job.source;
    const Tap& rowTap = job.rows->taps[job.rowTap];
    const auto n = static_cast<size_t>(area.count);
    uint32_t* sums = area.sums.get();
    std::fill(sums, sums + 4 * n, 0u);
    for (int32_t r = 0; r < rowTap.count; ++r) {
        const uint8_t* row = s.row(rowTap.first + r);
        const uint8_t* pixels = row + 4 * static_cast<size_t>(area.first);
        if constexpr (F != Format::bgra32) {
            for (size_t j = 0; j < n; ++j) {
                uint32_t p = fetch<F>(row, area.first + static_cast<int32_t>(j), s.palette);
                std::memcpy(area.expanded.get() + 4 * j, &p, 4);
            }
            pixels = area.expanded.get();
        }
        const uint32_t weight = job.rows->weights[rowTap.weights + static_cast<size_t>(r)];
        for (size_t k = 0; k < 4 * n; ++k) {
            sums[k] += pixels[k] * weight;
        }
    }
    constexpr uint32_t kRowRound = 1u << (kRowShift - 1);
    for (size_t j = 0; j < n; ++j) {
        const uint32_t* c = sums + 4 * j;
        area.blueRed[j] = ((c[0] + kRowRound) >> kRowShift) | uint64_t{(c[2] + kRowRound) >> kRowShift} << 32;
        area.greenAlpha[j] = ((c[1] + kRowRound) >> kRowShift) | uint64_t{(c[3] + kRowRound) >> kRowShift} << 32;
    }
}

using AreaRowSummer = void (*)(const SampleJob& job, AreaRows& area);

void sampleArea(const SampleJob& job, int32_t x, int n, uint32_t* out) {
    const AreaRows& area = *job.area;
    const Tap* columns = job.columns->taps.get() + (x - job.spanStart);
    const uint16_t* columnWeights = job.columns->weights.get();
    const uint64_t* blueRed = area.blueRed.get() - area.first;
    const uint64_t* greenAlpha = area.greenAlpha.get() - area.first;
    constexpr uint64_t kFinalRound = uint64_t{1} << (kFinalShift - 1);
    auto level = [](uint64_t lanes, int lane) {
        return static_cast<uint32_t>((((lanes >> (32 * lane)) & 0xFFFFFFFFu) + kFinalRound) >> kFinalShift);
    };
    for (int i = 0; i < n; ++i) {
        const Tap& column = columns[i];
        const uint16_t* w = columnWeights + column.weights;
        uint64_t br = 0;
        uint64_t ga = 0;
        for (int32_t k = 0; k < column.count; ++k) {
            br += blueRed[column.first + k] * w[k];
            ga += greenAlpha[column.first + k] * w[k];
        }
        out[i] = level(br, 0) | level(ga, 0) << 8 | level(br, 1) << 16 | level(ga, 1) << 24 | job.alphaOr;
    }
}

template <Format F>
RowSampler samplerFor(Sampling sampling, bool supersample) {
    if (supersample) {
        return &sampleSupersampled<F>;
    }
    switch (sampling) {
        case Sampling::nearest:
            return &sampleNearest<F>;
        case Sampling::bilinear:
            return &sampleBilinear<F>;
        default:
            return &sampleArea;
    }
}

RowSampler pickSampler(Format format, Sampling sampling, bool supersample) {
    switch (format) {
        case Format::index1:
            return samplerFor<Format::index1>(sampling, supersample);
        case Format::index2:
            return samplerFor<Format::index2>(sampling, supersample);
        case Format::index4:
            return samplerFor<Format::index4>(sampling, supersample);
        case Format::index8:
            return samplerFor<Format::index8>(sampling, supersample);
        case Format::rgb555:
            return samplerFor<Format::rgb555>(sampling, supersample);
        case Format::bgr24:
            return samplerFor<Format::bgr24>(sampling, supersample);
        default:
            return samplerFor<Format::bgra32>(sampling, supersample);
    }
}

AreaRowSummer pickAreaSummer(Format format) {
    switch (format) {
        case Format::index1:
            return &sumAreaRows<Format::index1>;
        case Format::index2:
            return &sumAreaRows<Format::index2>;
        case Format::index4:
            return &sumAreaRows<Format::index4>;
        case Format::index8:
            return &sumAreaRows<Format::index8>;
        case Format::rgb555:
            return &sumAreaRows<Format::rgb555>;
        case Format::bgr24:
            return &sumAreaRows<Format::bgr24>;
        default:
            return &sumAreaRows<Format::bgra32>;
    }
}

// Builds the taps of count destination pixels whose centres lie at centre0 + j * step in the
// source, inside [lo, hi): a box of the pixel's footprint when it covers more than one
// source pixel, else the two bilinear neighbours.
bool buildTaps(double centre0, double step, int32_t count, int32_t lo, int32_t hi, TapList& list) {
    double footprint = std::fabs(step);
    bool box = footprint > 1.0;
    int64_t maxTaps = box ? std::min<int64_t>(int64_t{hi} - lo, static_cast<int64_t>(std::ceil(footprint)) + 2) : 2;
    list.taps.reset(new (std::nothrow) Tap[static_cast<size_t>(count)]);
    list.weights.reset(new (std::nothrow) uint16_t[static_cast<size_t>(count) * static_cast<size_t>(maxTaps)]);
    if (!list.taps || !list.weights) {
        return false;
    }
    double raw[2] = {};
    std::unique_ptr<double[]> boxRaw;
    if (box) {
        boxRaw.reset(new (std::nothrow) double[static_cast<size_t>(maxTaps)]);
        if (!boxRaw) {
            return false;
        }
    }
    for (int32_t j = 0; j < count; ++j) {
        double centre = centre0 + j * step;
        Tap& tap = list.taps[j];
        tap.weights = static_cast<size_t>(j) * static_cast<size_t>(maxTaps);
        double* w = box ? boxRaw.get() : raw;
        if (box) {
            double a = std::max(centre - footprint / 2, static_cast<double>(lo));
            double b = std::min(centre + footprint / 2, static_cast<double>(hi));
            int64_t first = clampIndex(static_cast<int64_t>(std::floor(a)), lo, hi - 1);
            int64_t last = clampIndex(static_cast<int64_t>(std::ceil(b)) - 1, static_cast<int32_t>(first), hi - 1);
            last = std::min<int64_t>(last, first + maxTaps - 1);
            tap.first = static_cast<int32_t>(first);
            tap.count = static_cast<int32_t>(last - first + 1);
            for (int32_t k = 0; k < tap.count; ++k) {
                double left = std::max(a, static_cast<double>(first + k));
                double right = std::min(b, static_cast<double>(first + k + 1));
                w[k] = std::max(right - left, 0.0);
            }
        } else {
            double p = centre - 0.5;
            double base = std::floor(p);
            double fraction = p - base;
            auto x0 = static_cast<int64_t>(base);
            int32_t i0 = clampIndex(x0, lo, hi - 1);
            int32_t i1 = clampIndex(x0 + 1, lo, hi - 1);
            tap.first = i0;
            if (i0 == i1) {
                tap.count = 1;
                w[0] = 1;
            } else {
                tap.count = 2;
                w[0] = 1 - fraction;
                w[1] = fraction;
            }
        }
        // Integer weights summing exactly to kTapOne, so flat areas keep their level.
        double total = 0;
        for (int32_t k = 0; k < tap.count; ++k) {
            total += w[k];
        }
        uint16_t* out = list.weights.get() + tap.weights;
        int64_t sum = 0;
        int32_t largest = 0;
        for (int32_t k = 0; k < tap.count; ++k) {
            double share = total > 0 ? w[k] / total : (k == 0 ? 1.0 : 0.0);
            out[k] = static_cast<uint16_t>(std::llround(share * kTapOne));
            sum += out[k];
            if (out[k] > out[largest]) {
                largest = k;
            }
        }
        out[largest] = static_cast<uint16_t>(out[largest] + (int64_t{kTapOne} - sum));
    }
    return true;
}

// ---- Destination side ------------------------------------------------------------------

constexpr uint8_t kBayer4[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// Offset added before truncating to levels step apart: spreads the error of a level over
// a 4x4 pattern (ordered dither).
inline int ditherOffset(int32_t x, int32_t y, int step) {
    return ((2 * kBayer4[y & 3][x & 3] + 1) * step) / 32;
}

inline int luminance(uint32_t p) {
    return static_cast<int>((((p >> 16) & 0xFF) * 77 + ((p >> 8) & 0xFF) * 150 + (p & 0xFF) * 29 + 128) >> 8);
}

// Nearest palette entry of a colour, remembered in a small direct-mapped cache.
class PaletteMatcher {
  public:
    void init(std::span<const Rgb> palette) {
        palette_ = palette;
        std::fill(std::begin(keys_), std::end(keys_), kEmpty);
    }
    uint32_t match(uint32_t colour) {
        colour &= 0x00FFFFFF;
        size_t slot = (colour * 2654435761u) >> (32 - kCacheBits);
        if (keys_[slot] == colour) {
            return values_[slot];
        }
        uint32_t best = 0;
        int bestDistance = 1 << 30;
        for (size_t i = 0; i < palette_.size(); ++i) {
            int dr = palette_[i].red - static_cast<int>((colour >> 16) & 0xFF);
            int dg = palette_[i].green - static_cast<int>((colour >> 8) & 0xFF);
            int db = palette_[i].blue - static_cast<int>(colour & 0xFF);
            int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = static_cast<uint32_t>(i);
            }
        }
        keys_[slot] = colour;
        values_[slot] = static_cast<uint8_t>(best);
        return best;
    }

  private:
    static constexpr int kCacheBits = 12;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    std::span<const Rgb> palette_;
    uint32_t keys_[1 << kCacheBits] = {};
    uint8_t values_[1 << kCacheBits] = {};
};

struct Target {
    Bitmap* bitmap = nullptr;
    Pixels pixels;  // for reading what is there
    bool hasAlpha = false;
    int bits = 0;
    bool grey = false;
    int greyLevels = 0;
    int paletteStep = 0;  // dither step for a colour palette
    bool dither = false;
    PaletteMatcher* matcher = nullptr;
};

template <Format F>
void loadRun(const Pixels& p, int32_t y, int32_t x, int n, uint32_t* out) {
    const uint8_t* row = p.row(y);
    for (int i = 0; i < n; ++i) {
        out[i] = fetch<F>(row, x + i, p.palette) | p.alphaOr;
    }
}

void loadDest(const Target& t, int32_t y, int32_t x, int n, uint32_t* out) {
    switch (t.pixels.format) {
        case Format::index1:
            return loadRun<Format::index1>(t.pixels, y, x, n, out);
        case Format::index2:
            return loadRun<Format::index2>(t.pixels, y, x, n, out);
        case Format::index4:
            return loadRun<Format::index4>(t.pixels, y, x, n, out);
        case Format::index8:
            return loadRun<Format::index8>(t.pixels, y, x, n, out);
        case Format::rgb555:
            return loadRun<Format::rgb555>(t.pixels, y, x, n, out);
        case Format::bgr24:
            return loadRun<Format::bgr24>(t.pixels, y, x, n, out);
        default:
            return loadRun<Format::bgra32>(t.pixels, y, x, n, out);
    }
}

inline void putIndex(uint8_t* row, int32_t x, int bits, uint32_t value) {
    size_t bitOffset = static_cast<size_t>(x) * static_cast<size_t>(bits);
    uint8_t& byte = row[bitOffset / 8];
    int shift = 8 - bits - static_cast<int>(bitOffset % 8);
    uint32_t mask = ((1u << bits) - 1) << shift;
    byte = static_cast<uint8_t>((byte & ~mask) | ((value << shift) & mask));
}

void storeRun(Target& t, int32_t y, int32_t x, int n, const uint32_t* in) {
    uint8_t* row = t.bitmap->row(y);
    switch (t.pixels.format) {
        case Format::bgra32: {
            uint32_t force = t.hasAlpha ? 0 : kOpaque;
            for (int i = 0; i < n; ++i) {
                uint32_t v = in[i] | force;
                std::memcpy(row + 4 * static_cast<size_t>(x + i), &v, sizeof v);
            }
            return;
        }
        case Format::bgr24:
            for (int i = 0; i < n; ++i) {
                uint8_t* p = row + 3 * static_cast<size_t>(x + i);
                p[0] = static_cast<uint8_t>(in[i]);
                p[1] = static_cast<uint8_t>(in[i] >> 8);
                p[2] = static_cast<uint8_t>(in[i] >> 16);
            }
            return;
        case Format::rgb555: {
            constexpr int kTop555 = 31;
            for (int i = 0; i < n; ++i) {
                int offset = t.dither ? ditherOffset(x + i, y, kMaxLevel) : kMaxLevel / 2;
                auto channel = [&](int shift) {
                    return static_cast<uint32_t>((static_cast<int>((in[i] >> shift) & 0xFF) * kTop555 + offset) /
                                                 kMaxLevel);
                };
                auto v = static_cast<uint16_t>(channel(16) << 10 | channel(8) << 5 | channel(0));
                uint8_t* p = row + 2 * static_cast<size_t>(x + i);
                p[0] = static_cast<uint8_t>(v);
                p[1] = static_cast<uint8_t>(v >> 8);
            }
            return;
        }
        default:
            break;
    }
    if (t.grey) {
        int top = t.greyLevels - 1;
        for (int i = 0; i < n; ++i) {
            int offset = t.dither ? ditherOffset(x + i, y, kMaxLevel) : kMaxLevel / 2;
            putIndex(row, x + i, t.bits, static_cast<uint32_t>((luminance(in[i]) * top + offset) / kMaxLevel));
        }
        return;
    }
    for (int i = 0; i < n; ++i) {
        uint32_t colour = in[i];
        if (t.dither) {
            int offset = ditherOffset(x + i, y, t.paletteStep) - t.paletteStep / 2;
            auto channel = [&](int shift) {
                return static_cast<uint32_t>(
                           std::clamp(static_cast<int>((colour >> shift) & 0xFF) + offset, 0, kMaxLevel))
                       << shift;
            };
            colour = channel(16) | channel(8) | channel(0);
        }
        putIndex(row, x + i, t.bits, t.matcher->match(colour));
    }
}

// Stores a run, leaving out the pixels outside the region.
void storeMasked(Target& t, pict::RegionMask* mask, int32_t y, int32_t x, int n, const uint32_t* in) {
    if (!mask) {
        storeRun(t, y, x, n, in);
        return;
    }
    int i = 0;
    while (i < n) {
        while (i < n && !mask->contains(x + i)) {
            ++i;
        }
        int start = i;
        while (i < n && mask->contains(x + i)) {
            ++i;
        }
        if (i > start) {
            storeRun(t, y, x + start, i - start, in + start);
        }
    }
}

// A copy of a 32-bit source with alpha whose colours inside rect are multiplied by their alpha.
Status premultiply(const Bitmap& source, const PixelRect& rect, Bitmap& out) {
    Status status = out.create(source.width(), source.height(), kDepth32);
    if (status != kNoErr) {
        return status;
    }
    out.setHasAlpha(true);
    for (int32_t y = rect.top; y < rect.bottom; ++y) {
        const uint8_t* from = source.row(y);
        uint8_t* to = out.row(y);
        for (auto x = static_cast<size_t>(rect.left); x < static_cast<size_t>(rect.right); ++x) {
            const uint32_t alpha = from[4 * x + 3];
            for (size_t c = 0; c < 3; ++c) {
                to[4 * x + c] = static_cast<uint8_t>((from[4 * x + c] * alpha + kMaxLevel / 2) / kMaxLevel);
            }
            to[4 * x + 3] = static_cast<uint8_t>(alpha);
        }
    }
    return kNoErr;
}

// Divides the colours of blended premultiplied pixels by their alpha again.
void unpremultiply(uint32_t* pixels, int n) {
    for (int i = 0; i < n; ++i) {
        const uint32_t p = pixels[i];
        const uint32_t alpha = p >> 24;
        if (alpha == 0 || alpha == kMaxLevel) {
            continue;
        }
        const uint32_t scale = ((uint32_t{kMaxLevel} << 16) + alpha / 2) / alpha;  // 255 / alpha, 16.16
        uint32_t result = p & kOpaque;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t level = std::min<uint32_t>(((p >> shift & 0xFF) * scale + 0x8000) >> 16, kMaxLevel);
            result |= level << shift;
        }
        pixels[i] = result;
    }
}

// ---- Planning ---------------------------------------------------------------------------

// Source coordinate bounds: lo <= u < uHi and vLo <= v < vHi.
struct CoordBox {
    Coord uLo, uHi, vLo, vHi;
};

bool insideBox(const SampleJob& job, const CoordBox& box, int32_t x) {
    Coord u = job.uAt(x);
    Coord v = job.vAt(x);
    return u >= box.uLo && u < box.uHi && v >= box.vLo && v < box.vHi;
}

// Narrows the estimate [start, end) to exactly the pixels whose samples fall inside the box,
// by the same integer stepping the samplers use. The pixels inside form one run, since the
// coordinates change linearly along the row.
void fitSpan(const SampleJob& job, const CoordBox& box, int32_t lo, int32_t hi, int32_t& start, int32_t& end) {
    start = std::clamp(start, lo, hi);
    end = std::clamp(end, start, hi);
    while (start < end && !insideBox(job, box, start)) {
        ++start;
    }
    while (end > start && !insideBox(job, box, end - 1)) {
        --end;
    }
    if (start == end) {
        return;
    }
    while (start > lo && insideBox(job, box, start - 1)) {
        --start;
    }
    while (end < hi && insideBox(job, box, end)) {
        ++end;
    }
}

// The x range (as doubles) where a + b * (x + 0.5) lies in [lo, hi).
void solveRange(double a, double b, double lo, double hi, double& from, double& to) {
    if (b == 0) {
        if (a < lo || a >= hi) {
            from = HUGE_VAL, to = -HUGE_VAL;
        }
        return;
    }
    double t1 = (lo - a) / b - 0.5;
    double t2 = (hi - a) / b - 0.5;
    from = std::max(from, std::min(t1, t2));
    to = std::min(to, std::max(t1, t2));
}

struct Plan {
    AffineDouble inverse;  // destination to source
    Sampling sampling = Sampling::nearest;
    bool supersample = false;
    PixelRect source;
    PixelRect area;  // destination pixels that may change
};

// The destination rectangle that the source rectangle covers, clipped to area.
PixelRect coveredRect(const AffineDouble& f, const PixelRect& s, const PixelRect& area) {
    const double xs[4] = {double(s.left), double(s.right), double(s.left), double(s.right)};
    const double ys[4] = {double(s.top), double(s.top), double(s.bottom), double(s.bottom)};
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
    for (int i = 0; i < 4; ++i) {
        double x = f.a * xs[i] + f.c * ys[i] + f.tx;
        double y = f.b * xs[i] + f.d * ys[i] + f.ty;
        minX = i ? std::min(minX, x) : x;
        maxX = i ? std::max(maxX, x) : x;
        minY = i ? std::min(minY, y) : y;
        maxY = i ? std::max(maxY, y) : y;
    }
    auto clampTo = [](double v, int32_t lo, int32_t hi) {
        return static_cast<int32_t>(std::clamp(v, static_cast<double>(lo), static_cast<double>(hi)));
    };
    PixelRect r;
    r.left = clampTo(std::floor(minX) - 1, area.left, area.right);
    r.right = clampTo(std::ceil(maxX) + 1, area.left, area.right);
    r.top = clampTo(std::floor(minY) - 1, area.top, area.bottom);
    r.bottom = clampTo(std::ceil(maxY) + 1, area.top, area.bottom);
    return r;
}

// A whole number of pixels in [lo, hi] (NaN gives lo).
int32_t clampRound(double v, int32_t lo, int32_t hi) {
    if (!(v >= lo)) {
        return lo;
    }
    return v >= hi ? hi : static_cast<int32_t>(v);
}

bool isIntegerTranslation(const AffineDouble& f) {
    return f.a == 1 && f.b == 0 && f.c == 0 && f.d == 1 && f.tx == std::floor(f.tx) && f.ty == std::floor(f.ty);
}

void setUpSupersampling(const AffineDouble& inv, SampleJob& job) {
    int ku = std::clamp(static_cast<int>(std::ceil(std::hypot(inv.a, inv.b))) + 1, 1, kMaxSupersample);
    int kv = std::clamp(static_cast<int>(std::ceil(std::hypot(inv.c, inv.d))) + 1, 1, kMaxSupersample);
    job.sampleCount = ku * kv;
    job.sampleReciprocal = static_cast<uint32_t>((65536 + job.sampleCount / 2) / job.sampleCount);
    int k = 0;
    for (int j = 0; j < kv; ++j) {
        double fv = (j + 0.5) / kv - 0.5;
        for (int i = 0; i < ku; ++i) {
            double fu = (i + 0.5) / ku - 0.5;
            job.offsetU[k] = toCoord(fu * inv.a + fv * inv.c);
            job.offsetV[k] = toCoord(fu * inv.b + fv * inv.d);
            ++k;
        }
    }
}

}  // namespace

bool samplingForQuality(int quality, Sampling& sampling) {
    if (quality < kQualityMin || quality > kQualityLossless) {
        return false;
    }
    sampling = quality < kQualityNormal ? Sampling::nearest
                                        : (quality < kQualityMax ? Sampling::bilinear : Sampling::areaAverage);
    return true;
}

PixelRect intersectRects(const PixelRect& a, const PixelRect& b) {
    PixelRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
    return r.empty() ? PixelRect{} : r;
}

Status drawBitmap(const Bitmap& source, Bitmap& dest, const DrawParams& params) {
    const TransferRule* rule = findTransferRule(params.mode);
    Plan plan;
    if (source.empty() || dest.empty() || &source == &dest || !rule ||
        !samplingForQuality(params.quality, plan.sampling) || !params.matrix.isAffine()) {
        return kParamErr;
    }
    plan.source = PixelRect{0, 0, source.width(), source.height()};
    if (params.hasSourceRect) {
        plan.source = intersectRects(plan.source, params.sourceRect);
    }
    plan.area = PixelRect{0, 0, dest.width(), dest.height()};
    if (params.hasClip) {
        plan.area = intersectRects(plan.area, params.clip);
    }
    if (params.clipRegion) {
        const PictRect& box = params.clipRegion->box;
        plan.area = intersectRects(plan.area, PixelRect{box.left, box.top, box.right, box.bottom});
    }
    AffineDouble forward = toAffineDouble(params.matrix);
    double det = forward.a * forward.d - forward.b * forward.c;
    if (plan.source.empty() || plan.area.empty() || det == 0) {
        return kNoErr;
    }
    AffineDouble& inv = plan.inverse;
    inv.a = forward.d / det;
    inv.b = -forward.b / det;
    inv.c = -forward.c / det;
    inv.d = forward.a / det;
    inv.tx = -(forward.tx * inv.a + forward.ty * inv.c);
    inv.ty = -(forward.tx * inv.b + forward.ty * inv.d);
    if (std::max({std::fabs(inv.a), std::fabs(inv.b), std::fabs(inv.c), std::fabs(inv.d)}) > kMaxSourceStep) {
        return kParamErr;
    }
    PixelRect covered = coveredRect(forward, plan.source, plan.area);
    if (covered.empty()) {
        return kNoErr;
    }

    bool axisAligned = inv.b == 0 && inv.c == 0;
    if (isIntegerTranslation(inv)) {
        plan.sampling = Sampling::nearest;
    } else if (plan.sampling == Sampling::areaAverage) {
        if (!axisAligned) {
            plan.supersample = std::hypot(inv.a, inv.b) > 1.0 || std::hypot(inv.c, inv.d) > 1.0;
            if (!plan.supersample) {
                plan.sampling = Sampling::bilinear;
            }
        } else if (std::fabs(inv.a) <= 1.0 && std::fabs(inv.d) <= 1.0) {
            plan.sampling = Sampling::bilinear;
        }
    }

    // Blending neighbours of a source with alpha weighs their colours by their alpha, so that
    // the colour of transparent pixels does not bleed into the edges of what shows.
    Bitmap premultiplied;
    const bool weighByAlpha = source.depth() == kDepth32 && source.hasAlpha() && plan.sampling != Sampling::nearest;
    if (weighByAlpha) {
        Status status = premultiply(source, plan.source, premultiplied);
        if (status != kNoErr) {
            return status;
        }
    }
    auto pixels = std::make_unique<Pixels>();
    auto job = std::make_unique<SampleJob>();
    describePixels(weighByAlpha ? premultiplied : source, *pixels);
    job->source = pixels.get();
    job->rect = plan.source;
    job->du = toCoord(inv.a);
    job->dv = toCoord(inv.b);

    Target target;
    target.bitmap = &dest;
    describePixels(dest, target.pixels);
    target.hasAlpha = dest.depth() == kDepth32 && dest.hasAlpha();
    target.bits = bitsPerPixel(dest.depth());
    target.grey = isGreyDepth(dest.depth());
    target.greyLevels = target.grey ? 1 << target.bits : 0;
    target.dither = rule->dither;
    std::unique_ptr<PaletteMatcher> matcher;
    if (isIndexedDepth(dest.depth()) && !target.grey) {
        matcher.reset(new (std::nothrow) PaletteMatcher);
        if (!matcher) {
            return kOutOfMemory;
        }
        matcher->init(dest.palette());
        target.matcher = matcher.get();
        int levels = std::max(2, static_cast<int>(std::lround(std::cbrt(static_cast<double>(dest.palette().size())))));
        target.paletteStep = kMaxLevel / (levels - 1);
    }

    // Straight into a 32-bit destination when nothing else needs to be combined.
    bool direct = rule->mode == kModeSrcCopy && target.pixels.format == Format::bgra32 && !params.clipRegion;
    job->alphaOr = direct && !target.hasAlpha ? kOpaque : pixels->alphaOr;
    SpanCombiner combine = spanCombiner(rule->mode);

    RowSampler sampler = pickSampler(pixels->format, plan.sampling, plan.supersample);
    TapList columns;
    TapList rows;
    ColumnTable columnTable;
    AreaRows areaRows;
    const AreaRowSummer sumRows = pickAreaSummer(pixels->format);
    const bool byColumns =
        plan.sampling == Sampling::bilinear && !plan.supersample && axisAligned && pixels->format == Format::bgra32;
    if (byColumns) {
        job->baseX = covered.left;
        job->baseU = toCoord(inv.tx + inv.a * (covered.left + 0.5));
        job->spanStart = covered.left;
        job->spanEnd = covered.right;
        if (!buildColumnTable(*job, covered.right - covered.left, std::fabs(inv.d) < 1.0, columnTable)) {
            return kOutOfMemory;
        }
        job->columnTable = &columnTable;
        sampler = &sampleBilinearColumns;
    } else if (plan.supersample) {
        setUpSupersampling(inv, *job);
    } else if (plan.sampling == Sampling::areaAverage) {
        // Columns are the same on every row: the span of the covered rectangle whose centres
        // map inside the source.
        double from = covered.left;
        double to = covered.right;
        solveRange(inv.tx, inv.a, plan.source.left, plan.source.right, from, to);
        // One column more on each side than the estimate; the rows' own spans decide.
        covered.left = clampRound(std::ceil(from) - 1, covered.left, covered.right);
        covered.right = clampRound(std::floor(to) + 2, covered.left, covered.right);
        from = covered.top;
        to = covered.bottom;
        solveRange(inv.ty, inv.d, plan.source.top, plan.source.bottom, from, to);
        covered.top = clampRound(std::ceil(from) - 1, covered.top, covered.bottom);
        covered.bottom = clampRound(std::floor(to) + 2, covered.top, covered.bottom);
        if (covered.empty()) {
            return kNoErr;
        }
        if (!buildTaps(inv.tx + inv.a * (covered.left + 0.5), inv.a, covered.right - covered.left, plan.source.left,
                       plan.source.right, columns) ||
            !buildTaps(inv.ty + inv.d * (covered.top + 0.5), inv.d, covered.bottom - covered.top, plan.source.top,
                       plan.source.bottom, rows)) {
            return kOutOfMemory;
        }
        if (!setUpAreaRows(columns, covered.right - covered.left, areaRows)) {
            return kOutOfMemory;
        }
        job->columns = &columns;
        job->rows = &rows;
        job->area = &areaRows;
        job->spanStart = covered.left;
    }

    pict::RegionMask regionMask;
    pict::RegionMask* mask = nullptr;
    if (params.clipRegion) {
        Status status = regionMask.init(*params.clipRegion);
        if (status != kNoErr) {
            return status;
        }
        mask = &regionMask;
    }

    const CoordBox inside{Coord{plan.source.left} << kCoordBits, Coord{plan.source.right} << kCoordBits,
                          Coord{plan.source.top} << kCoordBits, Coord{plan.source.bottom} << kCoordBits};
    const CoordBox interior{inside.uLo + kCoordHalf, inside.uHi - kCoordHalf, inside.vLo + kCoordHalf,
                            inside.vHi - kCoordHalf};
    const bool repeatRows = direct && plan.sampling == Sampling::nearest && axisAligned;
    struct RepeatedRow {
        int32_t y = 0;
        int64_t sourceRow = -1;
        int32_t start = 0;
        int32_t end = 0;
    } repeat;
    uint32_t sampled[kChunk];
    uint32_t combined[kChunk];
    for (int32_t y = covered.top; y < covered.bottom; ++y) {
        // Source coordinates along this row: u = uRow + inv.a * (x + 0.5), v likewise.
        double uRow = inv.c * (y + 0.5) + inv.tx;
        double vRow = inv.d * (y + 0.5) + inv.ty;
        double from = covered.left;
        double to = covered.right;
        solveRange(uRow, inv.a, plan.source.left, plan.source.right, from, to);
        solveRange(vRow, inv.b, plan.source.top, plan.source.bottom, from, to);
        if (!(from <= to)) {
            continue;
        }
        int32_t start = clampRound(std::ceil(from) - 1, covered.left, covered.right);
        int32_t end = clampRound(std::floor(to) + 2, start, covered.right);
        job->baseX = std::min(start, covered.right - 1);
        job->baseU = toCoord(uRow + inv.a * (job->baseX + 0.5));
        job->baseV = toCoord(vRow + inv.b * (job->baseX + 0.5));
        fitSpan(*job, inside, covered.left, covered.right, start, end);
        if (start >= end) {
            continue;
        }
        if (byColumns) {
            blendRowPair(*job, job->vAt(start), columnTable);
        } else if (plan.sampling == Sampling::bilinear && !plan.supersample) {
            job->interiorStart = start;
            job->interiorEnd = end;
            fitSpan(*job, interior, start, end, job->interiorStart, job->interiorEnd);
        }
        if (plan.sampling == Sampling::areaAverage && !plan.supersample) {
            job->rowTap = y - covered.top;
            sumRows(*job, areaRows);
        }
        if (repeatRows) {
            // Enlarging: a row that shows the same source row as the one above is a copy of it.
            const int64_t sourceRow = job->vAt(start) >> kCoordBits;
            if (sourceRow == repeat.sourceRow && start == repeat.start && end == repeat.end) {
                std::memcpy(dest.row(y) + 4 * static_cast<size_t>(start),
                            dest.row(repeat.y) + 4 * static_cast<size_t>(start), 4 * static_cast<size_t>(end - start));
                continue;
            }
            repeat = RepeatedRow{y, sourceRow, start, end};
        }
        if (mask) {
            mask->advanceTo(y);
        }
        for (int32_t x = start; x < end; x += kChunk) {
            int n = static_cast<int>(std::min<int32_t>(kChunk, end - x));
            if (direct) {
                auto* out = reinterpret_cast<uint32_t*>(dest.row(y) + 4 * static_cast<size_t>(x));
                sampler(*job, x, n, out);
                if (weighByAlpha) {
                    unpremultiply(out, n);
                }
                continue;
            }
            sampler(*job, x, n, sampled);
            if (weighByAlpha) {
                unpremultiply(sampled, n);
            }
            if (rule->readsDest) {
                loadDest(target, y, x, n, combined);
            } else {
                std::fill(combined, combined + n, kOpaque);
            }
            combine(sampled, combined, static_cast<size_t>(n), params.opColor);
            storeMasked(target, mask, y, x, n, combined);
        }
    }
    return kNoErr;
}

}  // namespace korvane::media
