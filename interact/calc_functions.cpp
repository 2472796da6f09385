#include "interact/calc_functions.h"

#include <algorithm>

#include "core/args.h"
#include "core/result_text.h"
#include "interact/color_text.h"
#include "interact/geometry.h"

namespace korvane {
namespace {

// Room for the longest answer: four 16-bit numbers and three commas, or one number.
constexpr size_t kCalcResultCapacity = 64;
using CalcResult = LocalText<kCalcResultCapacity>;

Status answer(Call& call, const CalcResult& result) {
    return call.setResult(result.c_str());
}

Status answerBool(Call& call, bool value) {
    CalcResult result;
    textAppendBool(result, value);
    return answer(call, result);
}

Status answerNumber(Call& call, int32_t value) {
    CalcResult result;
    textAppendNumber(result, value);
    return answer(call, result);
}

// ---- CalcRect ----

// One keyword of a rectangle: an edge queried or assigned as a number (measured from
// `origin` for WIDTH and HEIGHT), or a corner queried or assigned as a point.
struct RectPart {
    const char* keyword;
    int16_t Rect::*edge;               // the number, or the corner's h
    int16_t Rect::*cornerV = nullptr;  // the corner's v; null for a number
    int16_t Rect::*origin = nullptr;   // the edge a WIDTH or HEIGHT is measured from
};

// Taken in this order whatever the order of the text.
constexpr RectPart kRectParts[] = {
    {"LEFT", &Rect::left},
    {"TOP", &Rect::top},
    {"RIGHT", &Rect::right},
    {"BOTTOM", &Rect::bottom},
    {"TOPLEFT", &Rect::left, &Rect::top},
    {"BOTTOMRIGHT", &Rect::right, &Rect::bottom},
    {"WIDTH", &Rect::right, nullptr, &Rect::left},
    {"HEIGHT", &Rect::bottom, nullptr, &Rect::top},
};

// A corner assignment whose value is not a point leaves the rectangle as it is.
bool applyRectCorner(const Arguments& args, const RectPart& part, Rect& r, CalcResult& result) {
    Point p;
    const ValueAccess access = queryOrSetPoint(args, part.keyword, &p);
    if (access == ValueAccess::kQuery) {
        Point corner;
        corner.h = r.*part.edge;
        corner.v = r.*part.cornerV;
        formatPointText(result, corner);
        return true;
    }
    if (access == ValueAccess::kAssign) {
        r.*part.edge = p.h;
        r.*part.cornerV = p.v;
    }
    return false;
}

// Applies one keyword to `r`. A query writes its answer to `result` and returns true.
// A width or height query is computed from the 16-bit values and may lie outside the
// 16-bit range; an assignment stores the low 16 bits.
bool applyRectPart(const Arguments& args, const RectPart& part, Rect& r, CalcResult& result) {
    if (part.cornerV != nullptr) {
        return applyRectCorner(args, part, r, result);
    }
    const int32_t origin = part.origin != nullptr ? r.*part.origin : 0;
    int32_t n = 0;
    const ValueAccess access = queryOrSetNumber(args, part.keyword, &n);
    if (access == ValueAccess::kQuery) {
        textAppendNumber(result, r.*part.edge - origin);
        return true;
    }
    if (access == ValueAccess::kAssign) {
        r.*part.edge = storeInt16(int64_t{origin} + n);
    }
    return false;
}

// OFFSET, INSET, UNION and INTERSECT, in this order, each only when its argument is usable.
Rect applyRectOperations(const Arguments& args, Rect r) {
    Point amount;
    if (readPointArg(args, "OFFSET", &amount)) {
        r = offsetRect(r, amount.h, amount.v);
    }
    int32_t both = 0;
    if (readPointArg(args, "INSET", &amount)) {
        r = insetRect(r, amount.h, amount.v);
    } else if (args.tagNumberChecked("INSET", &both)) {
        r = insetRect(r, both, both);
    }
    Rect other;
    if (readRectArg(args, "UNION", &other)) {
        // A rectangle that an inset emptied holds no pixels, so the union is the other one.
        r = isEmptyRect(r) ? other : unionRect(r, other);
    }
    if (readRectArg(args, "INTERSECT", &other)) {
        r = intersectRect(r, other);
    }
    return r;
}

// ---- CalcPoint ----

struct PointPart {
    const char* keyword;
    int16_t Point::*member;
};

constexpr PointPart kPointParts[] = {{"H", &Point::h}, {"V", &Point::v}};

// ---- CalcColor ----

struct ColorPart {
    const char* keyword;
    uint16_t Color::*member;
};

constexpr ColorPart kColorParts[] = {{"RED", &Color::red}, {"GREEN", &Color::green}, {"BLUE", &Color::blue}};

constexpr int32_t kMaxByte = 255;

// An assigned byte value is clamped to 0..255, not wrapped.
uint16_t componentFromAssignment(int32_t n) {
    return componentFromByte(static_cast<uint8_t>(std::clamp(n, int32_t{0}, kMaxByte)));
}

bool isPresent(const Arguments& args, const char* name) {
    return args.tagValue(name) != nullptr;
}

}  // namespace

Status calcRectHandler(Call& call) {
    const Arguments& args = call.args();
    Rect r;
    if (!readRectArg(args, "RECT", &r) && !readRectArgAt(args, 1, &r)) {
        return kParamErr;
    }
    CalcResult result;
    for (const RectPart& part : kRectParts) {
        if (applyRectPart(args, part, r, result)) {
            return answer(call, result);
        }
    }
    Rect outer;
    if (readRectArg(args, "INSIDE", &outer)) {
        return answerBool(call, !isEmptyRect(r) && rectWithin(r, outer));
    }
    if (!isEmptyRect(r)) {
        r = applyRectOperations(args, r);
    }
    if (isEmptyRect(r)) {
        r = Rect{};
    }
    formatRectText(result, r);
    return answer(call, result);
}

Status calcPointHandler(Call& call) {
    const Arguments& args = call.args();
    Point p;
    if (!readPointArg(args, "POINT", &p) && !readPointArgAt(args, 1, &p)) {
        return kParamErr;
    }
    for (const PointPart& part : kPointParts) {
        int32_t n = 0;
        const ValueAccess access = queryOrSetNumber(args, part.keyword, &n);
        if (access == ValueAccess::kQuery) {
            return answerNumber(call, p.*part.member);
        }
        if (access == ValueAccess::kAssign) {
            p.*part.member = storeInt16(n);
        }
    }
    Rect area;
    if (readRectArg(args, "INSIDE", &area)) {
        return answerBool(call, pointInRect(p, area));
    }
    Point amount;
    if (readPointArg(args, "ADD", &amount)) {
        p = addPoint(p, amount);
    }
    if (readPointArg(args, "SUB", &amount)) {
        p = subtractPoint(p, amount);
    }
    CalcResult result;
    formatPointText(result, p);
    return answer(call, result);
}

Status calcColorHandler(Call& call) {
    const Arguments& args = call.args();
    Color c;
    if (!readColorArg(args, "COLOR", &c) && !readColorArgAt(args, 1, &c)) {
        return kParamErr;
    }
    for (const ColorPart& part : kColorParts) {
        int32_t n = 0;
        const ValueAccess access = queryOrSetNumber(args, part.keyword, &n);
        if (access == ValueAccess::kQuery) {
            return answerNumber(call, byteOfComponent(c.*part.member));
        }
        if (access == ValueAccess::kAssign) {
            c.*part.member = componentFromAssignment(n);
        }
    }
    // Presence is enough: INVERT=FALSE inverts too.
    if (isPresent(args, "INVERT")) {
        c = invertColor(c);
    }
    if (isPresent(args, "LIGHTEN")) {
        c = lightenColor(c);
    }
    if (isPresent(args, "DARKEN")) {
        c = darkenColor(c);
    }
    if (isPresent(args, "SAMPLE3D") || isPresent(args, "SAMPLE")) {
        return kUnimplemented;
    }
    CalcResult result;
    formatColorText(result, c);
    return answer(call, result);
}

}  // namespace korvane
