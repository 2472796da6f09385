#pragma once
// Writing a whole file so that a failure leaves the disk as it was: the bytes go to a new file
// of a temporary name in the destination's folder, and only a complete file replaces (or
// becomes) the destination.

#include <cstddef>

#include "core/status.h"

namespace korvane::win32 {

// Writes `size` bytes as the file `path` (native, ANSI code page). An existing file there is
// replaced only once the new one is complete; after any failure the destination is unchanged
// and no temporary file is left. Statuses as the media layer answers them: -34 disk full,
// -61 no write permission (a read-only folder or file), -120 the folder does not exist,
// -108 memory, -36 anything else.
Status replaceFileContents(const char* path, const void* data, size_t size);

// The status the media layer answers when a file cannot be written.
Status mediaStatusForWriteError(unsigned long error);

}  // namespace korvane::win32
