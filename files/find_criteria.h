#pragma once
// The text rules of KUtl-FindFile's criteria, without any system call: the wildcard
// pattern made of the NAME and EXTENSION criteria, the root of the VOLUME criterion,
// which listed entries a search answers or enters, and the paths it builds. Every text
// lives in a buffer of stated capacity (terminator included); a text that would not fit
// is refused, never cut.

#include <cstddef>

#include "platform/paths/path_text.h"

namespace korvane::files {

// NAME and EXTENSION keep at most this many characters.
inline constexpr size_t kMaxCriterionLength = 63;
// VOLUME keeps at most this many characters.
inline constexpr size_t kMaxVolumeNameLength = 30;
// Name, ".", extension and the terminator.
inline constexpr size_t kSearchPatternCapacity = 2 * kMaxCriterionLength + 2;

// The pattern "name.extension", "*" standing for a missing part: NAME=report alone gives
// report.*, EXTENSION=jpg (or .jpg) alone gives *.jpg. Either text may be null.
bool makeSearchPattern(const char* name, const char* extension, char* out, size_t capacity);

// The folder a VOLUME search starts in: a drive (C, C: or C:\) gives C:; any other name
// (a label, srv::share, \\srv\share, a trailing ":" allowed) is looked up and its root
// answered without a trailing separator. False: no such volume, or the root does not fit.
bool volumeSearchRoot(const char* volume, VolumeRootLookup lookup, char* out, size_t capacity);

// Whether a search enters a listed folder: "." and "..", and every folder whose name
// begins with ".", are neither searched nor entered.
bool isEnteredFolderName(const char* name);

// Whether a listed entry may be answered as a match: never the "." and ".." entries, which
// name the folder itself and its parent.
bool isAnswerableName(const char* name);

// folder + "\" + name into `out`; false (and `out` untouched) when it would not fit.
bool joinSearchPath(const char* folder, const char* name, char* out, size_t capacity);

}  // namespace korvane::files
