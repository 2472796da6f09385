#include "platform/media/pict_walk.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/media/pict_opcodes.h"

namespace korvane::media::pict {

namespace {

// Lengths of the opcodes 0x00..0xFF: a byte count, or one of the kinds below.
enum : int8_t {
    kRegionLength = -1,  // size word that counts itself (regions and polygons)
    kWordLength = -2,    // 2-byte data length, then the data
    kLongLength = -3,    // 4-byte data length, then the data
    kLongText = -4,      // point (4 bytes), count byte, text
    kShortText = -5,     // one offset byte, count byte, text
    kDHDVText = -6,      // two offset bytes, count byte, text
    kPixPattern = -7,
    kLongComment = -8,  // kind, size word, data
    kImage = -9,        // handed to the visitor
    kEnd = -10,
};

struct Span {
    int first;
    int last;
    int8_t length;
};

constexpr Span kOpcodeSpans[] = {
    {0x00, 0x00, 0},
    {0x01, 0x01, kRegionLength},
    {0x02, 0x02, 8},
    {0x03, 0x03, 2},
    {0x04, 0x04, 1},
    {0x05, 0x05, 2},
    {0x06, 0x07, 4},
    {0x08, 0x08, 2},
    {0x09, 0x0A, 8},
    {0x0B, 0x0C, 4},
    {0x0D, 0x0D, 2},
    {0x0E, 0x0F, 4},
    {0x10, 0x10, 8},
    {0x11, 0x11, 1},
    {0x12, 0x14, kPixPattern},
    {0x15, 0x16, 2},
    {0x17, 0x19, 0},
    {0x1A, 0x1B, 6},
    {0x1C, 0x1C, 0},
    {0x1D, 0x1D, 6},
    {0x1E, 0x1E, 0},
    {0x1F, 0x1F, 6},
    {0x20, 0x20, 8},
    {0x21, 0x21, 4},
    {0x22, 0x22, 6},
    {0x23, 0x23, 2},
    {0x24, 0x27, kWordLength},
    {0x28, 0x28, kLongText},
    {0x29, 0x2A, kShortText},
    {0x2B, 0x2B, kDHDVText},
    {0x2C, 0x2F, kWordLength},
    {0x30, 0x37, 8},
    {0x38, 0x3F, 0},
    {0x40, 0x47, 8},
    {0x48, 0x4F, 0},
    {0x50, 0x57, 8},
    {0x58, 0x5F, 0},
    {0x60, 0x67, 12},
    {0x68, 0x6F, 4},
    {0x70, 0x77, kRegionLength},
    {0x78, 0x7F, 0},
    {0x80, 0x87, kRegionLength},
    {0x88, 0x8F, 0},
    {0x90, 0x91, kImage},
    {0x92, 0x97, kWordLength},
    {0x98, 0x9B, kImage},
    {0x9C, 0x9F, kWordLength},
    {0xA0, 0xA0, 2},
    {0xA1, 0xA1, kLongComment},
    {0xA2, 0xAF, kWordLength},
    {0xB0, 0xCF, 0},
    {0xD0, 0xFE, kLongLength},
    {0xFF, 0xFF, kEnd},
};

constexpr std::array<int8_t, 256> makeOpcodeTable() {
    std::array<int8_t, 256> table{};
    for (const Span& s : kOpcodeSpans) {
        for (int op = s.first; op <= s.last; ++op) {
            table[op] = s.length;
        }
    }
    return table;
}
constexpr std::array<int8_t, 256> kOpcodeLengths = makeOpcodeTable();

constexpr bool spansCoverEveryOpcode() {
    int next = 0;
    for (const Span& s : kOpcodeSpans) {
        if (s.first != next || s.last < s.first) {
            return false;
        }
        next = s.last + 1;
    }
    return next == 256;
}
static_assert(spansCoverEveryOpcode(), "the opcode length table must list 0x00..0xFF once each, in order");

// Opcodes 0x0100..0x7FFF carry twice their high byte in data bytes; 0x8000..0x80FF none;
// 0x8100..0xFFFF a 4-byte length.
constexpr uint16_t kFirstWordSizedOpcode = 0x0100;
constexpr uint16_t kFirstEmptyHighOpcode = 0x8000;
constexpr uint16_t kFirstLongSizedHighOpcode = 0x8100;

constexpr uint16_t kPatternTypeFull = 1;
constexpr uint16_t kPatternTypeDither = 2;
constexpr size_t kPatternBytes = 8;
constexpr size_t kRgbColorBytes = 6;
constexpr size_t kMaxColorTableSize = 256;
constexpr int kChannelsWithAlpha = 4;
constexpr int kChannelsRgb = 3;

PictRect readRect(ByteReader& r) {
    PictRect rect;
    rect.top = r.s16be();
    rect.left = r.s16be();
    rect.bottom = r.s16be();
    rect.right = r.s16be();
    return rect;
}

Status readRegion(ByteReader& r, Region& region) {
    uint16_t size = r.u16be();
    region.box = readRect(r);
    if (!r.ok() || size < kRegionHeaderSize) {
        return kBadPictureData;
    }
    region.linesSize = size - kRegionHeaderSize;
    region.lines = r.take(region.linesSize);
    return r.ok() ? kNoErr : kBadPictureData;
}

// Skips encoded rows: rowBytes x height raw, or a byte count and that many bytes a row.
void skipRows(ByteReader& r, uint16_t rowBytes, bool wordCounts, int32_t height, bool packed) {
    if (!packed) {
        r.skip(static_cast<size_t>(rowBytes) * static_cast<size_t>(height));
        return;
    }
    for (int32_t y = 0; y < height && r.ok(); ++y) {
        r.skip(wordCounts ? r.u16be() : r.u8());
    }
}

// Whether n packed bytes are whole runs that expand to exactly outSize bytes.
bool packedRunsFill(const uint8_t* in, size_t n, size_t outSize, unsigned unit) {
    size_t filled = 0;
    size_t pos = 0;
    while (pos < n) {
        uint8_t flag = in[pos++];
        if (flag == 128) {
            continue;
        }
        size_t units = flag < 128 ? size_t{flag} + 1 : 257 - size_t{flag};
        size_t bytes = flag < 128 ? units * unit : unit;
        if (bytes > n - pos) {
            return false;
        }
        pos += bytes;
        filled += units * unit;
    }
    return filled == outSize;
}

// Narrow rows of direct pixels (rowBytes of 250 or less) carry one-byte counts as the format
// is described, but many writers give them word counts as for wide rows. The rows decide: one-
// byte counts when every row read that way is whole runs that fill the row.
bool narrowDirectRowsHaveWordCounts(const ByteReader& at, const ImageOp& op, int32_t height) {
    ByteReader r(at.data(), at.size());
    r.seek(at.position());
    unsigned unit = op.encoding == RowEncoding::kPackedWords ? 2 : 1;
    for (int32_t y = 0; y < height; ++y) {
        size_t count = r.u8();
        const uint8_t* packed = r.take(count);
        if (!packed || !packedRunsFill(packed, count, op.unpackedRowSize, unit)) {
            return true;
        }
    }
    return false;
}

Status skipPixPattern(ByteReader& r) {
    uint16_t type = r.u16be();
    r.skip(kPatternBytes);
    if (type == kPatternTypeDither) {
        r.skip(kRgbColorBytes);
        return r.ok() ? kNoErr : kBadPictureData;
    }
    if (type != kPatternTypeFull) {
        return kBadPictureData;
    }
    uint16_t rowBytes = r.u16be() & kRowBytesMask;
    PictRect bounds = readRect(r);
    constexpr size_t kPixelSizeOffset = 2 + 2 + 4 + 4 + 4 + 2;  // in the pixel map tail
    r.skip(kPixelSizeOffset);
    int pixelSize = r.u16be();
    r.skip(kPixMapTailSize - kPixelSizeOffset - 2);
    r.skip(4 + 2);  // colour table seed and flags
    uint16_t lastEntry = r.u16be();
    if (!r.ok() || bounds.height() < 0 || lastEntry >= kMaxColorTableSize) {
        return kBadPictureData;
    }
    r.skip((size_t{lastEntry} + 1) * kColorEntrySize);
    skipRows(r, rowBytes, pixelSize, bounds.height(), rowBytes >= kMinPackedRowBytes);
    return r.ok() ? kNoErr : kBadPictureData;
}

Status skipOpcode(ByteReader& r, uint16_t op) {
    if (op >= kFirstLongSizedHighOpcode) {
        r.skip(r.u32be());
    } else if (op >= kFirstEmptyHighOpcode) {
        // no data
    } else if (op >= kFirstWordSizedOpcode) {
        r.skip(size_t{static_cast<uint8_t>(op >> 8)} * 2);
    } else {
        int8_t length = kOpcodeLengths[op];
        switch (length) {
            case kRegionLength: {
                uint16_t size = r.u16be();
                if (size < 2) {
                    return kBadPictureData;
                }
                r.skip(size - 2u);
                break;
            }
            case kWordLength:
                r.skip(r.u16be());
                break;
            case kLongLength:
                r.skip(r.u32be());
                break;
            case kLongText:
                r.skip(4);
                r.skip(r.u8());
                break;
            case kShortText:
                r.skip(1);
                r.skip(r.u8());
                break;
            case kDHDVText:
                r.skip(2);
                r.skip(r.u8());
                break;
            case kPixPattern:
                return skipPixPattern(r);
            case kLongComment:
                r.skip(2);
                r.skip(r.u16be());
                break;
            default:
                r.skip(static_cast<size_t>(length));
                break;
        }
    }
    return r.ok() ? kNoErr : kBadPictureData;
}

// Reads the pixel map (or bit map) of a bitmap opcode and settles how its rows are encoded.
Status readPixMap(ByteReader& r, ImageOp& op, bool direct) {
    uint16_t rowBytesField = r.u16be();
    op.rowBytes = rowBytesField & kRowBytesMask;
    op.bounds = readRect(r);
    bool pixMap = (rowBytesField & kPixMapFlag) != 0;
    op.packType = kPackDefault;
    if (pixMap) {
        r.skip(2);  // version
        op.packType = r.u16be();
        r.skip(4);  // packSize
        op.hRes = r.s32be();
        op.vRes = r.s32be();
        r.skip(2);  // pixelType
        op.pixelSize = r.u16be();
        op.cmpCount = r.u16be();
        r.skip(2 + 4 + 4 + 4);  // cmpSize, planeBytes, pmTable, pmReserved
        if (!direct) {
            Status status = readColorTable(r, op.pixelSize, op.palette, op.paletteSize);
            if (status != kNoErr) {
                return status;
            }
        }
    } else if (direct) {
        return kBadPictureData;
    } else {
        op.palette[0] = Rgb{255, 255, 255};
        op.palette[1] = Rgb{0, 0, 0};
        op.paletteSize = 2;
    }
    return r.ok() ? kNoErr : kBadPictureData;
}

// Checks sizes and chooses the row encoding and the depth of the decoded bitmap.
Status settleEncoding(ImageOp& op, bool packedOpcode) {
    int32_t width = op.bounds.width();
    if (width <= 0 || op.bounds.height() <= 0) {
        return kBadPictureData;
    }
    int ps = op.pixelSize;
    bool indexed = ps == 1 || ps == 2 || ps == 4 || ps == 8;
    if (!indexed && ps != kDepth16 && ps != kDepth32) {
        return kBadPictureData;
    }
    if (uint64_t{op.rowBytes} * 8 < static_cast<uint64_t>(width) * static_cast<uint64_t>(ps)) {
        return kBadPictureData;
    }
    uint16_t declared = op.packType;
    op.unpackedRowSize = op.rowBytes;
    op.encoding = RowEncoding::kRaw;
    op.packType = kPackNone;
    bool packed = packedOpcode && op.rowBytes >= kMinPackedRowBytes;
    if (indexed) {
        op.depth = indexedDepthFor(ps, {op.palette, static_cast<size_t>(op.paletteSize)});
        if (packed) {
            op.encoding = RowEncoding::kPacked;
        }
        return kNoErr;
    }
    op.depth = ps;
    if (ps == kDepth32 && op.cmpCount != kChannelsRgb && op.cmpCount != kChannelsWithAlpha) {
        return kBadPictureData;
    }
    if (!packed) {
        return kNoErr;
    }
    if (ps == kDepth16) {
        uint16_t type = declared == kPackDefault ? kPackWords : declared;
        if (type == kPackWords) {
            op.encoding = RowEncoding::kPackedWords;
            op.packType = kPackWords;
        }
        return type == kPackWords || type == kPackNone ? kNoErr : kBadPictureData;
    }
    uint16_t type = declared == kPackDefault ? kPackComponents : declared;
    if (type == kPackDropPad) {
        op.encoding = RowEncoding::kRgbTriples;
        op.packType = kPackDropPad;
        op.unpackedRowSize = static_cast<size_t>(width) * 3;
    } else if (type == kPackComponents) {
        op.encoding = RowEncoding::kPacked;
        op.packType = kPackComponents;
        op.unpackedRowSize = static_cast<size_t>(width) * static_cast<size_t>(op.cmpCount);
    }
    return type == kPackDropPad || type == kPackComponents || type == kPackNone ? kNoErr : kBadPictureData;
}

}  // namespace

Status readColorTable(ByteReader& r, int pixelSize, Rgb* palette, int& paletteSize) {
    r.skip(4);  // seed
    uint16_t flags = r.u16be();
    uint16_t lastEntry = r.u16be();
    if (!r.ok() || lastEntry >= kMaxColorTableSize) {
        return kBadPictureData;
    }
    for (int i = 0; i < kMaxPaletteSize; ++i) {
        palette[i] = Rgb{};
    }
    paletteSize = 0;
    int limit = pixelSize >= 1 && pixelSize <= 8 ? 1 << pixelSize : kMaxPaletteSize;
    for (int i = 0; i <= lastEntry; ++i) {
        uint16_t value = r.u16be();
        uint16_t red = r.u16be();
        uint16_t green = r.u16be();
        uint16_t blue = r.u16be();
        int index = (flags & kColorTableDeviceFlag) ? i : value;
        if (index < limit) {
            palette[index] =
                Rgb{static_cast<uint8_t>(red >> 8), static_cast<uint8_t>(green >> 8), static_cast<uint8_t>(blue >> 8)};
            paletteSize = index + 1 > paletteSize ? index + 1 : paletteSize;
        }
    }
    return r.ok() ? kNoErr : kBadPictureData;
}

namespace {

constexpr size_t kVersionCheckOffset = 10;  // size word and frame come first
constexpr uint8_t kVersion1Bytes[] = {0x11, 0x01};
constexpr uint8_t kVersion2Bytes[] = {0x00, 0x11, 0x02, 0xFF};

bool hasVersionAt(const uint8_t* data, size_t size, size_t offset, int& version) {
    size_t at = offset + kVersionCheckOffset;
    if (size >= at + sizeof kVersion2Bytes && std::equal(kVersion2Bytes, kVersion2Bytes + 4, data + at)) {
        version = 2;
        return true;
    }
    if (size >= at + sizeof kVersion1Bytes && std::equal(kVersion1Bytes, kVersion1Bytes + 2, data + at)) {
        version = 1;
        return true;
    }
    return false;
}

bool isImageOpcode(uint16_t op) {
    return op == kBitsRect || op == kBitsRgn || op == kPackBitsRect || op == kPackBitsRgn || op == kDirectBitsRect ||
           op == kDirectBitsRgn;
}

Status readImageOp(ByteReader& r, uint16_t opcode, ImageOp& op) {
    op.opcode = opcode;
    bool direct = opcode == kDirectBitsRect || opcode == kDirectBitsRgn;
    if (direct) {
        r.skip(4);  // base address
    }
    Status status = readPixMap(r, op, direct);
    if (status != kNoErr) {
        return status;
    }
    op.src = readRect(r);
    op.dst = readRect(r);
    r.skip(2);  // transfer mode: drawn as copy
    if (opcode == kBitsRgn || opcode == kPackBitsRgn || opcode == kDirectBitsRgn) {
        op.hasMask = true;
        if ((status = readRegion(r, op.mask)) != kNoErr) {
            return status;
        }
    }
    if (!r.ok()) {
        return kBadPictureData;
    }
    bool packedOpcode = opcode != kBitsRect && opcode != kBitsRgn;
    if ((status = settleEncoding(op, packedOpcode)) != kNoErr) {
        return status;
    }
    size_t start = r.position();
    int32_t height = op.bounds.height();
    if (op.encoding == RowEncoding::kRgbTriples) {
        uint64_t bytes = uint64_t{op.unpackedRowSize} * static_cast<uint64_t>(height);
        if (bytes > r.remaining()) {
            return kBadPictureData;
        }
        r.skip(static_cast<size_t>(bytes));
    } else {
        bool packed = op.encoding != RowEncoding::kRaw;
        op.wordCounts = op.rowBytes > kByteCountLimit;
        if (packed && !op.wordCounts && op.pixelSize > kMaxIndexedPixelSize) {
            op.wordCounts = narrowDirectRowsHaveWordCounts(r, op, height);
        }
        skipRows(r, op.rowBytes, op.wordCounts, height, packed);
    }
    if (!r.ok()) {
        return kBadPictureData;
    }
    op.rows = r.data() + start;
    op.rowsSize = r.position() - start;
    return kNoErr;
}

// Applies the scale and translation of a 3x3 16.16 matrix to a rectangle (rotation and
// skew are not drawn). False when the result leaves the 16-bit coordinate range.
bool transformRect(const PictRect& in, const int32_t (&m)[9], PictRect& out) {
    constexpr int kScaleX = 0;
    constexpr int kScaleY = 4;
    constexpr int kTranslateX = 6;
    constexpr int kTranslateY = 7;
    auto map = [](int32_t v, int32_t scale, int32_t shift, int16_t& result) {
        int64_t fixed = int64_t{v} * scale + shift;
        int64_t whole = fixed / kFixedOne;
        if (whole < INT16_MIN || whole > INT16_MAX) {
            return false;
        }
        result = static_cast<int16_t>(whole);
        return true;
    };
    return map(in.left, m[kScaleX], m[kTranslateX], out.left) && map(in.right, m[kScaleX], m[kTranslateX], out.right) &&
           map(in.top, m[kScaleY], m[kTranslateY], out.top) && map(in.bottom, m[kScaleY], m[kTranslateY], out.bottom);
}

Status readImageDescription(ByteReader& r, CompressedOp& op) {
    uint32_t dataSize = 0;
    if (Status status = readImageDescriptionFields(r, op, dataSize); status != kNoErr) {
        return status;
    }
    if (dataSize == 0 || dataSize > r.remaining()) {
        dataSize = static_cast<uint32_t>(r.remaining());
    }
    op.data = r.take(dataSize);
    return op.data && dataSize > 0 ? kNoErr : kBadPictureData;
}

Status readCompressedOp(ByteReader& outer, CompressedOp& op) {
    uint32_t length = outer.u32be();
    const uint8_t* body = outer.take(length);
    if (!body) {
        return kBadPictureData;
    }
    ByteReader r(body, length);
    r.skip(2);  // version
    int32_t matrix[9];
    for (int32_t& v : matrix) {
        v = r.s32be();
    }
    uint32_t matteSize = r.u32be();
    r.skip(8 + 2);  // matte rectangle, transfer mode
    op.src = readRect(r);
    r.skip(4);  // accuracy
    uint32_t maskSize = r.u32be();
    r.skip(matteSize);
    if (!r.ok()) {
        return kBadPictureData;
    }
    if (maskSize > 0) {
        const uint8_t* mask = r.take(maskSize);
        ByteReader maskReader(mask, mask ? maskSize : 0);
        op.hasMask = true;
        if (!mask || readRegion(maskReader, op.mask) != kNoErr) {
            return kBadPictureData;
        }
    }
    Status status = readImageDescription(r, op);
    if (status != kNoErr) {
        return status;
    }
    op.size = static_cast<size_t>(r.data() + r.position() - op.data);
    if (op.src.empty() || !transformRect(op.src, matrix, op.dst)) {
        return kBadPictureData;
    }
    return kNoErr;
}

}  // namespace

Status readImageDescriptionFields(ByteReader& r, CompressedOp& op, uint32_t& dataSize) {
    size_t start = r.position();
    uint32_t size = r.u32be();
    op.codec = r.u32be();
    r.skip(4 + 2 + 2);          // reserved, data reference index
    r.skip(2 + 2 + 4 + 4 + 4);  // version, revision, vendor, temporal and spatial quality
    op.width = r.u16be();
    op.height = r.u16be();
    op.hRes = r.s32be();
    op.vRes = r.s32be();
    dataSize = r.u32be();
    r.skip(2 + 32);  // frame count, name
    op.depth = r.s16be();
    int16_t colorTableId = r.s16be();
    if (!r.ok() || size < kImageDescriptionSize || size - kImageDescriptionSize > r.remaining() || op.width <= 0 ||
        op.height <= 0) {
        return kBadPictureData;
    }
    constexpr int16_t kAttachedColorTable = 0;
    if (colorTableId == kAttachedColorTable && size > kImageDescriptionSize) {
        ByteReader table(r.data() + r.position(), size - kImageDescriptionSize);
        int bits = bitsPerPixel(op.depth);
        if (readColorTable(table, bits, op.paletteStorage, op.paletteSize) == kNoErr) {
            op.palette = op.paletteStorage;
        }
    }
    r.seek(start + size);
    return r.ok() ? kNoErr : kBadPictureData;
}

Status readHeader(const uint8_t* data, size_t size, PictInfo& info) {
    if (!data) {
        return kParamErr;
    }
    info = PictInfo();
    if (hasVersionAt(data, size, 0, info.version)) {
        info.dataOffset = 0;
    } else if (hasVersionAt(data, size, kPictFileHeaderSize, info.version)) {
        info.dataOffset = kPictFileHeaderSize;
    } else {
        return kBadPictureData;
    }
    ByteReader r(data, size);
    r.seek(info.dataOffset);
    r.skip(2);  // size word: only the low 16 bits of the size, so of no use
    info.frame = readRect(r);
    info.bounds = info.frame;
    r.skip(info.version == 1 ? sizeof kVersion1Bytes : sizeof kVersion2Bytes);
    if (info.version == 2 && r.remaining() >= 2 + kHeaderOpSize &&
        (r.data()[r.position()] << 8 | r.data()[r.position() + 1]) == kHeaderOp) {
        r.skip(2);
        if (r.u16be() == kHeaderVersionExtended) {
            r.skip(2);
            Fixed hRes = r.s32be();
            Fixed vRes = r.s32be();
            PictRect source = readRect(r);
            if (hRes > 0 && vRes > 0) {
                info.hRes = hRes;
                info.vRes = vRes;
            }
            if (!source.empty()) {
                info.bounds = source;
            }
        }
    }
    return r.ok() && !info.frame.empty() ? kNoErr : kBadPictureData;
}

Status walkOpcodes(const uint8_t* data, size_t size, const PictInfo& info, Visitor& visitor) {
    ByteReader r(data, size);
    // Opcodes start after the size word, the frame and the version opcode; the header opcode
    // of version 2 is walked (and skipped) like any other.
    constexpr size_t kFirstOpcode1 = kVersionCheckOffset + sizeof kVersion1Bytes;
    constexpr size_t kFirstOpcode2 = kVersionCheckOffset + sizeof kVersion2Bytes;
    r.seek(info.dataOffset + (info.version == 1 ? kFirstOpcode1 : kFirstOpcode2));
    for (;;) {
        if (info.version == 2 && ((r.position() - info.dataOffset) & 1)) {
            r.skip(1);
        }
        uint16_t opcode = info.version == 1 ? r.u8() : r.u16be();
        if (!r.ok()) {
            return kBadPictureData;  // no end opcode
        }
        Status status = kNoErr;
        if (opcode == kEndPicture) {
            return kNoErr;
        } else if (opcode == kClip) {
            Region region;
            status = readRegion(r, region);
            if (status == kNoErr) {
                status = visitor.clip(region);
            }
        } else if (isImageOpcode(opcode)) {
            ImageOp op;
            status = readImageOp(r, opcode, op);
            if (status == kNoErr) {
                status = visitor.image(op);
            }
        } else if (opcode == kCompressedImage) {
            CompressedOp op;
            status = readCompressedOp(r, op);
            if (status == kNoErr) {
                status = visitor.compressed(op);
            }
        } else {
            status = skipOpcode(r, opcode);
        }
        if (status != kNoErr) {
            return status;
        }
    }
}

}  // namespace korvane::media::pict
