#include "image/draw_functions.h"

#include <algorithm>

#include "core/args.h"
#include "core/destination.h"
#include "image/draw_context.h"
#include "image/image_operations.h"
#include "image/image_source.h"
#include "platform/media/byte_io.h"
#include "platform/media/clipboard_picture.h"
#include "platform/media/offscreen.h"
#include "platform/media/pict.h"
#include "platform/media/window_port.h"

namespace korvane {

namespace {

constexpr int32_t kPreviewBox = 80;

// Puts a bitmap on the clipboard as the picture the image functions hand over.
Status putBitmapOnClipboard(const Call& call, const media::Bitmap& bitmap) {
    media::ByteWriter picture;
    if (Status status = media::writePict(bitmap, picture); status != kNoErr) {
        return status;
    }
    if (!picture.ok()) {
        return kOutOfMemory;
    }
    return media::putPictureOnClipboard(call.documentWindow, picture.data(), picture.size());
}

bool namesAnImage(const Arguments& args) {
    return args.tagValue("SRC") != nullptr || args.tagValue("PATH") != nullptr;
}

// GrabImage without a destination: WIDTH x HEIGHT when both are numbers, else the first
// command's image (opened now and kept for the first run) at its size, WIDTH and HEIGHT
// (numbers or percentages of it) replacing its width and height when positive.
Status sizeFromArguments(const Call& call, DrawContext& context) {
    const Arguments& args = call.args();
    int32_t width = 0;
    int32_t height = 0;
    if (args.tagNumberChecked("WIDTH", &width) && args.tagNumberChecked("HEIGHT", &height)) {
        context.destination = media::PixelRect{0, 0, width, height};
        return kNoErr;
    }
    if (Status status = loadImage(call, context.image); status != kNoErr) {
        return status;
    }
    context.imageOpen = true;
    if (Status status = context.image.importer.naturalBounds(width, height); status != kNoErr) {
        return status;
    }
    const int32_t newWidth = args.tagNumberOrPercent("WIDTH", width);
    const int32_t newHeight = args.tagNumberOrPercent("HEIGHT", height);
    context.destination = media::PixelRect{0, 0, newWidth > 0 ? newWidth : width, newHeight > 0 ? newHeight : height};
    return kNoErr;
}

// The importer's current image's depth as a buffer takes it: 24-bit images are drawn at 32.
int previewDepth(const media::Bitmap& image) {
    return image.depth() == media::kDepth24 ? media::kDepth32 : image.depth();
}

// The importer's scale that fits width x height into the box without enlarging it.
media::Fixed previewScale(int32_t width, int32_t height, int32_t boxWidth, int32_t boxHeight) {
    const media::Fixed sx = media::fixedRatio(boxWidth, width);
    const media::Fixed sy = media::fixedRatio(boxHeight, height);
    if (sx >= media::kFixedOne && sy >= media::kFixedOne) {
        return media::kFixedOne;
    }
    return std::min(sx, sy);
}

Status renderPreview(const Arguments& args, ImageSource& source, media::Bitmap& preview) {
    int32_t width = 0;
    int32_t height = 0;
    if (Status status = source.importer.naturalBounds(width, height); status != kNoErr) {
        return status;
    }
    int32_t boxWidth = args.tagNumber("WIDTH");
    int32_t boxHeight = args.tagNumber("HEIGHT");
    boxWidth = boxWidth > 0 ? boxWidth : kPreviewBox;
    boxHeight = boxHeight > 0 ? boxHeight : kPreviewBox;
    // BORDER is accepted (a number, at least 1) but draws nothing: the thumbnail keeps the
    // size that scripts lay out.

    DrawPlan plan = initialPlan(width, height);
    const media::Fixed scale = previewScale(width, height, boxWidth, boxHeight);
    plan.matrix.scale(scale, scale, 0, 0);
    media::FixedRect bounds;
    if (!planBounds(plan, bounds)) {
        return kParamErr;
    }
    const int32_t previewWidth = std::max(1, media::fixedRound(bounds.right - bounds.left));
    const int32_t previewHeight = std::max(1, media::fixedRound(bounds.bottom - bounds.top));

    media::Bitmap image;
    if (Status status = source.importer.decode(image); status != kNoErr) {
        return status;
    }
    const int depth = previewDepth(image);
    if (Status status = media::createOffscreen(previewWidth, previewHeight, depth, preview); status != kNoErr) {
        return status;
    }
    if (media::isIndexedDepth(depth) && !media::isGreyDepth(depth) && !image.palette().empty()) {
        if (Status status = preview.setPalette(image.palette()); status != kNoErr) {
            return status;
        }
        media::fillRect(preview, media::PixelRect{0, 0, previewWidth, previewHeight}, media::Rgb{255, 255, 255});
    }
    media::DrawParams params;
    params.matrix = plan.matrix;
    params.quality = plan.quality;
    return media::drawBitmap(image, preview, params);
}

}  // namespace

// ---- DrawImage ----

Status drawImagePrepare(Call& call) {
    DrawContext* context = nullptr;
    if (Status status = createDrawContext(call, DrawKind::window, context); status != kNoErr) {
        return status;
    }
    if (!context->hasDestination || context->port == nullptr) {
        return kParamErr;  // nowhere to draw: no rectangle, or no document window
    }
    if (call.args().tagBool("OFFSCREEN", false)) {
        return createWindowBuffer(*context);
    }
    return kNoErr;
}

Status drawImageHandler(Call& call) {
    DrawContext* context = drawContextOf(call);
    if (context == nullptr) {
        return kParamErr;
    }
    ImageSource image;
    Status status = loadImage(call, image);
    if (status == kNoErr) {
        status = drawCommand(call.args(), *context, image);
    }
    closeImage(image);
    return status;
}

Status drawImageFinish(Status status, Call& call) {
    const std::unique_ptr<DrawContext> context = takeDrawContext(call);
    if (!context) {
        return status;
    }
    // What the buffer holds is shown even after a failed command.
    const Status shown = showWindowBuffer(*context);
    if (status == kNoErr) {
        status = shown;
    }
    Rect given;
    if (context->port != nullptr && readGivenDestination(call.args(), &given)) {
        validatePortWindow(*context->port);
    }
    return status;
}

// ---- The compose path: GrabImage and SaveImage ----

Status composePrepare(Call& call) {
    DrawContext* context = nullptr;
    if (Status status = createDrawContext(call, DrawKind::compose, context); status != kNoErr) {
        return status;
    }
    if (!context->hasDestination) {
        if (Status status = sizeFromArguments(call, *context); status != kNoErr) {
            return status;
        }
    }
    return createComposeBuffer(call.args(), *context);
}

Status composeHandler(Call& call) {
    DrawContext* context = drawContextOf(call);
    if (context == nullptr) {
        return kParamErr;
    }
    ImageSource loaded;
    ImageSource* image = &loaded;
    if (context->imageOpen) {
        image = &context->image;
        context->imageOpen = false;
    } else if (!namesAnImage(call.args())) {
        return kNoErr;  // a command without an image draws nothing
    } else if (Status status = loadImage(call, loaded); status != kNoErr) {
        return status;
    }
    const Status status = drawCommand(call.args(), *context, *image);
    closeImage(*image);
    return status;
}

Status finishComposition(Status status, Call& call, media::Bitmap& composed) {
    const std::unique_ptr<DrawContext> context = takeDrawContext(call);
    if (!context) {
        return status != kNoErr ? status : kParamErr;
    }
    closeImage(context->image);
    if (status == kNoErr) {
        if (!context->hasBuffer) {
            return kOutOfMemory;
        }
        composed = std::move(context->buffer);
    }
    return status;
}

Status grabImageFinish(Status status, Call& call) {
    media::Bitmap composed;
    if (status = finishComposition(status, call, composed); status != kNoErr) {
        return status;
    }
    return putBitmapOnClipboard(call, composed);
}

// ---- PreviewImage ----

Status previewImageHandler(Call& call) {
    ImageSource source;
    Status status = loadImage(call, source);
    if (status == kNoErr && source.importer.imageIndex() != 1) {
        status = source.importer.setImageIndex(1);  // the thumbnail is of the first page
    }
    media::Bitmap preview;
    if (status == kNoErr) {
        status = renderPreview(call.args(), source, preview);
    }
    closeImage(source);
    if (status != kNoErr) {
        return status;
    }
    return putBitmapOnClipboard(call, preview);
}

}  // namespace korvane
