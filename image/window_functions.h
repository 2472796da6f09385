#pragma once
// The functions that look at or draw over the host's document window without an image:
// KImg-CheckArea (a checksum of an area's pixels), KImg-Effect (the zoom outline) and
// KImg-GetMousePos (the mouse relative to a rectangle's anchor point).

#include "core/call.h"
#include "platform/media/window_port.h"

namespace korvane {

// `reads` keeps the bitmap the window is read into between calls; null reads into a new one.
Status checkAreaHandler(Call& call, PortReadBuffer* reads);
Status effectHandler(Call& call);
Status getMousePosHandler(Call& call);

}  // namespace korvane
