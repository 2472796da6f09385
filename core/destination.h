#pragma once
// The destination rectangle and the anchor that the drawing functions and the functions
// that read the host's window share. Portable.

#include <cstdint>

#include "core/args.h"
#include "core/geometry.h"

namespace korvane {

enum class Anchor : uint8_t { none, topLeft, topRight, bottomLeft, bottomRight, center };

// The index of ANCHOR in "TOPLEFT,TOPRIGHT,BOTTOMLEFT,BOTTOMRIGHT,CENTER" (none when absent).
Anchor readAnchor(const Arguments& args);

// The rectangle the command names: DESTRECT, else RECT, else a rectangle as the first
// positional argument (an empty rectangle counts as none).
bool readGivenDestination(const Arguments& args, Rect* rect);

// Pixels the host's status area takes at the window's left edge.
inline constexpr int32_t kStatusAreaWidth = 69;

// The given rectangle, or `portRect` (the host drawing port's rectangle) with its left edge
// at 0 when none is given. With STATUSAREA true and the window not scrolled sideways
// (originX 0), it moves right past the host's status area. Returns whether one was given.
bool readDestination(const Arguments& args, const Rect& portRect, int32_t originX, Rect* rect);

}  // namespace korvane
