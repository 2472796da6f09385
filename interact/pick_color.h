#pragma once
// KUtl-PickColor: the user chooses a colour in the system's colour dialog.

#include "core/function_table.h"
#include "core/status.h"

namespace korvane {

// Answers the chosen colour as r,g,b, or kUserCanceled.
Status pickColorHandler(CallContext& context);

}  // namespace korvane
