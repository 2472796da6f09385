#pragma once
// The one record that lives from the host's start-up call to its shutdown call.

#include <cstdint>

namespace korvane {

inline constexpr intptr_t kNoSearchHandle = -1;

struct PluginState {
    // The directory search that KUtl-FindFile keeps open between calls.
    intptr_t searchHandle = kNoSearchHandle;
};

}  // namespace korvane
