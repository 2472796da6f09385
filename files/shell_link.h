#pragma once
// Reading the target of a shortcut (.lnk) through the shell's link object.

#include <cstddef>

namespace korvane::files {

// The target path of the shortcut file `path` into `target` (capacity counts the
// terminator). False when any step fails; `target` is then empty.
bool readShortcutTarget(const char* path, char* target, size_t capacity);

}  // namespace korvane::files
