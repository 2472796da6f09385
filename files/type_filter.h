#pragma once
// The list of file types a file dialog offers, built from the dialog's arguments without
// any system call: each entry a label and its patterns ("*.jpg;*.jpeg"), always ending
// with "All Files" / "*.*", written as the system's list of NUL-separated pairs closed by
// a second NUL. Labels come from the registered descriptions of the extensions, which
// the caller looks up.

#include <cstddef>
#include <cstdint>

namespace korvane::files {

// Whole pair lists, the two closing NULs included, of the open and the save dialog.
inline constexpr size_t kOpenFilterCapacity = 520;
inline constexpr size_t kSaveFilterCapacity = 1024;
// FILETYPE takes at most this many codes.
inline constexpr int kMaxFilterTypes = 40;
// A registered description of up to 260 bytes and its terminator.
inline constexpr size_t kTypeLabelCapacity = 261;

// The registered description of an extension (".jpg") into `out` (capacity counts the
// terminator); false when none is registered or it is empty.
using TypeDescriptionLookup = bool (*)(const char* extension, char* out, size_t capacity);

// The label of an extension (".jpg"): its registered description, else "カスタム(*.jpg)".
// Answers whether the description was registered. A label that would not fit `capacity`
// is left empty.
bool typeLabel(const char* extension, TypeDescriptionLookup lookup, char* out, size_t capacity);

struct TypeFilterRequest {
    bool showAll = false;              // SHOWALL: no entries before All Files
    const char* extensions = nullptr;  // EXTENSION: "jpg,.png"; null or empty when not given
    const uint32_t* types = nullptr;   // FILETYPE codes, `typeCount` of them (0 when not given)
    int typeCount = 0;
};

// The pair list into `out`. Entries that would not fit `capacity` are left out, so the
// list is always whole and always ends with All Files. Answers the bytes used, both
// closing NULs included; 0 when not even All Files fits.
size_t buildTypeFilter(const TypeFilterRequest& request, TypeDescriptionLookup lookup, char* out, size_t capacity);

}  // namespace korvane::files
