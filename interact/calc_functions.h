#pragma once
// The calculation functions: KUtl-CalcRect, KUtl-CalcPoint and KUtl-CalcColor. Each runs
// once per command, reads its arguments from the current command and stores one result.

#include "core/call.h"
#include "core/status.h"

namespace korvane {

// KUtl-CalcRect: query, change and test the rectangle RECT (or the first argument).
Status calcRectHandler(Call& call);
// KUtl-CalcPoint: query, change and test the point POINT (or the first argument).
Status calcPointHandler(Call& call);
// KUtl-CalcColor: query and change the colour COLOR (or the first argument). A swatch
// (SAMPLE, SAMPLE3D) is not built yet and answers kUnimplemented.
Status calcColorHandler(Call& call);

}  // namespace korvane
