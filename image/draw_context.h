#pragma once
// The drawing context of DrawImage, GrabImage and SaveImage: kept from the prepare phase to
// the finish phase of one external call, in Call::phase. It holds the destination, the
// window origin, the offscreen buffer and, for compose, the first image when prepare had
// to open it to learn the size.

#include <cstdint>
#include <memory>

#include "core/args.h"
#include "core/call.h"
#include "core/status.h"
#include "image/image_source.h"
#include "platform/media/bitmap.h"
#include "platform/media/compositor.h"
#include "platform/media/media.h"

namespace korvane {

enum class DrawKind : uint8_t {
    window,   // DrawImage: into the host's document window
    compose,  // GrabImage, SaveImage: into a buffer that becomes a picture
};

struct DrawContext {
    DrawKind kind = DrawKind::window;
    MediaPort* port = nullptr;  // the host drawing port; null when the call has no window
    bool hasDestination = false;
    media::PixelRect destination;  // local coordinates
    bool hasOrigin = false;
    int32_t originX = 0;
    int32_t originY = 0;
    bool hasBuffer = false;
    media::Bitmap buffer;
    int32_t bufferLeft = 0;  // local coordinates of the buffer's top-left pixel
    int32_t bufferTop = 0;
    bool imageOpen = false;  // compose: prepare opened the first command's image
    ImageSource image;
};

// Makes the context of the call's prepare phase and keeps it in call.phase: the host drawing
// port, the window origin and the destination (readDestination). -108 without memory.
Status createDrawContext(Call& call, DrawKind kind, DrawContext*& context);
// The context prepare made, or null.
DrawContext* drawContextOf(Call& call);
// Takes the context out of the call; it is released when the owner goes.
std::unique_ptr<DrawContext> takeDrawContext(Call& call);

// The buffer of a compose context over its destination, at the depth of DEPTH (absent or 0:
// 32). -50 for another depth than 1, 2, 4, 8, 16, 32, 34, 36, 40.
Status createComposeBuffer(const Arguments& args, DrawContext& context);
// The buffer of a window context over the destination's visible part, holding what the window
// shows there.
Status createWindowBuffer(DrawContext& context);
// Shows a window context's buffer in the window.
Status showWindowBuffer(DrawContext& context);

// One drawing command on a loaded image: the image operations, placement in the destination,
// ERASE on the first command, and the drawing into the buffer or the window.
Status drawCommand(const Arguments& args, DrawContext& context, ImageSource& image);

}  // namespace korvane
