#include "platform/media/transfer_modes.h"

#include <algorithm>
#include <array>
#include <utility>

namespace korvane::media {

namespace {

constexpr int kMaxLevel = 255;

constexpr int clampLevel(int v) {
    return v < 0 ? 0 : (v > kMaxLevel ? kMaxLevel : v);
}

// v / d rounded to nearest, for a positive d and a v of either sign.
constexpr int divideRounded(int v, int d) {
    return v >= 0 ? (v + d / 2) / d : -((-v + d / 2) / d);
}

constexpr int top8(int op) {
    return op >> 8;
}

constexpr int invert(int level) {
    return kMaxLevel - level;
}

using In = const ChannelInput&;

constexpr TransferRule kRules[] = {
    // Boolean modes, on ink (255 - level): srcOr keeps the darker bits, srcBic whitens under ink.
    {kModeSrcCopy, "srcCopy", [](In c) { return c.source; }, SourceSkip::none, AlphaResult::source, false, false},
    {kModeSrcOr, "srcOr", [](In c) { return c.source & c.dest; }, SourceSkip::none, AlphaResult::dest, true, false},
    {kModeSrcXor, "srcXor", [](In c) { return invert(c.source ^ c.dest); }, SourceSkip::none, AlphaResult::dest, true,
     false},
    {kModeSrcBic, "srcBic", [](In c) { return invert(c.source) | c.dest; }, SourceSkip::none, AlphaResult::dest, true,
     false},
    {kModeNotSrcCopy, "notSrcCopy", [](In c) { return invert(c.source); }, SourceSkip::none, AlphaResult::source, false,
     false},
    {kModeNotSrcOr, "notSrcOr", [](In c) { return invert(c.source) & c.dest; }, SourceSkip::none, AlphaResult::dest,
     true, false},
    {kModeNotSrcXor, "notSrcXor", [](In c) { return c.source ^ c.dest; }, SourceSkip::none, AlphaResult::dest, true,
     false},
    {kModeNotSrcBic, "notSrcBic", [](In c) { return c.source | c.dest; }, SourceSkip::none, AlphaResult::dest, true,
     false},
    // Arithmetic modes with the operation colour.
    {kModeBlend, "blend", [](In c) { return (c.source * c.op + c.dest * (65535 - c.op) + 32767) / 65535; },
     SourceSkip::none, AlphaResult::dest, true, false},
    {kModeAddPin, "addPin", [](In c) { return std::min(c.source + c.dest, top8(c.op)); }, SourceSkip::none,
     AlphaResult::dest, true, false},
    {kModeAddOver, "addOver", [](In c) { return (c.source + c.dest) & kMaxLevel; }, SourceSkip::none, AlphaResult::dest,
     true, false},
    {kModeSubPin, "subPin", [](In c) { return std::max(c.dest - c.source, top8(c.op)); }, SourceSkip::none,
     AlphaResult::dest, true, false},
    {kModeTransparent, "transparent", [](In c) { return c.source; }, SourceSkip::opColor, AlphaResult::source, true,
     false},
    {kModeAddMax, "addMax", [](In c) { return std::max(c.source, c.dest); }, SourceSkip::none, AlphaResult::dest, true,
     false},
    {kModeSubOver, "subOver", [](In c) { return (c.dest - c.source) & kMaxLevel; }, SourceSkip::none, AlphaResult::dest,
     true, false},
    {kModeAddMin, "addMin", [](In c) { return std::min(c.source, c.dest); }, SourceSkip::none, AlphaResult::dest, true,
     false},
    // Dimmed drawing: the source half-way to white; white source pixels leave the destination.
    {kModeGrayishTextOr, "grayishTextOr", [](In c) { return (c.source + kMaxLevel + 1) / 2; }, SourceSkip::white,
     AlphaResult::dest, true, false},
    // Under non-white source pixels, white and the highlight (operation) colour trade places.
    {kModeHilite, "hilite",
     [](In c) { return c.dest == kMaxLevel ? top8(c.op) : (c.dest == top8(c.op) ? kMaxLevel : c.dest); },
     SourceSkip::white, AlphaResult::dest, true, false},
    {kModeDitherCopy, "ditherCopy", [](In c) { return c.source; }, SourceSkip::none, AlphaResult::source, false, true},
    // Alpha modes: a is the source's alpha; premultiplied sources carry (1 - a) of white,
    // black or the operation colour, which is taken back out.
    {kModeStraightAlpha, "straightAlpha",
     [](In c) { return (c.source * c.sourceAlpha + c.dest * invert(c.sourceAlpha) + 127) / kMaxLevel; },
     SourceSkip::none, AlphaResult::over, true, false},
    {kModePreWhiteAlpha, "preWhiteAlpha",
     [](In c) { return clampLevel(c.source - divideRounded(invert(c.dest) * invert(c.sourceAlpha), kMaxLevel)); },
     SourceSkip::none, AlphaResult::over, true, false},
    {kModePreBlackAlpha, "preBlackAlpha",
     [](In c) { return clampLevel(c.source + divideRounded(c.dest * invert(c.sourceAlpha), kMaxLevel)); },
     SourceSkip::none, AlphaResult::over, true, false},
    // Source over destination, both with alpha: the colour is weighed by what each contributes.
    {kModeComposition, "composition",
     [](In c) {
         int fromDest = c.destAlpha * invert(c.sourceAlpha);  // x 255
         int total = c.sourceAlpha * kMaxLevel + fromDest;    // x 255
         return total == 0 ? c.dest : (c.source * c.sourceAlpha * kMaxLevel + c.dest * fromDest + total / 2) / total;
     },
     SourceSkip::none, AlphaResult::over, true, false},
    {kModeStraightAlphaBlend, "straightAlphaBlend",
     [](In c) {
         int weight = (c.sourceAlpha * c.op + 32767) / 65535;
         return (c.source * weight + c.dest * invert(weight) + 127) / kMaxLevel;
     },
     SourceSkip::none, AlphaResult::over, true, false},
    {kModePreMulColorAlpha, "preMulColorAlpha",
     [](In c) {
         return clampLevel(c.source + divideRounded((c.dest - top8(c.op)) * invert(c.sourceAlpha), kMaxLevel));
     },
     SourceSkip::none, AlphaResult::over, true, false},
};

constexpr uint32_t kColourMask = 0x00FFFFFF;
constexpr uint32_t kWhite = 0x00FFFFFF;

constexpr int channelOf(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

// One instance per table row: the rule is a constant, so it is inlined into the loop.
template <size_t Row>
void combineSpan(const uint32_t* source, uint32_t* dest, size_t count, const OpColor& op) {
    constexpr const TransferRule& rule = kRules[Row];
    const int ops[3] = {op.blue, op.green, op.red};
    const uint32_t opKey = static_cast<uint32_t>(top8(op.red) << 16 | top8(op.green) << 8 | top8(op.blue));
    for (size_t i = 0; i < count; ++i) {
        const uint32_t s = source[i];
        const uint32_t d = dest[i];
        if constexpr (rule.skip == SourceSkip::opColor) {
            if ((s & kColourMask) == opKey) {
                continue;
            }
        } else if constexpr (rule.skip == SourceSkip::white) {
            if ((s & kColourMask) == kWhite) {
                continue;
            }
        }
        ChannelInput in;
        in.sourceAlpha = channelOf(s, 24);
        in.destAlpha = channelOf(d, 24);
        uint32_t result = 0;
        for (int channel = 0; channel < 3; ++channel) {
            in.source = channelOf(s, 8 * channel);
            in.dest = channelOf(d, 8 * channel);
            in.op = ops[channel];
            result |= static_cast<uint32_t>(clampLevel(rule.channel(in))) << (8 * channel);
        }
        int alpha = in.destAlpha;
        if constexpr (rule.alpha == AlphaResult::source) {
            alpha = in.sourceAlpha;
        } else if constexpr (rule.alpha == AlphaResult::over) {
            alpha = in.sourceAlpha + (in.destAlpha * invert(in.sourceAlpha) + 127) / kMaxLevel;
        }
        dest[i] = result | static_cast<uint32_t>(alpha) << 24;
    }
}

template <size_t... Rows>
constexpr std::array<SpanCombiner, sizeof...(Rows)> makeCombiners(std::index_sequence<Rows...>) {
    return {&combineSpan<Rows>...};
}

constexpr auto kCombiners = makeCombiners(std::make_index_sequence<std::size(kRules)>());

}  // namespace

std::span<const TransferRule> transferRules() {
    return kRules;
}

const TransferRule* findTransferRule(int mode) {
    for (const TransferRule& rule : kRules) {
        if (rule.mode == mode) {
            return &rule;
        }
    }
    return nullptr;
}

SpanCombiner spanCombiner(int mode) {
    for (size_t i = 0; i < std::size(kRules); ++i) {
        if (kRules[i].mode == mode) {
            return kCombiners[i];
        }
    }
    return nullptr;
}

}  // namespace korvane::media
