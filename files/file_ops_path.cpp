#include "files/file_ops_path.h"

#include <cstring>

#include "core/args.h"
#include "platform/paths/path_text.h"

namespace korvane {
namespace {

constexpr char kSeparator = '\\';

char foldAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool WalkPath::assign(const char* text) {
    size_t length = std::strlen(text);
    if (length >= kWalkPathCapacity) {
        return false;
    }
    std::memcpy(text_, text, length + 1);
    length_ = length;
    return true;
}

bool WalkPath::append(const char* text, size_t length) {
    if (length >= kWalkPathCapacity - length_) {
        return false;
    }
    std::memcpy(text_ + length_, text, length);
    length_ += length;
    text_[length_] = '\0';
    return true;
}

bool WalkPath::append(const char* text) {
    return append(text, std::strlen(text));
}

bool WalkPath::appendSeparator() {
    return endsWithSeparator() || append(&kSeparator, 1);
}

void WalkPath::truncate(size_t length) {
    if (length < length_) {
        length_ = length;
        text_[length_] = '\0';
    }
}

void WalkPath::dropTrailingSeparator() {
    if (endsWithSeparator()) {
        truncate(length_ - 1);
    }
}

void WalkPath::adopt(size_t length) {
    length_ = length < kWalkPathCapacity ? length : kWalkPathCapacity - 1;
    text_[length_] = '\0';
}

bool WalkPath::endsWithSeparator() const {
    return length_ > 0 && text_[length_ - 1] == kSeparator && !isSecondByteAt(text_, length_ - 1);
}

void WalkPath::lastElement(size_t* offset, size_t* length) const {
    *offset = 0;
    *length = 0;
    size_t end = endsWithSeparator() ? length_ - 1 : length_;
    bool network = length_ >= 2 && text_[0] == kSeparator && text_[1] == kSeparator;
    // Separators before the end: the last of them, and how many stand after a "\\" prefix.
    size_t previous = 0;
    int count = 0;
    ShiftJisScan bytes;
    for (size_t i = network ? 2 : 0; i < end; ++i) {
        if (bytes.next(text_[i]) == ShiftJisScan::Byte::kSingle && text_[i] == kSeparator) {
            previous = i;
            ++count;
        }
    }
    // A root has no element of its own: C:\ has no separator before its end, \\server\share\ one.
    if (count == 0 || (network && count < 2)) {
        return;
    }
    *offset = previous + 1;
    *length = end - *offset;
}

bool WalkPath::contains(const WalkPath& inner) const {
    if (inner.length_ < length_) {
        return false;
    }
    // Bytes of double-byte characters match exactly, single-byte characters without regard to ASCII case.
    ShiftJisScan bytes;
    for (size_t i = 0; i < length_; ++i) {
        const bool single = bytes.next(text_[i]) == ShiftJisScan::Byte::kSingle;
        if (single ? foldAscii(text_[i]) != foldAscii(inner.text_[i]) : text_[i] != inner.text_[i]) {
            return false;
        }
    }
    return true;
}

}  // namespace korvane
