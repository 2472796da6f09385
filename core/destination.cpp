#include "core/destination.h"

#include "core/args.h"

namespace korvane {

namespace {

constexpr char kAnchors[] = "TOPLEFT,TOPRIGHT,BOTTOMLEFT,BOTTOMRIGHT,CENTER";

}  // namespace

Anchor readAnchor(const Arguments& args) {
    return static_cast<Anchor>(args.tagKeyword("ANCHOR", kAnchors));
}

bool readGivenDestination(const Arguments& args, Rect* rect) {
    return readRectArg(args, "DESTRECT", rect) || readRectArg(args, "RECT", rect) || readRectArgAt(args, 1, rect);
}

bool readDestination(const Arguments& args, const Rect& portRect, int32_t originX, Rect* rect) {
    const bool given = readGivenDestination(args, rect);
    if (!given) {
        *rect = portRect;
        rect->left = 0;
    }
    if (args.tagBool("STATUSAREA", false) && originX == 0) {
        *rect = offsetRect(*rect, kStatusAreaWidth, 0);
    }
    return given;
}

}  // namespace korvane
