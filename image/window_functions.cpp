#include "image/window_functions.h"

#include <windows.h>

#include "core/args.h"
#include "core/destination.h"
#include "core/result_text.h"
#include "image/window_pixels.h"
#include "platform/media/window_port.h"

namespace korvane {
namespace {

constexpr char kEffectKinds[] = "ZOOM,FADEIN,FADEOUT";
enum EffectKind { kZoom = 1, kFadeIn = 2, kFadeOut = 3 };
constexpr int32_t kDefaultZoomSteps = 8;
constexpr DWORD kMillisecondsPerTick = 1000 / 60 + 1;  // one tick of the sixtieth-second clock

// The host drawing port with its origin, and the destination rectangle the command names
// (or the port's rectangle, as readDestination defines it).
struct WindowTarget {
    MediaPort* port = nullptr;
    int32_t originX = 0;
    int32_t originY = 0;
    Rect destination;
    bool given = false;  // the command named a rectangle
};

WindowTarget readWindowTarget(Call& call) {
    WindowTarget target;
    target.port = hostDrawingPort(call);
    Rect bounds;
    if (target.port != nullptr) {
        portOrigin(*target.port, target.originX, target.originY);
        const media::PixelRect r = portRect(*target.port);
        bounds = Rect{storeInt16(r.top), storeInt16(r.left), storeInt16(r.bottom), storeInt16(r.right)};
    }
    target.given = readDestination(call.args(), bounds, target.originX, &target.destination);
    return target;
}

media::PixelRect pixelRectOf(const Rect& r) {
    return media::PixelRect{r.left, r.top, r.right, r.bottom};
}

Point anchorPoint(const Rect& r, Anchor anchor) {
    switch (anchor) {
        case Anchor::topRight:
            return Point{r.top, r.right};
        case Anchor::bottomLeft:
            return Point{r.bottom, r.left};
        case Anchor::bottomRight:
            return Point{r.bottom, r.right};
        case Anchor::center:
            return Point{storeInt16((r.top + r.bottom) / 2), storeInt16((r.left + r.right) / 2)};
        case Anchor::none:
        case Anchor::topLeft:
            break;
    }
    return Point{r.top, r.left};
}

void drawFrame(const MediaPort& port, const media::PixelRect& frame) {
    media::PixelRect edges[4];
    invertPortCheckerboard(port, edges, frameEdges(frame, edges));
}

// The outline moves from `from` to `to`: each frame is drawn, held, and drawn again, which
// gives the window back as it was.
void zoom(const Arguments& args, const MediaPort& port, const Rect& from, const Rect& to) {
    const int32_t delay = args.tagNumber("DELAY") > 0 ? args.tagNumber("DELAY") : 1;
    const int32_t steps = args.tagNumber("STEP") > 0 ? args.tagNumber("STEP") : kDefaultZoomSteps;
    const bool accelerate = args.tagBool("ACCELERATE", false);
    for (int32_t i = 0; i <= steps; ++i) {
        const media::PixelRect frame = zoomFrame(from, to, i, steps, accelerate);
        drawFrame(port, frame);
        Sleep(static_cast<DWORD>(delay) * kMillisecondsPerTick);
        drawFrame(port, frame);
    }
}

}  // namespace

Status checkAreaHandler(Call& call, PortReadBuffer* reads) {
    const WindowTarget target = readWindowTarget(call);
    if (!target.given) {
        return kParamErr;
    }
    if (target.port == nullptr) {
        return call.setResult("0");  // nothing to read: no document window
    }
    const media::PixelRect area = pixelRectOf(target.destination);
    VisibleParts visible;
    if (Status status = readPortVisibleParts(*target.port, visible); status != kNoErr) {
        return status;
    }
    // Summed where the pixels were read: a copy of a large area costs more than the sum.
    int32_t sum = 0;
    const PortRowsUse addUp = [&](const uint8_t* firstRow, size_t stride) {
        sum = sumAreaColours(PixelRows{firstRow, stride}, area, visible.rects.get(), visible.count);
    };
    if (Status status = usePortPixels(*target.port, area, addUp, reads); status != kNoErr) {
        return status;
    }
    LocalText<kMaxShortText> text;
    textAppendNumber(text, sum);
    return call.setResult(text.c_str());
}

Status effectHandler(Call& call) {
    const Arguments& args = call.args();
    const WindowTarget target = readWindowTarget(call);
    Rect source;
    const bool hasSource = readRectArg(args, "SRCRECT", &source);
    Status status = kParamErr;
    switch (args.tagKeyword("KIND", kEffectKinds)) {
        case kZoom:
            if (hasSource && target.given && target.port != nullptr) {
                zoom(args, *target.port, source, target.destination);
                status = kNoErr;
            }
            break;
        case kFadeIn:
        case kFadeOut:
            // Accepted for the scripts that ask for them; no fade is drawn, the window stays.
            status = kNoErr;
            break;
        default:
            break;
    }
    if (target.given && target.port != nullptr) {
        validatePortWindow(*target.port);
    }
    return status;
}

Status getMousePosHandler(Call& call) {
    const WindowTarget target = readWindowTarget(call);
    int32_t h = 0;
    int32_t v = 0;
    if (target.port == nullptr || !portMouseLocation(*target.port, h, v)) {
        return kParamErr;  // no document window to measure in
    }
    const Point anchor = anchorPoint(target.destination, readAnchor(call.args()));
    const Point mouse{storeInt16(v), storeInt16(h)};
    LocalText<kMaxShortText> text;
    formatPointText(text, subtractPoint(mouse, anchor));
    return call.setResult(text.c_str());
}

}  // namespace korvane
