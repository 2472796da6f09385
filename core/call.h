#pragma once
// One external call as a handler receives it, and the handler's shape. The module's
// wiring (module/) makes one per host call and hands it to the function's handler: the
// parsed parameter text, the host's services (the result, host memory), the module's
// instance, the host's document window, the resources that live for this call, and the
// state kept between calls.

#include <cstring>

#include "core/args.h"
#include "core/host_services.h"
#include "core/status.h"

namespace korvane {

// The record that lives from the host's start-up call to its shutdown call, and the
// resources that live for one call (the drawing port); both defined by the module's
// wiring, which gives each function the part it needs.
struct PluginState;
struct CallResources;

struct Call {
    Arguments* arguments = nullptr;  // the parameter text; null reads as no arguments
    HostServices* host = nullptr;    // the result and host memory; null: nothing can be stored
    void* moduleInstance = nullptr;  // the module's HINSTANCE, as the host passed it
    void* documentWindow = nullptr;  // the host's front document window (HWND), or null
    PluginState* state = nullptr;    // null before start-up and after shutdown
    CallResources* resources = nullptr;
    void* phase = nullptr;  // three-phase functions: what prepare made

    // The current command's arguments.
    const Arguments& args() const {
        static const Arguments kNoArguments;
        return arguments != nullptr ? *arguments : kNoArguments;
    }

    // Stores `text` as the call's result. A null text, or no host, answers kParamErr.
    Status setResult(const char* text) const {
        if (text == nullptr || host == nullptr) {
            return kParamErr;
        }
        return host->storeResult(text, std::strlen(text));
    }
};

using Handler = Status (*)(Call& call);
using PrepareStep = Status (*)(Call& call);
using FinishStep = Status (*)(Status status, Call& call);

}  // namespace korvane
