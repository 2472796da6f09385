#pragma once
// Path texts built while copying, moving or deleting a tree. Each one lives in a
// fixed buffer of the system's classic path size; an append that would not fit is
// refused and leaves the text as it was, so a walk never acts on a cut-off path.
// Separators are found with the Shift-JIS rules: the second byte of a double-byte
// character is never taken for a backslash.

#include <cstddef>

#include "core/status.h"

namespace korvane {

// 259 characters and the terminator.
inline constexpr size_t kWalkPathCapacity = 260;

// The system's code for a file name that is too long: answered when a path built
// during a walk would not fit its buffer.
inline constexpr Status kPathTooLong = 206;

class WalkPath {
  public:
    WalkPath() = default;

    // Replaces the text; false (and the text unchanged) when it would not fit.
    bool assign(const char* text);
    // Appends `length` bytes of `text`; false (and the text unchanged) when they would not fit.
    bool append(const char* text, size_t length);
    bool append(const char* text);
    // Appends "\" unless the text already ends in one.
    bool appendSeparator();
    // Cuts the text back to `length` bytes (a length taken earlier with length()).
    void truncate(size_t length);
    // Drops one trailing "\", if any.
    void dropTrailingSeparator();

    bool endsWithSeparator() const;
    // The last path element (a trailing "\" left out), as an offset and length into
    // the text. A volume root (C:\, \\server\share\) has none: the length is 0.
    void lastElement(size_t* offset, size_t* length) const;
    // Whether `inner` is this path or lies inside it. Both are absolute folder paths
    // ending in "\"; ASCII letters are compared without regard to case.
    bool contains(const WalkPath& inner) const;

    const char* text() const { return text_; }
    size_t length() const { return length_; }
    // Room for the system's functions that write a path (GetFullPathNameA).
    char* buffer() { return text_; }
    // Takes the length of a text a system function wrote into buffer().
    void adopt(size_t length);

  private:
    char text_[kWalkPathCapacity] = {};
    size_t length_ = 0;
};

}  // namespace korvane
