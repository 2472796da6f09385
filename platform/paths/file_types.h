#pragma once
// The four-character file-type codes the module knows, each with its default extension and
// the extension patterns a file dialog offers for it. The dialogs, FindFile and image
// export all read this one table.

#include <cstdint>

namespace korvane {

// A four-character code as textToCode makes it: the first character in the high byte.
constexpr uint32_t fourCharCode(const char (&text)[5]) {
    return (static_cast<uint32_t>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<uint32_t>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<uint32_t>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<uint32_t>(static_cast<unsigned char>(text[3]));
}

struct FileType {
    const char* extension;  // without the dot; "" when the type has none
    const char* patterns;   // "*.jpg;*.jpeg"; "" when the type has none
};

// Looks up `code` (case-sensitive). Answers false, leaving `out` untouched, for a code
// that is not in the table.
bool typeExtension(uint32_t code, FileType* out);

}  // namespace korvane
