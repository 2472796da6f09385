#pragma once
// A block of bytes on malloc with its size: picture data, downloads, files read whole. The
// media layer's stand-in for a movable memory handle.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "core/status.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

struct OwnedBytes {
    std::unique_ptr<uint8_t, FreeDeleter> data;
    size_t size = 0;

    bool empty() const { return !data || size == 0; }
    void reset() {
        data.reset();
        size = 0;
    }
};

// Replaces `out` with a copy of size bytes. -108 when memory runs out (out is then empty).
inline Status copyBytes(const void* bytes, size_t size, OwnedBytes& out) {
    out.reset();
    if (size == 0) {
        return kNoErr;
    }
    out.data.reset(static_cast<uint8_t*>(std::malloc(size)));
    if (!out.data) {
        return kOutOfMemory;
    }
    std::memcpy(out.data.get(), bytes, size);
    out.size = size;
    return kNoErr;
}

// Takes what a ByteWriter wrote. -108 when the writer ran out of memory.
inline Status takeWritten(ByteWriter& writer, OwnedBytes& out) {
    out.reset();
    if (!writer.ok()) {
        return kOutOfMemory;
    }
    out.data = writer.release(out.size);
    return kNoErr;
}

}  // namespace korvane::media
