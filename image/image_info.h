#pragma once
// KImg-ImageInfo: an image's size, depth, resolution and page count as result text.

#include "core/call.h"
#include "core/status.h"

namespace korvane {

Status imageInfoHandler(Call& call);

}  // namespace korvane
