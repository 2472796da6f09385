#pragma once
// Our compression settings dialog (template KORVANE_IDD_COMPRESSION): the codec, the spatial
// quality (0..1024) and the depth, preset from the settings given.

#include "core/call.h"
#include "core/status.h"
#include "platform/media/compression.h"

namespace korvane {

// Shows the dialog over the call's document window. OK with valid entries stores them in
// `settings` and answers 0; cancel answers -128 and leaves `settings` alone; a dialog that
// cannot be shown answers -108.
Status runCompressionDialog(const Call& call, media::CompressionSettings& settings);

}  // namespace korvane
