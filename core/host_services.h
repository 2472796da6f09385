#pragma once
// What the portable core needs from the host during one external call: storing the
// result text and host memory. The Win32 entry point serves it from the host's call
// record; native tests serve it from a fake.

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

// The services of the call in progress; null outside a call.
HostServices* currentHost();
void setCurrentHost(HostServices* host);

// Stores `text` as the call's result. A null text answers kParamErr and changes nothing.
Status setResult(const char* text);

}  // namespace korvane
