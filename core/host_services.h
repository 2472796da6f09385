#pragma once
// What the portable code needs from the host during one external call: storing the
// result text and host memory. The Win32 entry point serves it from the host's call
// record; native tests serve it from a fake. A call reaches it through its Call.

#include <cstddef>
#include <cstdint>

#include "core/status.h"

namespace korvane {

class HostServices {
  public:
    virtual ~HostServices() = default;
    // Replaces the call's result with `length` bytes of `text` (no terminator sent).
    virtual Status storeResult(const char* text, size_t length) = 0;
    // Host memory (new pointer / dispose pointer); null on failure.
    virtual char* newPointer(int32_t size) = 0;
    virtual void disposePointer(char* pointer) = 0;
    // Status of the host's last memory operation.
    virtual Status memoryError() = 0;
};

}  // namespace korvane
