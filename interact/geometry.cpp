#include "interact/geometry.h"

#include <algorithm>

#include "core/args.h"

namespace korvane {
namespace {

constexpr int kRectNumbers = 4;
constexpr int kPointNumbers = 2;

// Reads exactly `count` leading numbers of a number list; false when fewer are there.
bool readNumbers(const char* text, int32_t* numbers, int count) {
    if (text == nullptr) {
        return false;
    }
    return parseNumberList(text, numbers, count) == count;
}

bool readUsableRect(const char* text, Rect* out) {
    Rect r;
    if (!parseRectText(text, &r) || isEmptyRect(r)) {
        return false;
    }
    *out = r;
    return true;
}

ValueAccess classify(const Arguments& args, const char* keyword, const char** value) {
    *value = args.tagValue(keyword);
    if (*value == nullptr) {
        return ValueAccess::kNone;
    }
    return compareNoCase(*value, keyword) == 0 ? ValueAccess::kQuery : ValueAccess::kAssign;
}

}  // namespace

bool parseRectText(const char* text, Rect* out) {
    int32_t n[kRectNumbers];
    if (!readNumbers(text, n, kRectNumbers)) {
        return false;
    }
    out->left = storeInt16(n[0]);
    out->top = storeInt16(n[1]);
    out->right = storeInt16(n[2]);
    out->bottom = storeInt16(n[3]);
    return true;
}

bool parsePointText(const char* text, Point* out) {
    int32_t n[kPointNumbers];
    if (!readNumbers(text, n, kPointNumbers)) {
        return false;
    }
    out->h = storeInt16(n[0]);
    out->v = storeInt16(n[1]);
    return true;
}

bool readRectArg(const Arguments& args, const char* name, Rect* out) {
    return readUsableRect(args.tagValue(name), out);
}

bool readRectArgAt(const Arguments& args, int index, Rect* out) {
    return readUsableRect(args.argAt(index), out);
}

bool readPointArg(const Arguments& args, const char* name, Point* out) {
    return parsePointText(args.tagValue(name), out);
}

bool readPointArgAt(const Arguments& args, int index, Point* out) {
    return parsePointText(args.argAt(index), out);
}

void formatRectText(WorkingText& dst, const Rect& r) {
    textAppendNumber(dst, r.left);
    textAppend(dst, ",");
    textAppendNumber(dst, r.top);
    textAppend(dst, ",");
    textAppendNumber(dst, r.right);
    textAppend(dst, ",");
    textAppendNumber(dst, r.bottom);
}

void formatPointText(WorkingText& dst, const Point& p) {
    textAppendNumber(dst, p.h);
    textAppend(dst, ",");
    textAppendNumber(dst, p.v);
}

bool isEmptyRect(const Rect& r) {
    return r.right <= r.left || r.bottom <= r.top;
}

bool rectWithin(const Rect& a, const Rect& b) {
    return a.left >= b.left && a.right <= b.right && a.top >= b.top && a.bottom <= b.bottom;
}

// Sums are formed in 64 bits so that no 32-bit amount can overflow before the 16-bit store.
Rect offsetRect(const Rect& r, int32_t dh, int32_t dv) {
    Rect out;
    out.left = storeInt16(int64_t{r.left} + dh);
    out.right = storeInt16(int64_t{r.right} + dh);
    out.top = storeInt16(int64_t{r.top} + dv);
    out.bottom = storeInt16(int64_t{r.bottom} + dv);
    return out;
}

Rect insetRect(const Rect& r, int32_t dh, int32_t dv) {
    Rect out;
    out.left = storeInt16(int64_t{r.left} + dh);
    out.right = storeInt16(int64_t{r.right} - dh);
    out.top = storeInt16(int64_t{r.top} + dv);
    out.bottom = storeInt16(int64_t{r.bottom} - dv);
    return out;
}

Rect unionRect(const Rect& a, const Rect& b) {
    Rect out;
    out.top = std::min(a.top, b.top);
    out.left = std::min(a.left, b.left);
    out.bottom = std::max(a.bottom, b.bottom);
    out.right = std::max(a.right, b.right);
    return out;
}

Rect intersectRect(const Rect& a, const Rect& b) {
    Rect out;
    out.top = std::max(a.top, b.top);
    out.left = std::max(a.left, b.left);
    out.bottom = std::min(a.bottom, b.bottom);
    out.right = std::min(a.right, b.right);
    return out;
}

bool pointInRect(const Point& p, const Rect& r) {
    return r.left <= p.h && p.h < r.right && r.top <= p.v && p.v < r.bottom;
}

Point addPoint(const Point& a, const Point& b) {
    Point out;
    out.h = storeInt16(int64_t{a.h} + b.h);
    out.v = storeInt16(int64_t{a.v} + b.v);
    return out;
}

Point subtractPoint(const Point& a, const Point& b) {
    Point out;
    out.h = storeInt16(int64_t{a.h} - b.h);
    out.v = storeInt16(int64_t{a.v} - b.v);
    return out;
}

ValueAccess queryOrSetNumber(const Arguments& args, const char* keyword, int32_t* assigned) {
    const char* value = nullptr;
    const ValueAccess access = classify(args, keyword, &value);
    if (access == ValueAccess::kAssign) {
        *assigned = parseInteger(value);
    }
    return access;
}

ValueAccess queryOrSetPoint(const Arguments& args, const char* keyword, Point* assigned) {
    const char* value = nullptr;
    const ValueAccess access = classify(args, keyword, &value);
    if (access == ValueAccess::kAssign && !parsePointText(value, assigned)) {
        return ValueAccess::kNone;
    }
    return access;
}

}  // namespace korvane
