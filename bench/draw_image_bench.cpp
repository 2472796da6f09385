// DrawImage ScaleToFit of a 12-megapixel JPEG into an 800 x 600 rectangle of a window, beside
// a plain decode of the same file, in the same run. Everything DrawImage does after the
// decode (operations, placement, reading the window, the area-averaging shrink, showing
// the result) is timed on its own, on the image decoded once, and should take at most a
// quarter of the decode.
//
//   tools/wine-exec build/win32/bench/draw_image_bench.exe [ROUNDS]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/test_jpeg.h"
#include "bench/timing.h"
#include "core/args.h"
#include "image/image_operations.h"
#include "image/placement.h"
#include "module/dispatch.h"
#include "module/function_table.h"
#include "platform/media/importer.h"
#include "platform/media/window_port.h"
#include "platform/win32/raii.h"
#include "tests/image/image_corpus.h"
#include "tests/image/wic_test_images.h"
#include "tests/support/fake_host.h"
#include "tests/support/parameter_text.h"

namespace {

using namespace korvane;
using bench::median;

constexpr UINT kWidth = 4000;
constexpr UINT kHeight = 3000;
constexpr int kDrawImage = 1;

// One DrawImage call as the entry point makes it, into `window`.
bool drawImage(HWND window, const std::string& parameter) {
    test::FakeHost host;
    CallResources resources;
    Call call;
    call.host = &host;
    call.documentWindow = window;
    call.resources = &resources;
    test::ParameterText text(parameter);
    call.arguments = &text;
    return runExternalFunction(functionTable(), kDrawImage, call) == kNoErr;
}

// What DrawImage does after the decode, on an image decoded once: the operations and
// placement, then the window's pixels under the image read, composed and written back.
bool drawDecoded(HWND window, const media::Bitmap& image, const std::string& parameter) {
    CallResources resources;
    Call call;
    call.documentWindow = window;
    call.resources = &resources;
    test::ParameterText text(parameter);
    MediaPort* port = hostDrawingPort(call);
    DrawPlan plan = initialPlan(image.width(), image.height());
    media::FixedRect bounds;
    const media::PixelRect target{0, 0, 800, 600};
    if (port == nullptr || applyImageOperations(readImageOperations(text, plan), plan) != kNoErr ||
        !planBounds(plan, bounds) || placeImage(readPlacement(text), bounds, target, plan.matrix) != kNoErr) {
        return false;
    }
    media::Bitmap patch;
    if (readPortPixels(*port, target, patch) != kNoErr) {
        return false;
    }
    media::DrawParams params;
    params.matrix = plan.matrix;
    params.quality = plan.quality;
    params.hasClip = true;
    params.clip = target;
    return media::drawBitmap(image, patch, params) == kNoErr && writePortPixels(*port, patch, 0, 0) == kNoErr;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const auto apartment = win32::init_com_apartment();
    const bench::TestJpeg jpeg = bench::writeTestJpeg(kWidth, kHeight, "korv_bench_12mp.jpg");
    if (jpeg.path.empty()) {
        return 1;
    }
    const std::string& path = jpeg.path;
    const win32::unique_hwnd window(CreateWindowExA(0, "STATIC", "draw bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                                                    840, 660, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
    if (!window) {
        std::fprintf(stderr, "could not make a window\n");
        return 1;
    }
    const std::string parameter = "DESTRECT=0,0,800,600 DISPLAYMODE=ScaleToFit PATH=" + image_testing::quotedPath(path);
    const double decode = median(rounds, [&] {
        media::Importer importer;
        media::Bitmap bitmap;
        return importer.openFile(path.c_str()) == kNoErr && importer.decode(bitmap) == kNoErr;
    });
    const double draw = median(rounds, [&] { return drawImage(window.get(), parameter); });
    media::Bitmap decoded;
    media::Importer importer;
    if (importer.openFile(path.c_str()) != kNoErr || importer.decode(decoded) != kNoErr) {
        std::fprintf(stderr, "could not decode the test JPEG\n");
        return 1;
    }
    const double drawing = median(rounds, [&] { return drawDecoded(window.get(), decoded, parameter); });
    DeleteFileA(path.c_str());

    std::printf("file: %u x %u JPEG, %zu bytes, drawn ScaleToFit into 800 x 600\n", kWidth, kHeight, jpeg.bytes);
    std::printf("decode alone       median of %d: %8.2f ms\n", rounds, decode * 1000);
    std::printf("whole DrawImage    median of %d: %8.2f ms\n", rounds, draw * 1000);
    std::printf("after the decode   median of %d: %8.2f ms = %.1f%% of the decode (aim: at most 25%%)\n", rounds,
                drawing * 1000, decode > 0 ? 100 * drawing / decode : 0.0);
    return draw < 0 || decode < 0 || drawing < 0 ? 1 : 0;
}
