#pragma once
// 3x3 matrices of 16.16 fixed values, as the media platform keeps an image's placement.
//
// A point (x, y) is a row vector [x y 1] multiplied by the matrix:
//   x' = (x * m[0][0] + y * m[1][0] + m[2][0]) / w
//   y' = (x * m[0][1] + y * m[1][1] + m[2][1]) / w,   w = x * m[0][2] + y * m[1][2] + m[2][2]
// m[0][0], m[0][1], m[1][0], m[1][1], m[2][0] and m[2][1] are 16.16 values; the last column
// (m[0][2], m[1][2], m[2][2]) holds 2.30 values, so the identity has 1 << 30 in m[2][2].
// Coordinates grow right and down; a positive angle turns clockwise on screen.
//
// Every operation saturates instead of wrapping: a product that leaves the 16.16 range
// becomes the largest value of its sign, and isAffine()/invert() let callers refuse
// what they cannot use.

#include <cstdint>

#include "platform/media/bitmap.h"

namespace korvane::media {

inline constexpr int32_t kFractOne = 1 << 30;  // 1.0 in the 2.30 column

// Integer to 16.16, saturated; the ratio a / b as 16.16, rounded, saturated (0 when b is 0).
Fixed intToFixed(int32_t value);
Fixed fixedRatio(int32_t numerator, int32_t denominator);
Fixed fixedMultiply(Fixed a, Fixed b);
// 16.16 to the nearest integer (halves away from zero).
int32_t fixedRound(Fixed value);

struct FixedRect {
    Fixed left = 0;
    Fixed top = 0;
    Fixed right = 0;
    Fixed bottom = 0;
    friend bool operator==(const FixedRect&, const FixedRect&) = default;
};

struct FixedMatrix {
    int32_t m[3][3] = {{kFixedOne, 0, 0}, {0, kFixedOne, 0}, {0, 0, kFractOne}};

    static FixedMatrix identity() { return FixedMatrix{}; }
    bool isIdentity() const;
    // No perspective: the last column is 0, 0, 1.
    bool isAffine() const;
    // Affine, and only scale and translation (no rotation or shear).
    bool isAxisAligned() const;

    // Each of these applies a further step after the matrix so far.
    void translate(Fixed dx, Fixed dy);
    void scale(Fixed sx, Fixed sy, Fixed aboutX, Fixed aboutY);
    // Clockwise on screen by degrees (16.16, any value) about a point. Quarter turns are exact.
    void rotate(Fixed degrees, Fixed aboutX, Fixed aboutY);
    // This matrix followed by next.
    void concat(const FixedMatrix& next);

    friend bool operator==(const FixedMatrix&, const FixedMatrix&) = default;
};

// The matrix followed by next (first maps points, then next maps the result).
FixedMatrix concatMatrices(const FixedMatrix& first, const FixedMatrix& next);
// The inverse of an affine matrix; false (out untouched) when it is singular, not affine,
// or an entry of the inverse does not fit 16.16.
bool invertMatrix(const FixedMatrix& matrix, FixedMatrix& out);
// The matrix that maps from onto to (scale each axis, then translate); false when from is empty.
bool rectToRectMatrix(const FixedRect& from, const FixedRect& to, FixedMatrix& out);
// Maps a point; false when the point goes to infinity (perspective w of 0) or leaves 16.16.
bool transformPoint(const FixedMatrix& matrix, Fixed& x, Fixed& y);
// The bounding box of the four mapped corners; false as for transformPoint.
bool transformRect(const FixedMatrix& matrix, FixedRect& rect);

// The matrix as doubles (a, b, c, d, tx, ty of an affine map), for code that needs more
// range than 16.16 while it plans a drawing.
struct AffineDouble {
    double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;  // x' = a x + c y + tx, y' = b x + d y + ty
};
AffineDouble toAffineDouble(const FixedMatrix& matrix);

}  // namespace korvane::media
