#pragma once
// The forty external functions, by number, with their handlers.

#include <cstdint>

#include "core/call.h"
#include "core/status.h"

namespace korvane {

inline constexpr int kFunctionCount = 40;

struct FunctionEntry {
    const char* name;
    Handler run;
    PrepareStep prepare = nullptr;  // three-phase functions only
    FinishStep finish = nullptr;    // three-phase functions only
    Status missingState = 0;        // non-zero: needs PluginState, answers this without it
};

// The module's table, indexed by function number.
const FunctionEntry* functionTable();

}  // namespace korvane
