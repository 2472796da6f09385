#pragma once
// What our importer reads from an image file the tests wrote or had written.

#include <cstdint>
#include <string>

#include "platform/media/importer.h"

namespace korvane::test {

struct ImageSize {
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const ImageSize&) const = default;
};

// The file's natural size; {0, 0} when the importer cannot open it or read its bounds.
inline ImageSize naturalSizeOf(const std::string& path) {
    media::Importer importer;
    ImageSize size;
    if (importer.openFile(path.c_str()) != kNoErr || importer.naturalBounds(size.width, size.height) != kNoErr) {
        return {};
    }
    return size;
}

}  // namespace korvane::test
