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

// Appends "." and the extension when the path has no "." anywhere. False when the result
// would not fit `capacity` bytes (terminator included); the path is then unchanged.
bool appendExtensionIfNone(char* path, size_t capacity, const char* extension);

// Replaces the extension of the path's file name (everything after its last ".") with
// `extension`; a name without "." is left alone. Only the last component counts: a "." in a
// folder's name is never taken. False when the result would not fit (the path unchanged).
bool replaceExtension(char* path, size_t capacity, const char* extension);

}  // namespace korvane
