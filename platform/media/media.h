#pragma once
// The media layer: our own stand-in for the media platform the image functions are
// written against. This part holds its per-call bring-up and take-down, its version
// word and its dispatcher; importers, drawing and codecs live beside it.

#include <cstdint>
#include <memory>

#include "core/status.h"

namespace korvane {

// Version word of the media layer (upper 16 bits of its version): 3.0 is 768.
inline constexpr uint16_t kMediaVersionRequired = 0x0300;    // start-up refuses anything older
inline constexpr uint16_t kMediaVersionWebSources = 0x0400;  // web addresses, PAGE, PAGECOUNT
inline constexpr uint16_t kMediaVersionCurrent = 0x0700;

// Brought up at the start of every host call, taken down at its end; the first
// bring-up initialises the layer, the last take-down shuts it down. Guarded by a
// named mutex per process.
Status mediaBringUp();
void mediaTakeDown();
// How many bring-ups are open (0 between host calls).
int mediaBringUpCount();

uint16_t mediaVersionWord();
// Lets tests present an older media layer (start-up must then refuse).
void setMediaVersionWordForTesting(uint16_t version);

// The dispatcher operation the host's preferences call makes; selector 0x250003.
inline constexpr uint32_t kMediaSelectorPreferences = 0x250003;
Status mediaDispatch(uint32_t selector, int32_t argument);

}  // namespace korvane

namespace korvane {

// A drawing port for a window: what drawing into the host's document window goes
// through. Made on first use within a host call and released at the call's end (the
// module's CallResources own it).
struct MediaPort;
MediaPort* mediaPortForWindow(void* window);
void mediaReleasePort(MediaPort* port);

struct MediaPortRelease {
    void operator()(MediaPort* port) const { mediaReleasePort(port); }
};
using unique_media_port = std::unique_ptr<MediaPort, MediaPortRelease>;

}  // namespace korvane
