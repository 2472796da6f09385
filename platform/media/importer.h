#pragma once
// Image importers: an open image of any format the media layer reads, found by its content.
// The formats of the Windows Imaging Component (BMP, PNG, JPEG, GIF, TIFF, ICO and any codec
// installed on the machine) are decoded by it; PICT, TGA and SGI by our own codecs, which are
// asked first so that no system codec (Wine's TGA decoder turns bottom-up files upside down)
// takes them.
//
// An importer reads from bytes it owns: a file mapped into memory, or a buffer handed over
// (a download, picture data). Everything but decode() reads headers and metadata only.
// After a failed open the importer is closed; an open importer stays usable after a failed
// query.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "core/status.h"
#include "platform/media/bitmap.h"
#include "platform/media/owned_bytes.h"

namespace korvane::media {

// Statuses of the importer besides the bitmap's and our codecs' own (named in core/status.h).
using korvane::kCodecError;
using korvane::kIoError;
using korvane::kNoImporter;
using korvane::kPermissionError;

// Largest file or buffer an importer opens.
inline constexpr size_t kMaxImageBytes = size_t{512} << 20;

struct ImageDescription {
    int depth = 0;  // from the depth table of pixel_format.h
    Fixed hRes = kDefaultResolution;
    Fixed vRes = kDefaultResolution;
    int colourCount = 0;  // entries of the colour table, 0 when the image has none
    Rgb colours[kMaxPaletteSize] = {};
};

class Importer {
  public:
    Importer();
    ~Importer();
    Importer(const Importer&) = delete;
    Importer& operator=(const Importer&) = delete;

    // Opens a file by its native path (ANSI code page). -43 when it does not exist.
    Status openFile(const char* path);
    // Opens data held in memory; the importer takes the bytes.
    Status openBytes(OwnedBytes bytes);
    // Opens data held in memory by the caller, who keeps it until the importer is closed.
    Status openMemory(const uint8_t* data, size_t size);
    void close();
    bool isOpen() const;

    // Size of the current image.
    Status naturalBounds(int32_t& width, int32_t& height);
    Status imageDescription(ImageDescription& out);
    Status imageCount(int& count);
    // Selects image `index` (1 is the first); -50 outside 1..imageCount.
    Status setImageIndex(int index);
    int imageIndex() const;

    // Decodes the current image.
    Status decode(Bitmap& out, size_t maxBytes = kDefaultMaxBitmapBytes);
    // The current image as a picture of one bitmap (without file header).
    Status asPicture(OwnedBytes& picture);

    // Bytes the importer reads from (the whole file or buffer).
    const uint8_t* data() const;
    size_t size() const;

  private:
    struct State;
    Status openState(std::unique_ptr<State> state, const uint8_t* data, size_t size);
    std::unique_ptr<State> state_;
};

// Decodes an image held in memory with the Windows Imaging Component alone (JPEG data inside
// pictures). Matches ImageDataDecoder of pict.h; context is unused.
Status decodeImageDataWithSystem(void* context,
                                 uint32_t codecType,
                                 const uint8_t* data,
                                 size_t size,
                                 size_t maxBytes,
                                 Bitmap& out);

}  // namespace korvane::media
