#include "core/destination.h"

#include "core/args.h"

namespace korvane {

namespace {

constexpr char kAnchors[] = "TOPLEFT,TOPRIGHT,BOTTOMLEFT,BOTTOMRIGHT,CENTER";

}  // namespace

Anchor readAnchor() {
    return static_cast<Anchor>(tagKeyword("ANCHOR", kAnchors));
}

bool readGivenDestination(Rect* rect) {
    return readRectArg("DESTRECT", rect) || readRectArg("RECT", rect) || readRectArgAt(1, rect);
}

bool readDestination(const Rect& portRect, int32_t originX, Rect* rect) {
    const bool given = readGivenDestination(rect);
    if (!given) {
        *rect = portRect;
        rect->left = 0;
    }
    if (tagBool("STATUSAREA", false) && originX == 0) {
        *rect = offsetRect(*rect, kStatusAreaWidth, 0);
    }
    return given;
}

}  // namespace korvane
