#pragma once
// Bitmap: the one pixel container of the media layer. Decoders fill it; drawing, export and
// the picture writer read from it.
//
// Depths are numbered as the media platform reports them, and the depth also fixes how
// the pixels are stored. Rows run top to bottom; each row starts on a 4-byte boundary.
//   1, 2, 4, 8     indexed: packed indices, most significant bits first; colours in the palette.
//   34, 36, 40     grey with 2, 4 or 8 bits: stored like indexed pixels; the palette is the
//                  ramp from black (index 0) to white (highest index), set by create().
//   16             little-endian 16-bit words, x1555: bits 14-10 red, 9-5 green, 4-0 blue.
//   24             three bytes a pixel: blue, green, red.
//   32             four bytes a pixel: blue, green, red, alpha (not premultiplied). Without
//                  hasAlpha() the alpha byte is 255.
// These are the layouts of Windows device-independent bitmaps (16, 24, 32), so decoded
// pixels go to the screen without conversion.
//
// Sizes are checked before anything is allocated: width x height x bytes cannot overflow,
// and an image above the byte limit gives kOutOfMemory like a failed allocation.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "core/status.h"
#include "platform/media/byte_io.h"

namespace korvane::media {

// 16.16 fixed-point value (resolutions in pixels per inch).
using Fixed = int32_t;
inline constexpr Fixed kFixedOne = 0x10000;
inline constexpr Fixed kDefaultResolution = 72 * kFixedOne;

inline constexpr int kDepth1 = 1;
inline constexpr int kDepth2 = 2;
inline constexpr int kDepth4 = 4;
inline constexpr int kDepth8 = 8;
inline constexpr int kDepth16 = 16;
inline constexpr int kDepth24 = 24;
inline constexpr int kDepth32 = 32;
inline constexpr int kDepthGrey2 = 34;
inline constexpr int kDepthGrey4 = 36;
inline constexpr int kDepthGrey8 = 40;

inline constexpr int kMaxPaletteSize = 256;
// Largest pixel buffer a bitmap allocates unless its caller asks for less.
inline constexpr size_t kDefaultMaxBitmapBytes = size_t{1} << 30;

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

struct Rgba {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;
    friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Channel `index` of a colour, in the order planar formats store their planes: red, green,
// blue, then alpha.
inline uint8_t planeValue(const Rgba& c, int index) {
    return index == 0 ? c.red : index == 1 ? c.green : index == 2 ? c.blue : c.alpha;
}

// Bits of storage for each pixel of a depth; 0 for a depth the bitmap does not know.
int bitsPerPixel(int depth);
// True for the depths stored as indices into a palette (indexed and grey).
bool isIndexedDepth(int depth);
bool isGreyDepth(int depth);

// The palette of a grey depth: the ramp from black to white over 2^bits entries.
Rgb greyLevel(int index, int bits);
// Depth of indexed pixels of 1 to 8 bits with this palette: the grey depth (34, 36, 40) when
// the palette is exactly the grey ramp of 2, 4 or 8 bits, else the bits themselves.
int indexedDepthFor(int bits, std::span<const Rgb> palette);

// The 16-bit pixel value (x1555) of a colour, and back (5 bits widened by repeating the top bits).
uint16_t packRgb555(Rgb c);
Rgb unpackRgb555(uint16_t v);

class Bitmap {
  public:
    Bitmap() = default;
    // A moved-from bitmap is empty, with width and height 0.
    Bitmap(Bitmap&& other) noexcept { swap(other); }
    Bitmap& operator=(Bitmap&& other) noexcept {
        Bitmap taken(static_cast<Bitmap&&>(other));
        swap(taken);
        return *this;
    }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    // Allocates a zeroed bitmap. -50 for a bad depth or a size below 1, -108 when the pixels
    // would need more than maxBytes or memory runs out. On failure the bitmap is left empty.
    // Depth 1 gets the palette white, black; grey depths get their ramp; other indexed
    // depths start with an empty palette (indices beyond the palette read as black).
    Status create(int32_t width, int32_t height, int depth, size_t maxBytes = kDefaultMaxBitmapBytes);
    void reset() { *this = Bitmap(); }

    bool empty() const { return !pixels_; }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int depth() const { return depth_; }
    size_t stride() const { return stride_; }
    size_t byteSize() const { return stride_ * static_cast<size_t>(height_); }
    // Bytes of a row that hold pixels (the rest up to stride() is padding).
    size_t rowBytesUsed() const;

    uint8_t* row(int32_t y) { return pixels_.get() + stride_ * static_cast<size_t>(y); }
    const uint8_t* row(int32_t y) const { return pixels_.get() + stride_ * static_cast<size_t>(y); }

    std::span<const Rgb> palette() const { return {palette_.get(), static_cast<size_t>(paletteSize_)}; }
    // Sets the colour table of an indexed bitmap: at most 2^bits entries. -50 otherwise.
    Status setPalette(std::span<const Rgb> colours);

    Fixed horizontalResolution() const { return hRes_; }
    Fixed verticalResolution() const { return vRes_; }
    void setResolution(Fixed horizontal, Fixed vertical) {
        hRes_ = horizontal;
        vRes_ = vertical;
    }

    bool hasAlpha() const { return hasAlpha_; }
    void setHasAlpha(bool hasAlpha) { hasAlpha_ = hasAlpha; }

    // Index of an indexed or grey pixel. Coordinates must lie inside the bitmap.
    uint32_t index(int32_t x, int32_t y) const;
    void setIndex(int32_t x, int32_t y, uint32_t value);

    // Colour of a pixel of any depth.
    Rgba pixel(int32_t x, int32_t y) const;
    // Stores a colour in a 16, 24 or 32-bit bitmap (ignored for indexed depths).
    void setPixel(int32_t x, int32_t y, Rgba colour);

    // Fills every pixel of a 16, 24 or 32-bit bitmap with one colour.
    void fill(Rgba colour);

    // A 32-bit bitmap marked as having alpha whose alpha bytes are all zero has none: many
    // writers leave the channel empty, and taking it at its word would make the image
    // invisible. Clears hasAlpha and sets the bytes to 255 then.
    void dropEmptyAlpha();

  private:
    void swap(Bitmap& other) noexcept;

    std::unique_ptr<uint8_t, FreeDeleter> pixels_;
    std::unique_ptr<Rgb[]> palette_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int depth_ = 0;
    size_t stride_ = 0;
    int paletteSize_ = 0;
    Fixed hRes_ = kDefaultResolution;
    Fixed vRes_ = kDefaultResolution;
    bool hasAlpha_ = false;
};

// What a header tells without decoding pixels (for image information).
struct ImageHeader {
    int32_t width = 0;
    int32_t height = 0;
    int depth = 0;  // depth of the bitmap the decoder makes
    Fixed hRes = kDefaultResolution;
    Fixed vRes = kDefaultResolution;
};

// Row stride (bytes, a multiple of 4) and total size of a width x height image at bits per
// pixel; false when the numbers overflow or exceed maxBytes.
bool bitmapSize(int32_t width, int32_t height, int bits, size_t maxBytes, size_t& stride, size_t& total);

}  // namespace korvane::media
