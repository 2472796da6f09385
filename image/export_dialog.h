#pragma once
// Our export dialog: the system's save dialog over the host's document window, offering the
// still-image types we write, with our part of it (template KORVANE_IDD_EXPORT) that gives
// it its Japanese title and a line on choosing the type.

#include <cstdint>

#include "core/call.h"
#include "core/status.h"
#include "platform/paths/file_ref.h"

namespace korvane {

// Shows the dialog, starting in the folder of `start` with its name when `start` is not
// null, and with `fileType` selected when the dialog offers it (else the first type).
// Answers 0 with the chosen file in `chosen` (its path only; the file need not exist) and
// the chosen type in `chosenType`; -128 when the user cancels; -37 when the chosen path is
// too long for a FileRef; -108 when the dialog cannot be shown. On failure the outputs are
// left alone.
Status runExportDialog(const Call& call,
                       const FileRef* start,
                       uint32_t fileType,
                       FileRef& chosen,
                       uint32_t& chosenType);

}  // namespace korvane
