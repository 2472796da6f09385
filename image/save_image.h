#pragma once
// The finish of KImg-SaveImage: the composed image exported to the file the last command
// names, and that file's path as the result.

#include "core/args.h"
#include "core/call.h"
#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/paths/file_ref.h"

namespace korvane {

// What the last command says about the export: the type from EXTENSION (which wins) or
// FILETYPE, the creator, and the destination DEST (a file that need not exist yet).
struct ExportSettings {
    uint32_t fileType = 0;  // 0: unset
    uint32_t creator = 0;
    bool hasDestination = false;
    FileRef destination;
    bool complete() const { return fileType != 0 && hasDestination; }
};

// Reads the settings; a DEST that does not resolve is the status.
Status readExportSettings(const Arguments& args, ExportSettings& out);

// Exports the composed image: settings that are not complete are completed by the export
// dialog (its cancel answers -128 and writes nothing). Then the type's extension appended
// when the destination has no "." anywhere, the file written under a temporary name in its
// folder and moved over any existing one only when complete, and the saved path (network
// paths in colon form, escaped) as the result. -2003 for a type that is not a still image,
// before any dialog.
Status saveComposedImage(Call& call, const media::Bitmap& composed);

// KImg-SaveImage's finish: the composition as GrabImage makes it, then saveComposedImage.
Status saveImageFinish(Status status, Call& call);

}  // namespace korvane
