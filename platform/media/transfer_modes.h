#pragma once
// Transfer modes: how a drawn pixel combines with the pixel already in the destination.
// Numbers are the media platform's. Each mode's rule for one colour channel is written once,
// in the table of transfer_modes.cpp; the compositor combines whole spans through it.
//
// The eight boolean modes work as on the platform's monochrome screens, where a set bit is
// black ink: "or" adds the source's ink (so on colour channels it keeps the darker bits),
// "xor" inverts the destination under black, "bic" clears it to white under black. The
// arithmetic modes take an operation colour (16 bits a channel; blend weighs the source by
// it, the pin modes use its top byte as their limit, transparent skips source pixels of
// exactly that colour, hilite swaps it with white). The alpha modes read the source's alpha.

#include <cstddef>
#include <cstdint>
#include <span>

namespace korvane::media {

inline constexpr int kModeSrcCopy = 0;
inline constexpr int kModeSrcOr = 1;
inline constexpr int kModeSrcXor = 2;
inline constexpr int kModeSrcBic = 3;
inline constexpr int kModeNotSrcCopy = 4;
inline constexpr int kModeNotSrcOr = 5;
inline constexpr int kModeNotSrcXor = 6;
inline constexpr int kModeNotSrcBic = 7;
inline constexpr int kModeBlend = 32;
inline constexpr int kModeAddPin = 33;
inline constexpr int kModeAddOver = 34;
inline constexpr int kModeSubPin = 35;
inline constexpr int kModeTransparent = 36;
inline constexpr int kModeAddMax = 37;
inline constexpr int kModeSubOver = 38;
inline constexpr int kModeAddMin = 39;
inline constexpr int kModeGrayishTextOr = 49;
inline constexpr int kModeHilite = 50;
inline constexpr int kModeDitherCopy = 64;
inline constexpr int kModeStraightAlpha = 256;
inline constexpr int kModePreWhiteAlpha = 257;
inline constexpr int kModePreBlackAlpha = 258;
inline constexpr int kModeComposition = 259;
inline constexpr int kModeStraightAlphaBlend = 260;
inline constexpr int kModePreMulColorAlpha = 261;

inline constexpr uint16_t kDefaultOpChannel = 0x8000;

struct OpColor {
    uint16_t red = kDefaultOpChannel;
    uint16_t green = kDefaultOpChannel;
    uint16_t blue = kDefaultOpChannel;
};

// One channel's inputs: source and destination levels (0..255), the operation colour's
// channel (0..65535), and the alphas of the source and destination pixels (0..255).
struct ChannelInput {
    int source = 0;
    int dest = 0;
    int op = kDefaultOpChannel;
    int sourceAlpha = 255;
    int destAlpha = 255;
};
using ChannelRule = int (*)(const ChannelInput&);

// Source pixels a mode leaves out altogether (the destination pixel stays).
enum class SourceSkip : uint8_t {
    none,
    opColor,  // the source pixel equals the operation colour (its top bytes)
    white,    // the source pixel is white
};

// The alpha a destination with alpha keeps.
enum class AlphaResult : uint8_t {
    dest,    // unchanged
    source,  // the source's
    over,    // source over destination: a + da (1 - a)
};

struct TransferRule {
    int mode;
    const char* name;
    ChannelRule channel;
    SourceSkip skip;
    AlphaResult alpha;
    bool readsDest;  // false when the result depends on the source alone
    bool dither;     // ordered dither when the destination has fewer levels
};

std::span<const TransferRule> transferRules();
// The rule of a mode number, or null for a number the platform does not define.
const TransferRule* findTransferRule(int mode);

// Pixels in spans are 32-bit words: blue in bits 0-7, green 8-15, red 16-23, alpha 24-31.
// Combines count source pixels into the destination pixels by the mode (dest is overwritten).
using SpanCombiner = void (*)(const uint32_t* source, uint32_t* dest, size_t count, const OpColor& op);
// Null for an unknown mode.
SpanCombiner spanCombiner(int mode);

}  // namespace korvane::media
