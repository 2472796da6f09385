// ImageInfo of a 24-megapixel JPEG beside a full decode of the same file, in the same run.
// ImageInfo reads the header only, so it should take a small fraction of the decode.
//
//   tools/wine-exec build/win32/bench/image_info_bench.exe [ROUNDS]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/test_jpeg.h"
#include "bench/timing.h"
#include "image/image_info.h"
#include "platform/media/importer.h"
#include "platform/win32/raii.h"
#include "tests/image/image_corpus.h"
#include "tests/image/wic_test_images.h"
#include "tests/support/handler_fixture.h"

namespace {

using namespace korvane;
using bench::median;

constexpr UINT kWidth = 6000;
constexpr UINT kHeight = 4000;

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const auto apartment = win32::init_com_apartment();
    const bench::TestJpeg jpeg = bench::writeTestJpeg(kWidth, kHeight, "korv_bench_24mp.jpg");
    if (jpeg.path.empty()) {
        return 1;
    }
    const std::string& path = jpeg.path;
    const std::string parameter = "PATH=" + image_testing::quotedPath(path);
    std::string answer;
    const double info = median(rounds, [&] {
        const test::HandlerRun run = test::runHandler(imageInfoHandler, parameter);
        answer = run.result;
        return run.status == kNoErr;
    });
    const double decode = median(rounds, [&] {
        media::Importer importer;
        media::Bitmap bitmap;
        return importer.openFile(path.c_str()) == kNoErr && importer.decode(bitmap) == kNoErr;
    });
    DeleteFileA(path.c_str());
    std::printf("file: %u x %u JPEG, %zu bytes; ImageInfo answers %s\n", kWidth, kHeight, jpeg.bytes, answer.c_str());
    std::printf("ImageInfo   median of %d: %8.2f ms\n", rounds, info * 1000);
    std::printf("full decode median of %d: %8.2f ms\n", rounds, decode * 1000);
    std::printf("ImageInfo / decode: %.2f%% (aim: under 5%%)\n", decode > 0 ? 100 * info / decode : 0.0);
    return info < 0 || decode < 0 ? 1 : 0;
}
