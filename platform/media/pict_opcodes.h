#pragma once
// Opcodes and record constants of the picture format, shared by the reader and the writer.

#include <cstdint>

namespace korvane::media::pict {

inline constexpr uint16_t kNop = 0x0000;
inline constexpr uint16_t kClip = 0x0001;
inline constexpr uint16_t kVersionOp = 0x0011;
inline constexpr uint16_t kBitsRect = 0x0090;
inline constexpr uint16_t kBitsRgn = 0x0091;
inline constexpr uint16_t kPackBitsRect = 0x0098;
inline constexpr uint16_t kPackBitsRgn = 0x0099;
inline constexpr uint16_t kDirectBitsRect = 0x009A;
inline constexpr uint16_t kDirectBitsRgn = 0x009B;
inline constexpr uint16_t kEndPicture = 0x00FF;
inline constexpr uint16_t kHeaderOp = 0x0C00;
inline constexpr uint16_t kCompressedImage = 0x8200;

// Version opcode data: 1 byte in version 1, the word 0x02FF in version 2.
inline constexpr uint8_t kVersion1 = 0x01;
inline constexpr uint16_t kVersion2 = 0x02FF;
// First word of the version 2 header: -1 original form, -2 extended (with resolution).
inline constexpr uint16_t kHeaderVersionOriginal = 0xFFFF;
inline constexpr uint16_t kHeaderVersionExtended = 0xFFFE;
inline constexpr uint32_t kHeaderOpSize = 24;

// High bit of rowBytes: a pixel map rather than a 1-bit bit map. The two top bits are flags.
inline constexpr uint16_t kPixMapFlag = 0x8000;
inline constexpr uint16_t kRowBytesMask = 0x3FFF;
// Rows shorter than this are never packed.
inline constexpr uint16_t kMinPackedRowBytes = 8;
// A packed row starts with its byte count: one byte, or a word for rows longer than
// kByteCountLimit bytes. (Narrow rows of direct pixels with word counts exist too: the
// reader tells them apart by their rows.)
inline constexpr uint16_t kByteCountLimit = 250;
inline constexpr int kMaxIndexedPixelSize = 8;
inline constexpr bool hasWordByteCount(uint16_t rowBytes) {
    return rowBytes > kByteCountLimit;
}
// Placeholder base address in front of a direct pixel map.
inline constexpr uint32_t kDirectBaseAddress = 0x000000FF;

inline constexpr uint16_t kPackDefault = 0;
inline constexpr uint16_t kPackNone = 1;
inline constexpr uint16_t kPackDropPad = 2;     // 32-bit pixels as RGB triples, unpacked
inline constexpr uint16_t kPackWords = 3;       // 16-bit pixels, PackBits by words
inline constexpr uint16_t kPackComponents = 4;  // 32-bit pixels, one plane per component, PackBits

inline constexpr uint16_t kPixelTypeIndexed = 0;
inline constexpr uint16_t kPixelTypeDirect = 16;
inline constexpr uint16_t kColorTableDeviceFlag = 0x8000;
inline constexpr uint16_t kModeSrcCopy = 0;

inline constexpr uint16_t kRegionHeaderSize = 10;  // size word and bounding box
inline constexpr int16_t kRegionEnd = 0x7FFF;

// Bytes of a pixel map after rowBytes and bounds: version, packType, packSize, hRes, vRes,
// pixelType, pixelSize, cmpCount, cmpSize, planeBytes, pmTable, pmReserved.
inline constexpr uint32_t kPixMapTailSize = 36;
inline constexpr uint32_t kColorEntrySize = 8;

// Compressed-image opcode: the fixed part before the masks and the image description.
inline constexpr uint32_t kMatrixSize = 36;
inline constexpr uint32_t kImageDescriptionSize = 86;

}  // namespace korvane::media::pict
