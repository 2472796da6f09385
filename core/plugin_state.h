#pragma once
// The one record that lives from the host's start-up call to its shutdown call.

#include <cstdint>
#include <memory>

namespace korvane {

class ProgressDisplay;

inline constexpr intptr_t kNoSearchHandle = -1;

struct PluginState {
    // The directory search that KUtl-FindFile keeps open between calls.
    intptr_t searchHandle = kNoSearchHandle;
    // The progress display between calls, made on first use. Its deleter comes from the code
    // that made it, so destroying the state at shutdown closes the display.
    std::unique_ptr<ProgressDisplay, void (*)(ProgressDisplay*)> progress{nullptr, nullptr};
};

}  // namespace korvane
