#pragma once
// KImg-Version and KUtl-Version: the version of this module, from its version record.

#include <windows.h>

#include <cstddef>

#include "core/call.h"

namespace korvane {

// FileVersion of the module's Japanese (Shift-JIS) string block, or "unknown".
void readVersionText(HMODULE module, char* out, size_t capacity);

Status versionHandler(Call& call);

}  // namespace korvane
