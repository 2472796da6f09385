#pragma once
// What lives for one host call and is released when it ends: the drawing port of the
// document window (later the drawing context).

#include "platform/media/media.h"

namespace korvane {

struct CallResources {
    unique_media_port windowPort;
};

}  // namespace korvane
