#pragma once
// The text rules of path arguments and path results, without any system call:
// which convention a path text is written in (network, bare name, Windows, colon),
// the rewrites between the network form srv::share:dir and \\srv\share\dir, and
// the output convention of path results. Texts are Shift-JIS: a byte that is the
// second byte of a double-byte character is never taken as a separator.

#include <cstddef>

#include "core/status.h"

namespace korvane {

enum class PathForm {
    kNetwork,   // srv::share:dir:file or srv@zone::share:dir
    kBareName,  // no colon and no backslash
    kWindows,   // dir\file, \\srv\share, C:\dir
    kColon,     // Data:dir:file, C:, C:dir:file
};

PathForm classifyPathText(const char* text);

// Index of the last backslash that is not the second byte of a double-byte
// character, or -1 when there is none.
int lastSeparator(const char* text);

// A name for an item inside a folder, one that stays in that folder: not empty, at most
// kMaxItemNameLength bytes, no "\", "/" or ":" (a second byte of a double-byte character
// excepted) and not a relative step ("." or ".."). Null is not a name.
inline constexpr size_t kMaxItemNameLength = 260;
bool isPlainItemName(const char* name);

// Removes one trailing backslash (not a second byte) from `text`.
void removeTrailingSeparator(char* text);

// The text after the last "." of a name ("" when there is none).
const char* extensionOf(const char* name);

// Network form to native: srv::share:a:b gives \\srv\share\a\b, srv::share gives
// \\srv\share\. Fails with kParamErr when the server is empty or the result does
// not fit `capacity` (terminator included).
Status networkFormToNative(const char* text, char* out, size_t capacity);

// Looks a volume label up and writes its root (D:\) to `out`.
using VolumeRootLookup = bool (*)(const char* label, char* out, size_t capacity);

// Colon form to native: Data:dir:file gives the root of the volume labelled Data
// followed by dir\file; C:dir:f gives C:\dir\f. kParamErr for an unknown label,
// a colon at the very start or a result that does not fit.
Status colonFormToNative(const char* text, VolumeRootLookup lookup, char* out, size_t capacity);

// A drive-relative text is made to name the drive's root: X: gives X:\ and X:dir
// gives X:\dir. Other texts are copied. False when the result does not fit.
bool completeDriveRoot(const char* text, char* out, size_t capacity);

enum class NetworkVolume {
    kNotNetwork,  // the name is a volume label
    kRoot,        // `out` holds the root of the named share
    kTooLong,     // the name does not fit
};

// Volume names srv::share and \\srv\share (a trailing ":" dropped) as a root path.
NetworkVolume networkVolumeRoot(const char* name, char* out, size_t capacity);

// Native to network form: \\srv\share\dir\f.txt gives srv::share:dir:f.txt;
// other paths are copied. False when the result does not fit.
bool nativeToNetworkForm(const char* path, char* out, size_t capacity);

// A path in the output convention: network rewrite, then escaped (escapeWholeText). A path of 255
// bytes escapes to at most 510, so kPathResultCapacity always suffices.
inline constexpr size_t kPathResultCapacity = 2 * 256;
bool formatPathResult(const char* nativePath, char* out, size_t capacity);

}  // namespace korvane
