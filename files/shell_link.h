#pragma once
// Reading the target of a shortcut (.lnk) through the shell's link object.

#include <cstddef>

namespace korvane::files {

// The target path of the shortcut file `path` into `target` (capacity counts the
// terminator). `ownerWindow` (an HWND, may be null) owns anything the shell shows while
// it looks for a moved target. False when any step fails; `target` is then empty.
bool readShortcutTarget(void* ownerWindow, const char* path, char* target, size_t capacity);

}  // namespace korvane::files
