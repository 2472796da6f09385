// The web address form check on any text.

#include <cstdint>

#include "fuzz/fuzz_text.h"
#include "platform/media/web_address.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    korvane::fuzzing::FuzzText text(data, size);
    korvane::media::isWellFormedWebAddress(text.get());
    return 0;
}
