#pragma once
// The fuzz input as a zero-terminated text of exactly its size, in a heap block of its own, so
// that the sanitizers see any byte read past the terminator.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

namespace korvane::fuzzing {

class FuzzText {
  public:
    FuzzText(const uint8_t* data, size_t size) : text_(new char[size + 1]) {
        std::memcpy(text_.get(), data, size);
        text_[size] = '\0';
    }
    char* get() { return text_.get(); }

  private:
    std::unique_ptr<char[]> text_;
};

// The input as a byte block of exactly its size (never a pointer into libFuzzer's own buffer,
// which may be larger than the data).
class FuzzBytes {
  public:
    FuzzBytes(const uint8_t* data, size_t size) : bytes_(new uint8_t[size > 0 ? size : 1]), size_(size) {
        std::memcpy(bytes_.get(), data, size);
    }
    const uint8_t* data() const { return bytes_.get(); }
    size_t size() const { return size_; }

  private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_;
};

}  // namespace korvane::fuzzing
