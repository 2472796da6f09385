#pragma once
// Bounded readers and a growable writer for the codecs. A reader never reads past its
// buffer: the first read that would fails the reader, and from then on every read gives
// zero and ok() stays false, so a parser checks ok() once after a group of fields.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace korvane::media {

class ByteReader {
  public:
    ByteReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool ok() const { return ok_; }
    void fail() { ok_ = false; }
    size_t position() const { return pos_; }
    size_t size() const { return size_; }
    size_t remaining() const { return ok_ ? size_ - pos_ : 0; }
    const uint8_t* data() const { return data_; }

    // Moves to an absolute position (at most the size); a position beyond fails the reader.
    void seek(size_t position) {
        if (!ok_ || position > size_) {
            ok_ = false;
            return;
        }
        pos_ = position;
    }

    // Returns the next n bytes and moves past them, or null (and a failed reader) when fewer remain.
    const uint8_t* take(size_t n) {
        if (!ok_ || n > size_ - pos_) {
            ok_ = false;
            return nullptr;
        }
        const uint8_t* p = data_ + pos_;
        pos_ += n;
        return p;
    }
    void skip(size_t n) { take(n); }

    uint8_t u8() {
        const uint8_t* p = take(1);
        return p ? p[0] : 0;
    }
    uint16_t u16be() {
        const uint8_t* p = take(2);
        return p ? static_cast<uint16_t>(p[0] << 8 | p[1]) : 0;
    }
    int16_t s16be() { return static_cast<int16_t>(u16be()); }
    uint32_t u32be() {
        const uint8_t* p = take(4);
        return p ? (uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | p[3]) : 0;
    }
    int32_t s32be() { return static_cast<int32_t>(u32be()); }
    uint16_t u16le() {
        const uint8_t* p = take(2);
        return p ? static_cast<uint16_t>(p[1] << 8 | p[0]) : 0;
    }
    uint32_t u32le() {
        const uint8_t* p = take(4);
        return p ? (uint32_t{p[3]} << 24 | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0]) : 0;
    }
    int32_t s32le() { return static_cast<int32_t>(u32le()); }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
    bool ok_ = true;
};

struct FreeDeleter {
    void operator()(void* p) const { std::free(p); }
};

// A growable byte buffer on malloc: a failed allocation marks it failed instead of throwing.
class ByteWriter {
  public:
    bool ok() const { return ok_; }
    size_t size() const { return size_; }
    const uint8_t* data() const { return data_.get(); }
    uint8_t* data() { return data_.get(); }

    // Makes room for n more bytes; false (and a failed writer) when memory runs out.
    bool reserve(size_t n);

    void put8(uint8_t v) { putBytes(&v, 1); }
    void put16be(uint16_t v) {
        const uint8_t b[2] = {static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v)};
        putBytes(b, 2);
    }
    void put32be(uint32_t v) {
        put16be(static_cast<uint16_t>(v >> 16));
        put16be(static_cast<uint16_t>(v));
    }
    void put16le(uint16_t v) {
        const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
        putBytes(b, 2);
    }
    void put32le(uint32_t v) {
        put16le(static_cast<uint16_t>(v));
        put16le(static_cast<uint16_t>(v >> 16));
    }
    void putZeros(size_t n);
    void putBytes(const void* bytes, size_t n);
    // Rewrites a 16-bit value already written at offset.
    void patch16be(size_t offset, uint16_t v);

    // Hands over the bytes written; the writer is empty afterwards.
    std::unique_ptr<uint8_t, FreeDeleter> release(size_t& size);

  private:
    std::unique_ptr<uint8_t, FreeDeleter> data_;
    size_t size_ = 0;
    size_t capacity_ = 0;
    bool ok_ = true;
};

}  // namespace korvane::media
