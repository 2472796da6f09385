// The compositor against pixman on the same work: a 1600x1200 32-bit source drawn with a
// 4:1 and a 1.5:1 shrink, a 2x enlargement and a 30-degree rotation, nearest and bilinear,
// and the shrinks at MAX quality (our area average against pixman's separable convolution
// with box kernels). Prints output megapixels per second for each and the ratio.
//
// The native preset is a sanitizer Debug build, so measure in a Release tree of its own:
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release
//   cmake --build build/bench --target compositor_bench
//   build/bench/bench/compositor_bench [SECONDS_PER_ROW [ROW_NAME_PART]]
// It needs pixman (Debian's libpixman-1-dev); without it the program is not built.

#include <pixman.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <vector>

#include "platform/media/compositor.h"

namespace {

using namespace korvane;
using namespace korvane::media;

constexpr int32_t kSourceWidth = 1600;
constexpr int32_t kSourceHeight = 1200;
constexpr int kSubsampleBits = 4;

// CPU time of this thread: other programs sharing the machine do not count against a run.
double threadSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Runs the two contenders in turn until each has had `seconds` (and at least five runs);
// the best run of each, so that both meet the same conditions.
void bestOfBoth(double seconds,
                const std::function<void()>& ours,
                const std::function<void()>& theirs,
                double& oursBest,
                double& theirsBest) {
    oursBest = 1e30;
    theirsBest = 1e30;
    double oursTotal = 0;
    double theirsTotal = 0;
    for (int runs = 0; runs < 5 || oursTotal < seconds || theirsTotal < seconds; ++runs) {
        double start = threadSeconds();
        ours();
        double middle = threadSeconds();
        theirs();
        double end = threadSeconds();
        oursBest = std::min(oursBest, middle - start);
        theirsBest = std::min(theirsBest, end - middle);
        oursTotal += middle - start;
        theirsTotal += end - middle;
    }
}

struct Case {
    const char* name;
    double scale;    // destination pixels per source pixel
    double degrees;  // clockwise
    int quality;
};

pixman_filter_t pixmanFilter(int quality) {
    Sampling sampling = Sampling::nearest;
    samplingForQuality(quality, sampling);
    switch (sampling) {
        case Sampling::nearest:
            return PIXMAN_FILTER_NEAREST;
        case Sampling::bilinear:
            return PIXMAN_FILTER_BILINEAR;
        default:
            return PIXMAN_FILTER_SEPARABLE_CONVOLUTION;
    }
}

// Mean absolute difference of the colour channels of two 32-bit buffers, as a sanity check
// that both libraries did the same work.
double meanDifference(const Bitmap& a, const std::vector<uint32_t>& b) {
    double sum = 0;
    for (int32_t y = 0; y < a.height(); ++y) {
        for (int32_t x = 0; x < a.width(); ++x) {
            uint32_t p;
            std::memcpy(&p, a.row(y) + 4 * x, 4);
            uint32_t q = b[static_cast<size_t>(y) * static_cast<size_t>(a.width()) + static_cast<size_t>(x)];
            for (int c = 0; c < 24; c += 8) {
                sum += std::abs(static_cast<int>((p >> c) & 0xFF) - static_cast<int>((q >> c) & 0xFF));
            }
        }
    }
    return sum / (3.0 * a.width() * a.height());
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? std::max(0.05, std::atof(argv[1])) : 0.5;
    Bitmap source;
    if (source.create(kSourceWidth, kSourceHeight, kDepth32) != kNoErr) {
        std::fprintf(stderr, "no memory for the source\n");
        return 1;
    }
    // A photograph-like mix: smooth gradients with fine detail on top.
    for (int32_t y = 0; y < kSourceHeight; ++y) {
        for (int32_t x = 0; x < kSourceWidth; ++x) {
            auto detail = static_cast<uint8_t>((x * 7 ^ y * 13) & 0x3F);
            source.setPixel(x, y,
                            Rgba{static_cast<uint8_t>(x * 255 / kSourceWidth / 2 + detail),
                                 static_cast<uint8_t>(y * 255 / kSourceHeight / 2 + detail),
                                 static_cast<uint8_t>((x + y) & 0xFF), 255});
        }
    }
    pixman_image_t* pixmanSource =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kSourceWidth, kSourceHeight,
                                 reinterpret_cast<uint32_t*>(source.row(0)), static_cast<int>(source.stride()));

    const Case cases[] = {
        {"shrink 4:1 nearest", 0.25, 0, kQualityMin},
        {"shrink 4:1 bilinear", 0.25, 0, kQualityNormal},
        {"shrink 4:1 MAX", 0.25, 0, kQualityMax},
        {"shrink 1.5:1 nearest", 1 / 1.5, 0, kQualityMin},
        {"shrink 1.5:1 bilinear", 1 / 1.5, 0, kQualityNormal},
        {"shrink 1.5:1 MAX", 1 / 1.5, 0, kQualityMax},
        {"enlarge 2x nearest", 2, 0, kQualityMin},
        {"enlarge 2x bilinear", 2, 0, kQualityNormal},
        {"rotate 30 nearest", 1, 30, kQualityMin},
        {"rotate 30 bilinear", 1, 30, kQualityNormal},
    };
    std::printf("%-24s %10s %10s %12s %8s %9s\n", "row", "output", "ours MP/s", "pixman MP/s", "ratio", "mean diff");
    for (const Case& c : cases) {
        if (argc > 2 && !std::strstr(c.name, argv[2])) {
            continue;
        }
        // Our matrix maps the source into the destination's top-left corner.
        FixedMatrix matrix;
        matrix.scale(static_cast<Fixed>(std::lround(c.scale * kFixedOne)),
                     static_cast<Fixed>(std::lround(c.scale * kFixedOne)), 0, 0);
        FixedRect box{0, 0, kSourceWidth * kFixedOne, kSourceHeight * kFixedOne};
        if (c.degrees != 0) {
            matrix.rotate(static_cast<Fixed>(c.degrees * kFixedOne), 0, 0);
        }
        FixedRect mapped = box;
        transformRect(matrix, mapped);
        matrix.translate(-mapped.left, -mapped.top);
        auto width = static_cast<int32_t>(std::ceil((mapped.right - mapped.left) / 65536.0));
        auto height = static_cast<int32_t>(std::ceil((mapped.bottom - mapped.top) / 65536.0));

        Bitmap dest;
        if (dest.create(width, height, kDepth32) != kNoErr) {
            std::fprintf(stderr, "no memory for %s\n", c.name);
            return 1;
        }
        DrawParams params;
        params.matrix = matrix;
        params.quality = c.quality;

        // pixman's transform goes the other way: destination to source.
        AffineDouble f = toAffineDouble(matrix);
        double det = f.a * f.d - f.b * f.c;
        AffineDouble inv{f.d / det, -f.b / det, -f.c / det, f.a / det, 0, 0};
        inv.tx = -(f.tx * inv.a + f.ty * inv.c);
        inv.ty = -(f.tx * inv.b + f.ty * inv.d);
        pixman_transform_t transform;
        pixman_transform_init_identity(&transform);
        transform.matrix[0][0] = pixman_double_to_fixed(inv.a);
        transform.matrix[0][1] = pixman_double_to_fixed(inv.c);
        transform.matrix[0][2] = pixman_double_to_fixed(inv.tx);
        transform.matrix[1][0] = pixman_double_to_fixed(inv.b);
        transform.matrix[1][1] = pixman_double_to_fixed(inv.d);
        transform.matrix[1][2] = pixman_double_to_fixed(inv.ty);
        pixman_image_set_transform(pixmanSource, &transform);
        pixman_filter_t filter = pixmanFilter(c.quality);
        if (filter == PIXMAN_FILTER_SEPARABLE_CONVOLUTION) {
            int count = 0;
            pixman_fixed_t* values = pixman_filter_create_separable_convolution(
                &count, pixman_double_to_fixed(1 / c.scale), pixman_double_to_fixed(1 / c.scale), PIXMAN_KERNEL_BOX,
                PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, PIXMAN_KERNEL_BOX, kSubsampleBits, kSubsampleBits);
            pixman_image_set_filter(pixmanSource, filter, values, count);
            std::free(values);
        } else {
            pixman_image_set_filter(pixmanSource, filter, nullptr, 0);
        }
        std::vector<uint32_t> pixmanPixels(static_cast<size_t>(width) * static_cast<size_t>(height));
        pixman_image_t* pixmanDest =
            pixman_image_create_bits(PIXMAN_x8r8g8b8, width, height, pixmanPixels.data(), width * 4);
        double ours = 0;
        double theirs = 0;
        bestOfBoth(
            seconds, [&] { drawBitmap(source, dest, params); },
            [&] {
                pixman_image_composite32(PIXMAN_OP_SRC, pixmanSource, nullptr, pixmanDest, 0, 0, 0, 0, 0, 0, width,
                                         height);
            },
            ours, theirs);
        pixman_image_unref(pixmanDest);

        double megapixels = static_cast<double>(width) * height / 1e6;
        std::printf("%-24s %4dx%-5d %10.1f %12.1f %8.2f %9.2f\n", c.name, width, height, megapixels / ours,
                    megapixels / theirs, theirs / ours, meanDifference(dest, pixmanPixels));
    }
    pixman_image_unref(pixmanSource);
    return 0;
}
