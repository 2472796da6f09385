#pragma once
// KUtl-PickColor: the user chooses a colour in the system's colour dialog.

#include "core/call.h"
#include "core/status.h"

namespace korvane {

// Answers the chosen colour as r,g,b, or kUserCanceled.
Status pickColorHandler(Call& call);

}  // namespace korvane
