// Reading pictures: a checking walk that learns the sizes, then a drawing walk.

#include <algorithm>
#include <cstdint>

#include "platform/media/pict.h"
#include "platform/media/pict_walk.h"

namespace korvane::media {

namespace {

using pict::CompressedOp;
using pict::ImageOp;
using pict::Region;
using pict::RegionMask;

// A region that covers the rectangle, so drawing through it changes nothing.
bool regionCovers(const Region& region, const PictRect& rect) {
    return region.isRectangle() && region.box.left <= rect.left && region.box.top <= rect.top &&
           region.box.right >= rect.right && region.box.bottom >= rect.bottom;
}

int depthOfDescription(int depth) {
    return bitsPerPixel(depth) != 0 ? depth : kDepth24;
}

// First walk: counts images, finds the deepest, and sees whether one image is the picture.
class InfoVisitor final : public pict::Visitor {
  public:
    explicit InfoVisitor(PictInfo& info) : info_(info) {}

    Status clip(const Region& region) override {
        clip_ = region;
        hasClip_ = true;
        return kNoErr;
    }
    Status image(const ImageOp& op) override {
        PictRect whole = op.bounds;
        note(op.depth, op.src == whole && (!op.hasMask || regionCovers(op.mask, op.dst)), op.dst,
             static_cast<uint64_t>(op.bounds.width()) * static_cast<uint64_t>(op.bounds.height()));
        return kNoErr;
    }
    Status compressed(const CompressedOp& op) override {
        PictRect whole{0, 0, static_cast<int16_t>(op.height), static_cast<int16_t>(op.width)};
        bool plain = op.src == whole && !op.hasMask && op.width <= INT16_MAX && op.height <= INT16_MAX;
        note(depthOfDescription(op.depth), plain, op.dst,
             static_cast<uint64_t>(op.width) * static_cast<uint64_t>(op.height));
        return kNoErr;
    }

  private:
    void note(int depth, bool unscaledWhole, const PictRect& dst, uint64_t imagePixels) {
        ++info_.imageCount;
        info_.drawCost += imagePixels + visibleArea(dst);
        if (bitsPerPixel(depth) > bitsPerPixel(info_.depth)) {
            info_.depth = depth;
        }
        // The image fills the drawing rectangle, or the frame of a picture whose extended
        // header names another rectangle.
        bool fills = dst == info_.bounds || dst == info_.frame;
        bool clipped = hasClip_ && !regionCovers(clip_, dst);
        info_.singleImage = info_.imageCount == 1 && unscaledWhole && fills && !clipped;
    }

    uint64_t visibleArea(const PictRect& dst) const {
        const PictRect& b = info_.bounds;
        int64_t width = std::min<int32_t>(dst.right, b.right) - std::max<int32_t>(dst.left, b.left);
        int64_t height = std::min<int32_t>(dst.bottom, b.bottom) - std::max<int32_t>(dst.top, b.top);
        return width > 0 && height > 0 ? static_cast<uint64_t>(width * height) : 0;
    }

    PictInfo& info_;
    Region clip_;
    bool hasClip_ = false;
};

// Drawing many images over each other costs time, not memory: a picture may draw each pixel
// of its rectangle this many times (and at least kMinDrawBudget pixels in all).
constexpr uint64_t kDrawsPerPixel = 64;
constexpr uint64_t kMinDrawBudget = uint64_t{1} << 22;

bool withinDrawBudget(const PictInfo& info) {
    uint64_t area = static_cast<uint64_t>(info.bounds.width()) * static_cast<uint64_t>(info.bounds.height());
    return info.drawCost <= std::max(area * kDrawsPerPixel, kMinDrawBudget);
}

// Draws src (in image coordinates given by imageRect) into canvas over dst, nearest pixel,
// through the clip and mask regions. canvasRect is the canvas in picture coordinates.
Status drawScaled(Bitmap& canvas,
                  const PictRect& canvasRect,
                  const Bitmap& image,
                  const PictRect& imageRect,
                  const PictRect& src,
                  const PictRect& dst,
                  const Region* clip,
                  const Region* mask) {
    if (src.empty() || dst.empty()) {
        return kNoErr;
    }
    RegionMask clipMask;
    RegionMask maskMask;
    Status status = clip ? clipMask.init(*clip) : kNoErr;
    if (status == kNoErr && mask) {
        status = maskMask.init(*mask);
    }
    if (status != kNoErr) {
        return status;
    }
    int32_t top = std::max<int32_t>(dst.top, canvasRect.top);
    int32_t bottom = std::min<int32_t>(dst.bottom, canvasRect.bottom);
    int32_t left = std::max<int32_t>(dst.left, canvasRect.left);
    int32_t right = std::min<int32_t>(dst.right, canvasRect.right);
    for (int32_t y = top; y < bottom; ++y) {
        int64_t sy = src.top + int64_t{y - dst.top} * src.height() / dst.height();
        if (sy < imageRect.top || sy >= imageRect.top + int64_t{image.height()}) {
            continue;
        }
        if (clip) {
            clipMask.advanceTo(y);
        }
        if (mask) {
            maskMask.advanceTo(y);
        }
        for (int32_t x = left; x < right; ++x) {
            if ((clip && !clipMask.contains(x)) || (mask && !maskMask.contains(x))) {
                continue;
            }
            int64_t sx = src.left + int64_t{x - dst.left} * src.width() / dst.width();
            if (sx < imageRect.left || sx >= imageRect.left + int64_t{image.width()}) {
                continue;
            }
            Rgba colour =
                image.pixel(static_cast<int32_t>(sx - imageRect.left), static_cast<int32_t>(sy - imageRect.top));
            canvas.setPixel(x - canvasRect.left, y - canvasRect.top, colour);
        }
    }
    return kNoErr;
}

Status decodeCompressed(const CompressedOp& op, const PictReadOptions& options, Bitmap& out) {
    if (op.codec == kCodecRaw) {
        return pict::decodeRawImage(op, options.maxBitmapBytes, out);
    }
    if (!options.decodeImageData) {
        return kBadPictureData;
    }
    Status status =
        options.decodeImageData(options.decoderContext, op.codec, op.data, op.size, options.maxBitmapBytes, out);
    if (status == kNoErr && out.empty()) {
        status = kBadPictureData;
    }
    return status;
}

// Second walk: decodes each image, either as the result itself or onto the canvas.
class DrawVisitor final : public pict::Visitor {
  public:
    DrawVisitor(const PictInfo& info, const PictReadOptions& options, Bitmap& out)
        : info_(info), options_(options), out_(out) {}

    Status begin() {
        if (info_.singleImage) {
            return kNoErr;
        }
        Status status = out_.create(info_.bounds.width(), info_.bounds.height(), kDepth32, options_.maxBitmapBytes);
        if (status == kNoErr) {
            out_.fill(Rgba{255, 255, 255, 255});
            out_.setResolution(info_.hRes, info_.vRes);
        }
        return status;
    }

    Status clip(const Region& region) override {
        clip_ = region;
        hasClip_ = true;
        return kNoErr;
    }

    Status image(const ImageOp& op) override {
        if (info_.singleImage) {
            Status status = pict::decodeImageOp(op, options_.maxBitmapBytes, out_);
            if (status == kNoErr) {
                takeResolution(op.hRes, op.vRes);
            }
            return status;
        }
        Bitmap image;
        Status status = pict::decodeImageOp(op, options_.maxBitmapBytes, image);
        if (status != kNoErr) {
            return status;
        }
        return drawScaled(out_, info_.bounds, image, op.bounds, op.src, op.dst, hasClip_ ? &clip_ : nullptr,
                          op.hasMask ? &op.mask : nullptr);
    }

    Status compressed(const CompressedOp& op) override {
        if (info_.singleImage) {
            Status status = decodeCompressed(op, options_, out_);
            if (status == kNoErr) {
                takeResolution(op.hRes, op.vRes);
            }
            return status;
        }
        Bitmap image;
        Status status = decodeCompressed(op, options_, image);
        if (status != kNoErr) {
            return status;
        }
        PictRect imageRect{0, 0, static_cast<int16_t>(std::min<int32_t>(image.height(), INT16_MAX)),
                           static_cast<int16_t>(std::min<int32_t>(image.width(), INT16_MAX))};
        return drawScaled(out_, info_.bounds, image, imageRect, op.src, op.dst, hasClip_ ? &clip_ : nullptr,
                          op.hasMask ? &op.mask : nullptr);
    }

  private:
    void takeResolution(Fixed hRes, Fixed vRes) {
        if (hRes > 0 && vRes > 0) {
            out_.setResolution(hRes, vRes);
        } else {
            out_.setResolution(info_.hRes, info_.vRes);
        }
    }

    const PictInfo& info_;
    const PictReadOptions& options_;
    Bitmap& out_;
    Region clip_;
    bool hasClip_ = false;
};

}  // namespace

Status readPictInfo(const uint8_t* data, size_t size, PictInfo& info) {
    Status status = pict::readHeader(data, size, info);
    if (status != kNoErr) {
        return status;
    }
    InfoVisitor visitor(info);
    return pict::walkOpcodes(data, size, info, visitor);
}

Status readPict(const uint8_t* data, size_t size, const PictReadOptions& options, Bitmap& out) {
    out.reset();
    PictInfo info;
    Status status = readPictInfo(data, size, info);
    if (status != kNoErr) {
        return status;
    }
    if (!withinDrawBudget(info)) {
        return kOutOfMemory;
    }
    DrawVisitor visitor(info, options, out);
    status = visitor.begin();
    if (status == kNoErr) {
        status = pict::walkOpcodes(data, size, info, visitor);
    }
    if (status != kNoErr) {
        out.reset();
    }
    return status;
}

}  // namespace korvane::media
