#include "platform/media/fixed_matrix.h"

#include <cmath>
#include <limits>

namespace korvane::media {

namespace {

constexpr double kFixedScale = 65536.0;
constexpr double kFractScale = 1073741824.0;
constexpr double kPi = 3.14159265358979323846;
constexpr int kPerspectiveColumn = 2;

int32_t saturate(double value) {
    if (!(value == value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(std::llround(value));
}

bool fitsFixed(double value) {
    return value > -32768.0 && value < 32768.0;
}

double entryScale(int column) {
    return column == kPerspectiveColumn ? kFractScale : kFixedScale;
}

// The matrix as real numbers, so that products of the two formats need no special cases.
struct RealMatrix {
    double v[3][3];
};

RealMatrix toReal(const FixedMatrix& m) {
    RealMatrix r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.v[i][j] = m.m[i][j] / entryScale(j);
        }
    }
    return r;
}

FixedMatrix fromReal(const RealMatrix& r) {
    FixedMatrix m;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            m.m[i][j] = saturate(r.v[i][j] * entryScale(j));
        }
    }
    return m;
}

// Sine and cosine of a whole number of degrees in [0, 360), exact at the quarter turns so
// that RIGHT, LEFT and 180 move pixels exactly.
void sineCosine(double degrees, double& sine, double& cosine) {
    degrees = std::fmod(degrees, 360.0);
    if (degrees < 0) {
        degrees += 360.0;
    }
    if (degrees == 0) {
        sine = 0, cosine = 1;
    } else if (degrees == 90) {
        sine = 1, cosine = 0;
    } else if (degrees == 180) {
        sine = 0, cosine = -1;
    } else if (degrees == 270) {
        sine = -1, cosine = 0;
    } else {
        sine = std::sin(degrees * kPi / 180.0);
        cosine = std::cos(degrees * kPi / 180.0);
    }
}

}  // namespace

Fixed intToFixed(int32_t value) {
    return saturate(static_cast<double>(value) * kFixedScale);
}

Fixed fixedRatio(int32_t numerator, int32_t denominator) {
    if (denominator == 0) {
        return 0;
    }
    return saturate(static_cast<double>(numerator) * kFixedScale / denominator);
}

Fixed fixedMultiply(Fixed a, Fixed b) {
    return saturate(static_cast<double>(a) * static_cast<double>(b) / kFixedScale);
}

int32_t fixedRound(Fixed value) {
    return saturate(static_cast<double>(value) / kFixedScale);
}

bool FixedMatrix::isIdentity() const {
    return *this == FixedMatrix{};
}

bool FixedMatrix::isAffine() const {
    return m[0][2] == 0 && m[1][2] == 0 && m[2][2] == kFractOne;
}

bool FixedMatrix::isAxisAligned() const {
    return isAffine() && m[0][1] == 0 && m[1][0] == 0;
}

FixedMatrix concatMatrices(const FixedMatrix& first, const FixedMatrix& next) {
    RealMatrix a = toReal(first);
    RealMatrix b = toReal(next);
    RealMatrix r{};
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            r.v[i][j] = a.v[i][0] * b.v[0][j] + a.v[i][1] * b.v[1][j] + a.v[i][2] * b.v[2][j];
        }
    }
    return fromReal(r);
}

void FixedMatrix::concat(const FixedMatrix& next) {
    *this = concatMatrices(*this, next);
}

void FixedMatrix::translate(Fixed dx, Fixed dy) {
    FixedMatrix step;
    step.m[2][0] = dx;
    step.m[2][1] = dy;
    concat(step);
}

void FixedMatrix::scale(Fixed sx, Fixed sy, Fixed aboutX, Fixed aboutY) {
    RealMatrix step{};
    double px = aboutX / kFixedScale;
    double py = aboutY / kFixedScale;
    double fx = sx / kFixedScale;
    double fy = sy / kFixedScale;
    step.v[0][0] = fx;
    step.v[1][1] = fy;
    step.v[2][0] = px - px * fx;
    step.v[2][1] = py - py * fy;
    step.v[2][2] = 1;
    concat(fromReal(step));
}

void FixedMatrix::rotate(Fixed degrees, Fixed aboutX, Fixed aboutY) {
    double sine = 0;
    double cosine = 1;
    sineCosine(degrees / kFixedScale, sine, cosine);
    double px = aboutX / kFixedScale;
    double py = aboutY / kFixedScale;
    RealMatrix step{};
    step.v[0][0] = cosine;
    step.v[0][1] = sine;
    step.v[1][0] = -sine;
    step.v[1][1] = cosine;
    // The pivot stays where it is: p - p * R.
    step.v[2][0] = px - (px * cosine - py * sine);
    step.v[2][1] = py - (px * sine + py * cosine);
    step.v[2][2] = 1;
    concat(fromReal(step));
}

bool invertMatrix(const FixedMatrix& matrix, FixedMatrix& out) {
    if (!matrix.isAffine()) {
        return false;
    }
    AffineDouble f = toAffineDouble(matrix);
    double det = f.a * f.d - f.b * f.c;
    if (det == 0) {
        return false;
    }
    double a = f.d / det;
    double b = -f.b / det;
    double c = -f.c / det;
    double d = f.a / det;
    double tx = -(f.tx * a + f.ty * c);
    double ty = -(f.tx * b + f.ty * d);
    if (!fitsFixed(a) || !fitsFixed(b) || !fitsFixed(c) || !fitsFixed(d) || !fitsFixed(tx) || !fitsFixed(ty)) {
        return false;
    }
    RealMatrix r{{{a, b, 0}, {c, d, 0}, {tx, ty, 1}}};
    out = fromReal(r);
    return true;
}

bool rectToRectMatrix(const FixedRect& from, const FixedRect& to, FixedMatrix& out) {
    double fromWidth = (static_cast<double>(from.right) - from.left) / kFixedScale;
    double fromHeight = (static_cast<double>(from.bottom) - from.top) / kFixedScale;
    if (fromWidth <= 0 || fromHeight <= 0) {
        return false;
    }
    double sx = (static_cast<double>(to.right) - to.left) / kFixedScale / fromWidth;
    double sy = (static_cast<double>(to.bottom) - to.top) / kFixedScale / fromHeight;
    RealMatrix r{};
    r.v[0][0] = sx;
    r.v[1][1] = sy;
    r.v[2][0] = to.left / kFixedScale - from.left / kFixedScale * sx;
    r.v[2][1] = to.top / kFixedScale - from.top / kFixedScale * sy;
    r.v[2][2] = 1;
    out = fromReal(r);
    return true;
}

bool transformPoint(const FixedMatrix& matrix, Fixed& x, Fixed& y) {
    RealMatrix r = toReal(matrix);
    double px = x / kFixedScale;
    double py = y / kFixedScale;
    double w = px * r.v[0][2] + py * r.v[1][2] + r.v[2][2];
    if (w == 0) {
        return false;
    }
    double nx = (px * r.v[0][0] + py * r.v[1][0] + r.v[2][0]) / w;
    double ny = (px * r.v[0][1] + py * r.v[1][1] + r.v[2][1]) / w;
    if (!fitsFixed(nx) || !fitsFixed(ny)) {
        return false;
    }
    x = saturate(nx * kFixedScale);
    y = saturate(ny * kFixedScale);
    return true;
}

bool transformRect(const FixedMatrix& matrix, FixedRect& rect) {
    const Fixed xs[4] = {rect.left, rect.right, rect.left, rect.right};
    const Fixed ys[4] = {rect.top, rect.top, rect.bottom, rect.bottom};
    FixedRect box;
    for (int i = 0; i < 4; ++i) {
        Fixed x = xs[i];
        Fixed y = ys[i];
        if (!transformPoint(matrix, x, y)) {
            return false;
        }
        if (i == 0 || x < box.left) {
            box.left = x;
        }
        if (i == 0 || x > box.right) {
            box.right = x;
        }
        if (i == 0 || y < box.top) {
            box.top = y;
        }
        if (i == 0 || y > box.bottom) {
            box.bottom = y;
        }
    }
    rect = box;
    return true;
}

AffineDouble toAffineDouble(const FixedMatrix& matrix) {
    RealMatrix r = toReal(matrix);
    return AffineDouble{r.v[0][0], r.v[0][1], r.v[1][0], r.v[1][1], r.v[2][0], r.v[2][1]};
}

}  // namespace korvane::media
