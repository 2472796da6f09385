#pragma once
// The host drawing port: the pixels of the host's document window, as the drawing functions
// read and write them. Coordinates are the window's local ones: a device context whose
// window origin was moved (a class or own DC that the host scrolls) shows local point
// (origin.x, origin.y) at its top-left pixel.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "core/call.h"
#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/compositor.h"
#include "platform/media/media.h"

namespace korvane {

// What lives for one host call and is released when it ends: the drawing port of the
// document window, made on first use.
struct CallResources {
    unique_media_port windowPort;
};

// The call's host drawing port, made on first use; null when the call has no document
// window (or no resources to keep the port in).
MediaPort* hostDrawingPort(Call& call);

// The window origin of the port's device context; (0, 0) when it was not moved.
void portOrigin(const MediaPort& port, int32_t& x, int32_t& y);
// The client area in local coordinates.
media::PixelRect portRect(const MediaPort& port);

// The window's pixels inside `rect` (local coordinates, clipped by the caller to portRect)
// as a 32-bit bitmap. -108 no memory; -50 an empty rectangle.
Status readPortPixels(const MediaPort& port, const media::PixelRect& rect, media::Bitmap& out);
// A bitmap that reads of the window are copied into, kept from one call to the next, so
// that reading a large area again and again costs no fresh memory each time. Areas of
// more than kMaxKeptReadBytes are read into a bitmap of their own instead.
class PortReadBuffer {
  public:
    static constexpr size_t kMaxKeptReadBytes = size_t{16} << 20;
    struct Canvas;

    PortReadBuffer();
    ~PortReadBuffer();
    PortReadBuffer(const PortReadBuffer&) = delete;
    PortReadBuffer& operator=(const PortReadBuffer&) = delete;

    // A canvas for the port of at least width x height, kept; null when none can be made
    // or kept.
    Canvas* canvasFor(const MediaPort& port, int32_t width, int32_t height);

  private:
    std::unique_ptr<Canvas> canvas_;
};

// The same pixels handed to `use` where they were read, without a copy: rows top-down,
// `stride` bytes apart, each pixel the bytes blue, green, red and 0 (the screen has no
// alpha). Valid only during `use`. For reads that look at each pixel once. With `kept`,
// the pixels are read into its bitmap where it can hold them.
using PortRowsUse = std::function<void(const uint8_t* firstRow, size_t stride)>;
Status usePortPixels(const MediaPort& port,
                     const media::PixelRect& rect,
                     const PortRowsUse& use,
                     PortReadBuffer* kept = nullptr);
// Shows a bitmap of any depth with its top-left pixel at (left, top) in local coordinates,
// through a 32-bit device-independent bitmap. Only the window's visible part changes.
Status writePortPixels(const MediaPort& port, const media::Bitmap& bitmap, int32_t left, int32_t top);
// Paints `rect` (local coordinates) in one colour.
void fillPortRect(const MediaPort& port, const media::PixelRect& rect, media::Rgb colour);
// The parts of the window that reads can see (its visible region, clipped by whatever
// covers it), in local coordinates, as rectangles that do not overlap.
struct VisibleParts {
    std::unique_ptr<media::PixelRect[]> rects;
    size_t count = 0;
};
// -108 when there is no memory for the list; an invisible window answers no parts.
Status readPortVisibleParts(const MediaPort& port, VisibleParts& out);

// Inverts the pixels of each rectangle where a 50% checkerboard has a set bit: drawing the
// same rectangles twice gives the window back as it was.
void invertPortCheckerboard(const MediaPort& port, const media::PixelRect* rects, int count);

// The mouse position in local coordinates. False when the system cannot tell.
bool portMouseLocation(const MediaPort& port, int32_t& h, int32_t& v);

// Marks the whole client area as painted, so a pending repaint does not wipe a drawing.
void validatePortWindow(const MediaPort& port);

}  // namespace korvane
