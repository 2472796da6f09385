// Our own readers (PICT, TGA, SGI, DIB, Photoshop, QuickTime image, MacPaint) on any bytes. One
// program per reader: the reader is chosen at build time by KORVANE_FUZZ_READER (1 PICT, 2 TGA,
// 3 SGI, 4 DIB, 5 Photoshop, 6 QuickTime image, 7 MacPaint).

#include <cstdint>

#include "fuzz/fuzz_text.h"
#include "platform/media/dib.h"
#include "platform/media/macpaint.h"
#include "platform/media/photoshop.h"
#include "platform/media/pict.h"
#include "platform/media/qtif.h"
#include "platform/media/sgi.h"
#include "platform/media/tga.h"

namespace {

using namespace korvane::media;

// Small enough that a fuzzed size cannot make each run allocate much.
constexpr size_t kMaxFuzzBitmapBytes = size_t{1} << 20;

void checkResult(korvane::Status status, const Bitmap& bitmap) {
    // A bitmap exactly when the read succeeds.
    if ((status == korvane::kNoErr) == bitmap.empty()) {
        __builtin_trap();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    korvane::fuzzing::FuzzBytes bytes(data, size);
    Bitmap bitmap;
#if KORVANE_FUZZ_READER == 1
    PictInfo info;
    readPictInfo(bytes.data(), bytes.size(), info);
    PictReadOptions options;
    options.maxBitmapBytes = kMaxFuzzBitmapBytes;
    checkResult(readPict(bytes.data(), bytes.size(), options, bitmap), bitmap);
#elif KORVANE_FUZZ_READER == 2
    ImageHeader header;
    readTgaHeader(bytes.data(), bytes.size(), header);
    checkResult(readTga(bytes.data(), bytes.size(), kMaxFuzzBitmapBytes, bitmap), bitmap);
#elif KORVANE_FUZZ_READER == 3
    ImageHeader header;
    readSgiHeader(bytes.data(), bytes.size(), header);
    checkResult(readSgi(bytes.data(), bytes.size(), kMaxFuzzBitmapBytes, bitmap), bitmap);
#elif KORVANE_FUZZ_READER == 4
    ImageHeader header;
    readDibHeader(bytes.data(), bytes.size(), header);
    checkResult(readDib(bytes.data(), bytes.size(), kMaxFuzzBitmapBytes, bitmap), bitmap);
#elif KORVANE_FUZZ_READER == 5
    ImageHeader header;
    readPhotoshopHeader(bytes.data(), bytes.size(), header);
    checkResult(readPhotoshop(bytes.data(), bytes.size(), kMaxFuzzBitmapBytes, bitmap), bitmap);
#elif KORVANE_FUZZ_READER == 6
    ImageHeader header;
    readQuickTimeImageHeader(bytes.data(), bytes.size(), header);
    PictReadOptions options;
    options.maxBitmapBytes = kMaxFuzzBitmapBytes;
    checkResult(readQuickTimeImage(bytes.data(), bytes.size(), options, bitmap), bitmap);
#elif KORVANE_FUZZ_READER == 7
    ImageHeader header;
    readMacPaintHeader(bytes.data(), bytes.size(), header);
    checkResult(readMacPaint(bytes.data(), bytes.size(), kMaxFuzzBitmapBytes, bitmap), bitmap);
#else
#error KORVANE_FUZZ_READER must name a reader
#endif
    return 0;
}
