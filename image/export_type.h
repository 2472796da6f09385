#pragma once
// The file type of an export, from the EXTENSION or FILETYPE argument, and the path rules
// of the exported file's name. Portable.

#include <cstddef>
#include <cstdint>

namespace korvane {

// The type of an extension: the first of the six extension lists (still images, MPEG,
// movies, other media, sound, documents) that holds it decides. 0 when none does.
uint32_t fileTypeForExtension(const char* extension);

// The type a FILETYPE text names: PICT, Picture, PCT, QTIF, QuickTimeImage, BMP, Bitmap,
// JPEG, JFIF, Photoshop; any other text read as a four-character code. 0 when unreadable.
uint32_t fileTypeForName(const char* text);

// EXTENSION, when present (not null), decides even when it names no type; else FILETYPE;
// else 0 (unset).
uint32_t exportFileType(const char* extension, const char* fileTypeText);

// The still-image types the export dialog offers, in its order (PICT first).
int exportDialogTypeCount();
// The type at `index` (0-based) of that list; 0 outside it.
uint32_t exportDialogType(int index);
// Where `fileType` stands in that list; -1 when it is not offered.
int exportDialogTypeIndex(uint32_t fileType);

// The save dialog's type filter for that list: pairs of "NAME (*.a;*.b)" and "*.a;*.b", each
// terminated, and one more terminator at the end. The bytes used, or 0 when `capacity` is
// too small (then `out` holds nothing usable).
size_t buildExportFilter(char* out, size_t capacity);

// Appends "." and the extension when the path has no "." anywhere. False when the result
// would not fit `capacity` bytes (terminator included); the path is then unchanged.
bool appendExtensionIfNone(char* path, size_t capacity, const char* extension);

// Replaces the extension of the path's file name (everything after its last ".") with
// `extension`; a name without "." is left alone. Only the last component counts: a "." in a
// folder's name is never taken. False when the result would not fit (the path unchanged).
bool replaceExtension(char* path, size_t capacity, const char* extension);

}  // namespace korvane
