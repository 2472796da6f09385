// The JPEG and PNG header probe on any bytes.

#include <cstdint>

#include "fuzz/fuzz_text.h"
#include "platform/media/header_probe.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    korvane::fuzzing::FuzzBytes bytes(data, size);
    korvane::media::ProbedHeader header;
    korvane::media::probeHeader(bytes.data(), bytes.size(), header);
    return 0;
}
