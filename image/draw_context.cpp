#include "image/draw_context.h"

#include <new>

#include "core/args.h"
#include "core/color_text.h"
#include "core/destination.h"
#include "image/image_operations.h"
#include "image/placement.h"
#include "platform/media/offscreen.h"
#include "platform/media/window_port.h"

namespace korvane {

namespace {

constexpr int kDefaultComposeDepth = media::kDepth32;
constexpr media::Rgb kBackground{255, 255, 255};

Rect toRect(const media::PixelRect& r) {
    return Rect{storeInt16(r.top), storeInt16(r.left), storeInt16(r.bottom), storeInt16(r.right)};
}

media::PixelRect toPixelRect(const Rect& r) {
    return media::PixelRect{r.left, r.top, r.right, r.bottom};
}

media::PixelRect moved(const media::PixelRect& r, int32_t dx, int32_t dy) {
    return media::PixelRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

// The whole pixels a rectangle of 16.16 values touches.
media::PixelRect coveringPixels(const media::FixedRect& r) {
    auto floorPixel = [](media::Fixed v) { return static_cast<int32_t>(v >> 16); };
    auto ceilPixel = [](media::Fixed v) { return static_cast<int32_t>((int64_t{v} + media::kFixedOne - 1) >> 16); };
    return media::PixelRect{floorPixel(r.left), floorPixel(r.top), ceilPixel(r.right), ceilPixel(r.bottom)};
}

// ERASE of the first command: a colour, or a boolean for the background colour.
bool readErase(const Arguments& args, media::Rgb& colour) {
    Color given;
    if (readColorArg(args, "ERASE", &given)) {
        colour = media::Rgb{byteOfComponent(given.red), byteOfComponent(given.green), byteOfComponent(given.blue)};
        return true;
    }
    colour = kBackground;
    return args.tagBool("ERASE", false);
}

void erase(DrawContext& context, const media::PixelRect& rect, media::Rgb colour) {
    if (context.hasBuffer) {
        media::fillRect(context.buffer, moved(rect, -context.bufferLeft, -context.bufferTop), colour);
    } else if (context.port != nullptr) {
        // The same coordinates as the image that follows, so the erase lies under it
        // however the window's origin was moved.
        fillPortRect(*context.port, media::intersectRects(rect, portRect(*context.port)), colour);
    }
}

media::DrawParams drawParams(const DrawPlan& plan, const media::PixelRect& clip, int32_t left, int32_t top) {
    media::DrawParams params;
    params.matrix = plan.matrix;
    params.matrix.translate(media::intToFixed(-left), media::intToFixed(-top));
    params.hasSourceRect = true;
    params.sourceRect = plan.sourceRect;
    params.hasClip = true;
    params.clip = moved(clip, -left, -top);
    params.quality = plan.quality;
    params.mode = plan.mode;
    params.opColor = plan.opColor;
    return params;
}

// Straight into the window: the pixels under the image are read first, so that every
// transfer mode combines with what the window shows, then written back.
Status drawIntoWindow(const MediaPort& port,
                      const media::Bitmap& pixels,
                      const DrawPlan& plan,
                      const media::PixelRect& target) {
    // Only the pixels under the image are read and written back; when its bounds leave the
    // 16.16 range it may cover the whole target.
    media::PixelRect area = media::intersectRects(target, portRect(port));
    if (media::FixedRect placed; planBounds(plan, placed)) {
        area = media::intersectRects(area, coveringPixels(placed));
    }
    if (area.empty()) {
        return kNoErr;
    }
    media::Bitmap patch;
    if (Status status = readPortPixels(port, area, patch); status != kNoErr) {
        return status;
    }
    if (Status status = media::drawBitmap(pixels, patch, drawParams(plan, target, area.left, area.top));
        status != kNoErr) {
        return status;
    }
    return writePortPixels(port, patch, area.left, area.top);
}

}  // namespace

Status createDrawContext(Call& call, DrawKind kind, DrawContext*& out) {
    out = nullptr;
    std::unique_ptr<DrawContext> context(new (std::nothrow) DrawContext);
    if (!context) {
        return kOutOfMemory;
    }
    context->kind = kind;
    context->port = hostDrawingPort(call);
    Rect portBounds;
    if (context->port != nullptr) {
        portOrigin(*context->port, context->originX, context->originY);
        context->hasOrigin = context->originX != 0 || context->originY != 0;
        portBounds = toRect(portRect(*context->port));
    }
    Rect destination;
    context->hasDestination = readDestination(call.args(), portBounds, context->originX, &destination);
    context->destination = toPixelRect(destination);
    out = context.get();
    call.phase = context.release();
    return kNoErr;
}

DrawContext* drawContextOf(Call& call) {
    return static_cast<DrawContext*>(call.phase);
}

std::unique_ptr<DrawContext> takeDrawContext(Call& call) {
    std::unique_ptr<DrawContext> context(drawContextOf(call));
    call.phase = nullptr;
    return context;
}

Status createComposeBuffer(const Arguments& args, DrawContext& context) {
    const int32_t requested = args.tagNumber("DEPTH");
    const int depth = requested == 0 ? kDefaultComposeDepth : requested;
    if (!media::isOffscreenDepth(depth)) {
        return kParamErr;
    }
    const media::PixelRect& r = context.destination;
    // Our buffers cannot fail the way the platform's retry is for; one attempt answers.
    if (Status status = media::createOffscreen(r.right - r.left, r.bottom - r.top, depth, context.buffer);
        status != kNoErr) {
        return status;
    }
    context.hasBuffer = true;
    context.bufferLeft = r.left;
    context.bufferTop = r.top;
    return kNoErr;
}

Status createWindowBuffer(DrawContext& context) {
    if (context.port == nullptr) {
        return kParamErr;
    }
    const media::PixelRect visible = media::intersectRects(context.destination, portRect(*context.port));
    if (visible.empty()) {
        return kNoErr;  // nothing of the destination shows: every drawing is clipped away
    }
    if (Status status = readPortPixels(*context.port, visible, context.buffer); status != kNoErr) {
        return status;
    }
    context.hasBuffer = true;
    context.bufferLeft = visible.left;
    context.bufferTop = visible.top;
    return kNoErr;
}

Status showWindowBuffer(DrawContext& context) {
    if (!context.hasBuffer || context.port == nullptr) {
        return kNoErr;
    }
    return writePortPixels(*context.port, context.buffer, context.bufferLeft, context.bufferTop);
}

Status drawCommand(const Arguments& args, DrawContext& context, ImageSource& image) {
    int32_t width = 0;
    int32_t height = 0;
    if (Status status = image.importer.naturalBounds(width, height); status != kNoErr) {
        return status;
    }
    DrawPlan plan = initialPlan(width, height);
    if (Status status = applyImageOperations(readImageOperations(args, plan), plan); status != kNoErr) {
        return status;
    }

    media::PixelRect target;
    if (context.hasDestination) {
        target = context.destination;
    } else if (context.hasBuffer) {
        target = media::PixelRect{context.bufferLeft, context.bufferTop, context.bufferLeft + context.buffer.width(),
                                  context.bufferTop + context.buffer.height()};
    } else {
        return kParamErr;
    }
    media::FixedRect bounds;
    if (!planBounds(plan, bounds)) {
        return kParamErr;
    }
    if (Status status = placeImage(readPlacement(args), bounds, target, plan.matrix); status != kNoErr) {
        return status;
    }
    if (media::Rgb colour; args.isFirstCommand() && readErase(args, colour)) {
        erase(context, target, colour);
    }

    media::Bitmap pixels;
    if (Status status = image.importer.decode(pixels); status != kNoErr) {
        return status;
    }
    if (context.hasBuffer) {
        return media::drawBitmap(pixels, context.buffer,
                                 drawParams(plan, target, context.bufferLeft, context.bufferTop));
    }
    if (context.port == nullptr) {
        return kParamErr;
    }
    return drawIntoWindow(*context.port, pixels, plan, target);
}

}  // namespace korvane
