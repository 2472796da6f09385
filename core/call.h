#pragma once
// What a handler receives for one external call, and the handler's shape. The module's
// wiring (module/) fills it in; the functions read their call from it.

#include "core/status.h"

namespace korvane {

// The record that lives from the host's start-up call to its shutdown call; defined by
// the module's wiring, which gives each function the part it needs.
struct PluginState;

struct CallContext {
    PluginState* state = nullptr;  // null before start-up and after shutdown
    void* phase = nullptr;         // three-phase functions: what prepare made
};

using Handler = Status (*)(CallContext& context);
using PrepareStep = Status (*)(CallContext& context);
using FinishStep = Status (*)(Status status, CallContext& context);

}  // namespace korvane
