// Path classification and the rewrites between path conventions, on any text.

#include <cstdint>
#include <cstring>

#include "core/shift_jis.h"
#include "fuzz/fuzz_text.h"
#include "platform/paths/path_text.h"

namespace {

constexpr size_t kOut = 300;

bool lookupVolume(const char* label, char* out, size_t capacity) {
    if (std::strcmp(label, "Data") != 0 || capacity < 4) {
        return false;
    }
    std::memcpy(out, "D:\\", 4);
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane;
    fuzzing::FuzzText text(data, size);
    const char* t = text.get();
    classifyPathText(t);
    lastSeparator(t);
    extensionOf(t);
    isPlainItemName(t);
    for (size_t i = 0; i <= std::strlen(t); ++i) {
        isSecondByteAt(t, i);
    }
    // A small capacity as well as an ample one: every rewrite must stay inside its buffer.
    for (size_t capacity : {size_t{8}, kOut}) {
        char out[kOut];
        networkFormToNative(t, out, capacity);
        colonFormToNative(t, lookupVolume, out, capacity);
        completeDriveRoot(t, out, capacity);
        networkVolumeRoot(t, out, capacity);
        nativeToNetworkForm(t, out, capacity);
    }
    fuzzing::FuzzText trimmed(data, size);
    removeTrailingSeparator(trimmed.get());
    return 0;
}
