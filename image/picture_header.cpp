#include "image/picture_header.h"

#include <cstdlib>
#include <cstring>

#include "platform/media/pict.h"

namespace korvane {

using media::kPictFileHeaderSize;

Status addPictureHeader(media::OwnedBytes& picture) {
    if (picture.size > SIZE_MAX - kPictFileHeaderSize) {
        return kOutOfMemory;
    }
    const size_t grown = picture.size + kPictFileHeaderSize;
    auto* bytes = static_cast<uint8_t*>(std::realloc(picture.data.get(), grown));
    if (!bytes) {
        return kOutOfMemory;
    }
    (void)picture.data.release();
    picture.data.reset(bytes);
    std::memmove(bytes + kPictFileHeaderSize, bytes, picture.size);
    std::memset(bytes, 0, kPictFileHeaderSize);
    picture.size = grown;
    return kNoErr;
}

Status removePictureHeader(media::OwnedBytes& picture) {
    if (!picture.data || picture.size < kPictFileHeaderSize) {
        return kOutOfMemory;
    }
    const size_t shrunk = picture.size - kPictFileHeaderSize;
    std::memmove(picture.data.get(), picture.data.get() + kPictFileHeaderSize, shrunk);
    picture.size = shrunk;
    if (shrunk == 0) {
        picture.reset();
        return kNoErr;
    }
    // A smaller block from realloc is a saving, not a need: keep the old one if it fails.
    if (auto* bytes = static_cast<uint8_t*>(std::realloc(picture.data.get(), shrunk))) {
        (void)picture.data.release();
        picture.data.reset(bytes);
    }
    return kNoErr;
}

}  // namespace korvane
