#pragma once
// KImg-CompressImage and KImg-CompressImageDialog: recompressing an image file (or the
// clipboard's picture) with a codec, depth and quality, and choosing those in a dialog.

#include "core/call.h"
#include "core/status.h"

namespace korvane {

Status compressImageHandler(Call& call);
Status compressImageDialogHandler(Call& call);

}  // namespace korvane
