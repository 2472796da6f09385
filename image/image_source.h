#pragma once
// Image sources: the image an image function works on, named by SRC (or PATH) as a file, a
// web address or "clipboard:", or handed over as a picture, opened as an importer.

#include "core/call.h"
#include "core/status.h"
#include "platform/media/importer.h"
#include "platform/media/owned_bytes.h"
#include "platform/paths/file_ref.h"

namespace korvane {

struct ImageSource {
    bool platformIsVersion4 = false;  // web addresses, PAGE and PAGECOUNT
    bool fromClipboard = false;
    // Picture data the importer reads (clipboard or given picture), with its file header.
    // Declared before the importer, which is closed first.
    media::OwnedBytes pictureData;
    media::Importer importer;
};

enum class SourceKind { kClipboard, kWebAddress, kFile };

// How a source text is taken: "clipboard:" in any letter case; http:, https: and ftp: in
// lower case when web addresses are enabled; anything else is a path.
SourceKind classifySource(const char* text, bool webAddresses);

// Fills the source from SRC, else PATH, then selects PAGE. A given picture (may be null) is
// taken instead of any argument. -50 when there is no source name. On failure the source
// holds nothing that needs closing.
Status loadImage(const Call& call, ImageSource& source, media::OwnedBytes* givenPicture = nullptr);

// Closes the importer and disposes the picture data. Safe on a half-filled source.
void closeImage(ImageSource& source);

// The image of a file as a picture without file header.
Status loadFileAsPicture(const FileRef& file, media::OwnedBytes& picture);

}  // namespace korvane
