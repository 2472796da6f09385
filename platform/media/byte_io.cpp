#include "platform/media/byte_io.h"

#include <cstring>
#include <limits>

namespace korvane::media {

namespace {
constexpr size_t kInitialCapacity = 4096;
}

bool ByteWriter::reserve(size_t n) {
    if (!ok_) {
        return false;
    }
    if (n <= capacity_ - size_) {
        return true;
    }
    if (n > std::numeric_limits<size_t>::max() - size_) {
        ok_ = false;
        return false;
    }
    size_t wanted = size_ + n;
    size_t capacity = capacity_ ? capacity_ : kInitialCapacity;
    while (capacity < wanted) {
        capacity = capacity > std::numeric_limits<size_t>::max() / 2 ? wanted : capacity * 2;
    }
    void* grown = std::realloc(data_.get(), capacity);
    if (!grown) {
        ok_ = false;
        return false;
    }
    (void)data_.release();
    data_.reset(static_cast<uint8_t*>(grown));
    capacity_ = capacity;
    return true;
}

void ByteWriter::putBytes(const void* bytes, size_t n) {
    if (n == 0 || !reserve(n)) {
        return;
    }
    std::memcpy(data_.get() + size_, bytes, n);
    size_ += n;
}

void ByteWriter::putZeros(size_t n) {
    if (n == 0 || !reserve(n)) {
        return;
    }
    std::memset(data_.get() + size_, 0, n);
    size_ += n;
}

void ByteWriter::patch16be(size_t offset, uint16_t v) {
    if (ok_ && offset + 2 <= size_) {
        data_.get()[offset] = static_cast<uint8_t>(v >> 8);
        data_.get()[offset + 1] = static_cast<uint8_t>(v);
    }
}

std::unique_ptr<uint8_t, FreeDeleter> ByteWriter::release(size_t& size) {
    size = size_;
    size_ = 0;
    capacity_ = 0;
    return std::move(data_);
}

}  // namespace korvane::media
