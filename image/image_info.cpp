#include "image/image_info.h"

#include "core/result_text.h"
#include "image/image_source.h"

namespace korvane {

namespace {

// Depths are answered as the image functions draw them: 24-bit images as 32, and the grey
// depths (34, 36, 40) as their bits (2, 4, 8).
constexpr int kGreyDepthOffset = 32;

int answeredDepth(int depth) {
    if (depth == media::kDepth24) {
        return media::kDepth32;
    }
    return depth > kGreyDepthOffset ? depth - kGreyDepthOffset : depth;
}

int32_t wholePart(media::Fixed value) {
    return value / media::kFixedOne;
}

void appendBounds(media::Importer& importer, WorkingText& text) {
    int32_t width = 0;
    int32_t height = 0;
    if (importer.naturalBounds(width, height) != kNoErr) {
        return;
    }
    textAppend(text, "WIDTH=");
    textAppendNumber(text, width);
    textAppend(text, " HEIGHT=");
    textAppendNumber(text, height);
}

void appendDescription(media::Importer& importer, WorkingText& text) {
    media::ImageDescription description;
    if (importer.imageDescription(description) != kNoErr) {
        return;
    }
    textAppend(text, " DEPTH=");
    textAppendNumber(text, answeredDepth(description.depth));
    textAppend(text, " RESOLUTION=");
    textAppendNumber(text, wholePart(description.hRes));
    if (description.vRes != description.hRes) {
        textAppend(text, ",");
        textAppendNumber(text, wholePart(description.vRes));
    }
}

void appendPageCount(const ImageSource& source, media::Importer& importer, WorkingText& text) {
    int count = 0;
    if (!source.platformIsVersion4 || importer.imageCount(count) != kNoErr || count <= 1) {
        return;
    }
    textAppend(text, " PAGECOUNT=");
    textAppendNumber(text, count);
}

}  // namespace

Status imageInfoHandler(Call& call) {
    ImageSource source;
    if (Status status = loadImage(call, source); status != kNoErr) {
        return status;
    }
    LocalText<kMaxShortText> text;
    appendBounds(source.importer, text);
    appendDescription(source.importer, text);
    if (source.fromClipboard) {
        textAppend(text, " SIZE=");
        textAppendNumber(text, static_cast<int32_t>(source.pictureData.size));
    }
    appendPageCount(source, source.importer, text);
    closeImage(source);
    return call.setResult(text.c_str());
}

}  // namespace korvane
