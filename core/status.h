#pragma once
// Statuses answered by handlers and core operations: signed 16-bit, 0 is success.
// Negative values keep the media platform's numbering; positive ones are either the
// operating system's own error codes passed through or the dispatcher's codes below.

#include <cstdint>

namespace korvane {

using Status = int16_t;

inline constexpr Status kNoErr = 0;
inline constexpr Status kStartupBadInterface = -1;  // start-up: host interface version outside 4..255
inline constexpr Status kStartupFailed = -2;        // start-up: media platform too old or no memory
inline constexpr Status kUnimplemented = -4;        // function not built yet
inline constexpr Status kNoSuchVolume = -35;        // no such volume, or index out of range
inline constexpr Status kBadName = -37;
inline constexpr Status kFileNotFound = -43;  // also: end of a search
inline constexpr Status kDuplicateName = -48;
inline constexpr Status kParamErr = -50;  // bad or missing parameter, unknown function
inline constexpr Status kNoPicture = -102;
inline constexpr Status kEmptyPicture = -103;
inline constexpr Status kBadPictureData = -104;
inline constexpr Status kOutOfMemory = -108;
inline constexpr Status kNotAFolder = -120;
inline constexpr Status kUserCanceled = -128;
inline constexpr Status kMediaLibraryNotFound = -2093;
inline constexpr Status kMediaEntryPointMissing = -2094;
inline constexpr Status kMediaNotInitialized = -2095;

// Dispatcher codes for a function that needs PluginState when there is none.
inline constexpr Status kNoStateOpenProgress = 9990;
inline constexpr Status kNoStateUpdateProgress = 9991;
inline constexpr Status kNoStateCloseProgress = 9992;
inline constexpr Status kNoStateFindFile = 9998;

}  // namespace korvane
