#pragma once
// KImg-DrawImage, KImg-GrabImage and KImg-PreviewImage, and the compose path that GrabImage
// and SaveImage share.

#include "core/call.h"
#include "core/status.h"
#include "platform/media/bitmap.h"

namespace korvane {

// DrawImage: prepare reads the destination (required), STATUSAREA and OFFSCREEN; each
// command draws one image; finish shows the offscreen buffer and keeps the drawing from
// being painted over.
Status drawImagePrepare(Call& call);
Status drawImageHandler(Call& call);
Status drawImageFinish(Status status, Call& call);

// The compose path: prepare makes a buffer over DESTRECT (or RECT, or WIDTH x HEIGHT, or
// the first image's size, resized by WIDTH and HEIGHT) at DEPTH; each command draws one
// image into it (a command without an image draws nothing); finishComposition hands over
// the composed bitmap when every step succeeded, and releases the context in every case.
Status composePrepare(Call& call);
Status composeHandler(Call& call);
Status finishComposition(Status status, Call& call, media::Bitmap& composed);

// GrabImage: the composed image on the clipboard.
Status grabImageFinish(Status status, Call& call);

// PreviewImage: a thumbnail of at most WIDTH x HEIGHT (80 x 80) on the clipboard.
Status previewImageHandler(Call& call);

}  // namespace korvane
