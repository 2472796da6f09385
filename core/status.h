#pragma once
// Statuses answered by handlers and core operations: signed 16-bit, 0 is success.
// Negative values keep the media platform's numbering; positive ones are either the
// operating system's own error codes passed through or the dispatcher's codes below.

#include <cstdint>

namespace korvane {

using Status = int16_t;

inline constexpr Status kNoErr = 0;

// Start-up answers (never an error reply).
inline constexpr Status kStartupBadInterface = -1;  // host interface version outside 4..255
inline constexpr Status kStartupFailed = -2;        // media platform too old or no memory

// Error replies, in the media platform's numbering.
inline constexpr Status kClipboardWriteFailed = -1;  // the clipboard could not take the picture
inline constexpr Status kUnimplemented = -4;         // function not built yet
inline constexpr Status kDirectoryFull = -33;
inline constexpr Status kDiskFull = -34;
inline constexpr Status kNoSuchVolume = -35;  // no such volume, or index out of range
inline constexpr Status kIoError = -36;       // a read or a system call failed without a usable code
inline constexpr Status kBadName = -37;
inline constexpr Status kEndOfFile = -39;
inline constexpr Status kTooManyFilesOpen = -42;
inline constexpr Status kFileNotFound = -43;  // also: end of a search
inline constexpr Status kVolumeLocked = -44;
inline constexpr Status kFileLocked = -45;
inline constexpr Status kFileBusy = -47;
inline constexpr Status kDuplicateName = -48;
inline constexpr Status kOpenForWriting = -49;
inline constexpr Status kParamErr = -50;  // bad or missing parameter, unknown function
inline constexpr Status kBadFileReference = -51;
inline constexpr Status kPermissionError = -54;  // the file is locked or not readable
inline constexpr Status kWritePermission = -61;
inline constexpr Status kNoPicture = -102;
inline constexpr Status kEmptyPicture = -103;
inline constexpr Status kBadPictureData = -104;
inline constexpr Status kOutOfMemory = -108;
inline constexpr Status kNotAFolder = -120;
inline constexpr Status kFolderTooFull = -121;
inline constexpr Status kUserCanceled = -128;
inline constexpr Status kNoImporter = -2003;  // no decoder knows the data
inline constexpr Status kMediaLibraryNotFound = -2093;
inline constexpr Status kMediaEntryPointMissing = -2094;
inline constexpr Status kMediaNotInitialized = -2095;
inline constexpr Status kCodecError = -8960;  // the decoder failed on the data
inline constexpr Status kNoCodec = -8961;
inline constexpr Status kUnsupportedImage = -8962;

// Every negative status an error reply can carry; each has a message in the catalogue.
inline constexpr Status kErrorStatuses[] = {
    kClipboardWriteFailed,
    kUnimplemented,
    kDirectoryFull,
    kDiskFull,
    kNoSuchVolume,
    kIoError,
    kBadName,
    kEndOfFile,
    kTooManyFilesOpen,
    kFileNotFound,
    kVolumeLocked,
    kFileLocked,
    kFileBusy,
    kDuplicateName,
    kOpenForWriting,
    kParamErr,
    kBadFileReference,
    kPermissionError,
    kWritePermission,
    kNoPicture,
    kEmptyPicture,
    kBadPictureData,
    kOutOfMemory,
    kNotAFolder,
    kFolderTooFull,
    kUserCanceled,
    kNoImporter,
    kMediaLibraryNotFound,
    kMediaEntryPointMissing,
    kMediaNotInitialized,
    kCodecError,
    kNoCodec,
    kUnsupportedImage,
};

// Dispatcher codes for a function that needs PluginState when there is none.
inline constexpr Status kNoStateOpenProgress = 9990;
inline constexpr Status kNoStateUpdateProgress = 9991;
inline constexpr Status kNoStateCloseProgress = 9992;
inline constexpr Status kNoStateFindFile = 9998;

}  // namespace korvane
