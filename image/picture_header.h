#pragma once
// Picture data read as a picture file: the 512-byte file header in front of the picture.

#include "core/status.h"
#include "platform/media/owned_bytes.h"

namespace korvane {

// Grows the data by 512 bytes and moves the picture up behind a zeroed header. -108 when
// memory runs out (the data is then unchanged).
Status addPictureHeader(media::OwnedBytes& picture);

// Moves the picture back down over its header and shrinks the data by 512 bytes. -108 for
// data shorter than the header (unchanged then).
Status removePictureHeader(media::OwnedBytes& picture);

}  // namespace korvane
