#pragma once
// Rectangles and points: 16-bit records, their texts (left,top,right,bottom and h,v),
// their arithmetic, and the query-or-assign convention of the calculation functions.
//
// Pixel coordinates: h grows to the right, v downwards. A Rect covers the pixels
// (x, y) with left <= x < right and top <= y < bottom.

#include <cstdint>

#include "core/args.h"
#include "core/result_text.h"

namespace korvane {

// Record order is top, left, bottom, right; the text order is left, top, right, bottom.
struct Rect {
    int16_t top = 0;
    int16_t left = 0;
    int16_t bottom = 0;
    int16_t right = 0;

    friend bool operator==(const Rect&, const Rect&) = default;
};

// Record order is v, h; the text order is h, v.
struct Point {
    int16_t v = 0;
    int16_t h = 0;

    friend bool operator==(const Point&, const Point&) = default;
};

// The storage rule of every coordinate: the low 16 bits of a value, taken as signed.
constexpr int16_t storeInt16(int64_t value) {
    return static_cast<int16_t>(static_cast<uint16_t>(static_cast<uint64_t>(value) & 0xFFFFu));
}

// ---- Texts ----

// A rectangle text: at least 4 numbers of the number-list rule (more are ignored).
// Emptiness is not tested. On failure `out` is left as it was.
bool parseRectText(const char* text, Rect* out);
// A point text: at least 2 numbers (h, then v).
bool parsePointText(const char* text, Point* out);

// The named argument as a rectangle: present, 4 numbers and not empty.
bool readRectArg(const Arguments& args, const char* name, Rect* out);
// The same for positional argument `index` (from 1, named tokens included).
bool readRectArgAt(const Arguments& args, int index, Rect* out);
// The named argument as a point: present and 2 numbers.
bool readPointArg(const Arguments& args, const char* name, Point* out);
bool readPointArgAt(const Arguments& args, int index, Point* out);

// Appends left,top,right,bottom (no blanks).
void formatRectText(WorkingText& dst, const Rect& r);
// Appends h,v (no blanks).
void formatPointText(WorkingText& dst, const Point& p);

// ---- Arithmetic (every result stored back in 16 bits) ----

bool isEmptyRect(const Rect& r);
// Whether a lies within b, edges included; emptiness is not tested.
bool rectWithin(const Rect& a, const Rect& b);
Rect offsetRect(const Rect& r, int32_t dh, int32_t dv);
// Moves left and top in by dh and dv, right and bottom in by the same; negative amounts enlarge.
Rect insetRect(const Rect& r, int32_t dh, int32_t dv);
// The smallest rectangle holding both (the rectangles' emptiness is not looked at).
Rect unionRect(const Rect& a, const Rect& b);
// The overlap of both; empty (right <= left or bottom <= top) when they do not overlap.
Rect intersectRect(const Rect& a, const Rect& b);
bool pointInRect(const Point& p, const Rect& r);
Point addPoint(const Point& a, const Point& b);
Point subtractPoint(const Point& a, const Point& b);

// ---- Query or assign ----

// What a keyword of a calculation function asks for: absent, a query (the bare keyword,
// or a value equal to the keyword without regard to ASCII case), or an assignment.
enum class ValueAccess { kNone, kQuery, kAssign };

// An assignment's value is read with parseInteger, unchecked (a non-number assigns 0);
// `assigned` is set for kAssign only.
ValueAccess queryOrSetNumber(const Arguments& args, const char* keyword, int32_t* assigned);
// An assignment's value is read as a point text; one that is not a point answers kNone.
ValueAccess queryOrSetPoint(const Arguments& args, const char* keyword, Point* assigned);

}  // namespace korvane
