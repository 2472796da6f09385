#pragma once
// KImg-ImageInfo: an image's size, depth, resolution and page count as result text.

#include "core/function_table.h"
#include "core/status.h"

namespace korvane {

Status imageInfoHandler(CallContext& context);

}  // namespace korvane
