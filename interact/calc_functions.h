#pragma once
// The calculation functions: KUtl-CalcRect, KUtl-CalcPoint and KUtl-CalcColor. Each runs
// once per command, reads its arguments from the current command and stores one result.

#include "core/call.h"
#include "core/status.h"
#include "interact/color_swatch.h"

namespace korvane {

// KUtl-CalcRect: query, change and test the rectangle RECT (or the first argument).
Status calcRectHandler(Call& call);
// KUtl-CalcPoint: query, change and test the point POINT (or the first argument).
Status calcPointHandler(Call& call);
// KUtl-CalcColor: query and change the colour COLOR (or the first argument), or hand a
// swatch of it (SAMPLE, SAMPLE3D) to placePicture instead of answering; without a placer a
// swatch answers kUnimplemented.
Status calcColorHandler(Call& call, PicturePlacer placePicture);

}  // namespace korvane
