#pragma once
// Path arguments and path results. Every function that names a file, folder or
// volume resolves its path text into a FileRef; functions that answer with a path
// write it back with writePathResult.

#include <cstddef>
#include <cstdint>

#include "core/call.h"
#include "core/status.h"

namespace korvane {

// Room for a path of 255 bytes and its terminator.
inline constexpr size_t kPathCapacity = 256;

struct FileRef {
    int16_t volume = 0;             // media layer's file record; unused here
    int32_t parent = 0;             // media layer's file record; unused here
    char path[kPathCapacity] = {};  // absolute native path (C:\dir\file, \\server\share\dir)
    bool isFolder = false;          // the item exists and is a folder
    bool exists = false;            // the item exists
};

// Resolves a path text in any of the accepted conventions. Answers 0 also when the
// item does not exist (then exists is false); callers decide what that means.
Status resolvePath(const char* text, FileRef* out);

// resolvePath for an item that must exist: kFileNotFound when it does not.
Status resolveExistingPath(const char* text, FileRef* out);

// resolveExistingPath for the path text of tag `name`: kParamErr when the tag is absent.
Status resolveExistingPathArgument(const Arguments& args, const char* name, FileRef* out);

// Turns a volume name (label, server::share or \\server\share) into a root path.
bool findVolumeRoot(const char* name, char* out, size_t capacity);

// Sets the call's result to the path in the output convention and puts the same
// text on the clipboard, owned by the call's document window.
Status writePathResult(const FileRef& ref, Call& call);

}  // namespace korvane
