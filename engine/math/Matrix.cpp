#include "engine/math/Matrix.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "engine/Errors.h"

namespace engine::math {

namespace {

// Degrees to radians, as a single-precision factor (rotations are computed in float).
constexpr float DEG_TO_RAD = 0.017453292F;
// pi / 360: half the field of view in radians, applied in double precision.
constexpr double HALF_DEG_TO_RAD = 0.008726646259971648;

// Scratch shared by every function so that results may overwrite their inputs without
// allocating. Static storage, zero-initialised at load time; not reentrant.
struct Scratch {
    float rotation[32]; // R in the first half, m * R in the second
    float mmLhs[16];
    float mmRhs[16];
    float mmResult[16];
    float mvLhs[16];
    float mvRhs[4];
    float mvResult[4];
};
Scratch scratch;

constexpr std::size_t MATRIX_SIZE = 16;
constexpr std::size_t VECTOR_SIZE = 4;

[[noreturn, gnu::cold, gnu::noinline]] void throwOutOfRange(std::size_t arraySize, int offset,
                                                            std::size_t count) {
    throw OutOfRangeError("offset " + std::to_string(offset) + " with " + std::to_string(count) +
                          " elements is outside an array of " + std::to_string(arraySize));
}

// Returns a pointer to `count` elements at `offset`, after checking that they lie inside the
// array. Two integer comparisons on the fast path; the failure path is out of line.
template <typename T> inline T* at(std::span<T> array, int offset, std::size_t count) {
    if (offset < 0 || array.size() < static_cast<std::size_t>(offset) + count) [[unlikely]] {
        throwOutOfRange(array.size(), offset, count);
    }
    return array.data() + offset;
}

// r = lhs * rhs on raw storage. Column c of the result is computed from column c of rhs,
// which is read completely before the column is written: r may therefore be rhs, never lhs.
inline void multiply(float* r, const float* lhs, const float* rhs) {
    for (int c = 0; c < 4; ++c) {
        const float r0 = rhs[4 * c];
        const float r1 = rhs[4 * c + 1];
        const float r2 = rhs[4 * c + 2];
        const float r3 = rhs[4 * c + 3];
        for (int row = 0; row < 4; ++row) {
            r[4 * c + row] =
                lhs[row] * r0 + lhs[4 + row] * r1 + lhs[8 + row] * r2 + lhs[12 + row] * r3;
        }
    }
}

// The same product for three distinct arrays (the scratch), which lets the compiler keep
// whole columns in vector registers.
inline void multiplyDistinct(float* __restrict r, const float* __restrict lhs,
                             const float* __restrict rhs) {
    for (int c = 0; c < 4; ++c) {
        for (int row = 0; row < 4; ++row) {
            r[4 * c + row] = lhs[row] * rhs[4 * c] + lhs[4 + row] * rhs[4 * c + 1] +
                             lhs[8 + row] * rhs[4 * c + 2] + lhs[12 + row] * rhs[4 * c + 3];
        }
    }
}

inline void copy16(float* dest, const float* src) {
    std::memmove(dest, src, MATRIX_SIZE * sizeof(float));
}

// Elements 12..15 of m * T(x, y, z). Each reads only m[0..11] and its own old value, so tm
// may be m.
inline void translateColumn(float* tm, const float* m, float x, float y, float z) {
    for (int i = 0; i < 4; ++i) {
        tm[12 + i] = m[12 + i] + m[i] * x + m[4 + i] * y + m[8 + i] * z;
    }
}

} // namespace

void Matrix::setIdentityM(std::span<float> sm, int smOffset) {
    float* s = at(sm, smOffset, MATRIX_SIZE);
    for (std::size_t i = 0; i < MATRIX_SIZE; ++i) {
        s[i] = 0.0F;
    }
    s[0] = 1.0F;
    s[5] = 1.0F;
    s[10] = 1.0F;
    s[15] = 1.0F;
}

void Matrix::multiplyMM(std::span<float> result, int resultOffset, std::span<const float> lhs,
                        int lhsOffset, std::span<const float> rhs, int rhsOffset) {
    float* r = at(result, resultOffset, MATRIX_SIZE);
    const float* l = at(lhs, lhsOffset, MATRIX_SIZE);
    const float* h = at(rhs, rhsOffset, MATRIX_SIZE);
    copy16(scratch.mmLhs, l);
    copy16(scratch.mmRhs, h);
    multiplyDistinct(scratch.mmResult, scratch.mmLhs, scratch.mmRhs);
    copy16(r, scratch.mmResult);
}

void Matrix::multiplyMMInternal(std::span<float> r, std::span<const float> lhs,
                                std::span<const float> rhs) {
    multiply(at(r, 0, MATRIX_SIZE), at(lhs, 0, MATRIX_SIZE), at(rhs, 0, MATRIX_SIZE));
}

void Matrix::multiplyMV(std::span<float> resultVec, int resultVecOffset,
                        std::span<const float> lhsMat, int lhsMatOffset,
                        std::span<const float> rhsVec, int rhsVecOffset) {
    float* r = at(resultVec, resultVecOffset, VECTOR_SIZE);
    const float* m = at(lhsMat, lhsMatOffset, MATRIX_SIZE);
    const float* v = at(rhsVec, rhsVecOffset, VECTOR_SIZE);
    copy16(scratch.mvLhs, m);
    std::memmove(scratch.mvRhs, v, VECTOR_SIZE * sizeof(float));
    const float* sm = scratch.mvLhs;
    const float* sv = scratch.mvRhs;
    for (int row = 0; row < 4; ++row) {
        scratch.mvResult[row] =
            sm[row] * sv[0] + sm[4 + row] * sv[1] + sm[8 + row] * sv[2] + sm[12 + row] * sv[3];
    }
    std::memmove(r, scratch.mvResult, VECTOR_SIZE * sizeof(float));
}

void Matrix::transposeM(std::span<float> mTrans, int mTransOffset, std::span<const float> m,
                        int mOffset) {
    float* t = at(mTrans, mTransOffset, MATRIX_SIZE);
    const float* s = at(m, mOffset, MATRIX_SIZE);
    // Read everything first: costs nothing and keeps an overlapping call from mixing
    // transposed and original elements.
    float src[16];
    std::memcpy(src, s, sizeof(src));
    for (int i = 0; i < 4; ++i) {
        t[i] = src[4 * i];
        t[4 + i] = src[4 * i + 1];
        t[8 + i] = src[4 * i + 2];
        t[12 + i] = src[4 * i + 3];
    }
}

bool Matrix::invertM(std::span<float> mInv, int mInvOffset, std::span<const float> m, int mOffset) {
    float* out = at(mInv, mInvOffset, MATRIX_SIZE);
    const float* s = at(m, mOffset, MATRIX_SIZE);

    // a<row><col>, read completely before anything is written (mInv may be m).
    const float a00 = s[0], a10 = s[1], a20 = s[2], a30 = s[3];
    const float a01 = s[4], a11 = s[5], a21 = s[6], a31 = s[7];
    const float a02 = s[8], a12 = s[9], a22 = s[10], a32 = s[11];
    const float a03 = s[12], a13 = s[13], a23 = s[14], a33 = s[15];

    // 2x2 determinants of the top two rows (s*) and the bottom two rows (c*), shared by
    // the cofactors.
    const float s0 = a00 * a11 - a10 * a01;
    const float s1 = a00 * a12 - a10 * a02;
    const float s2 = a00 * a13 - a10 * a03;
    const float s3 = a01 * a12 - a11 * a02;
    const float s4 = a01 * a13 - a11 * a03;
    const float s5 = a02 * a13 - a12 * a03;
    const float c0 = a20 * a31 - a30 * a21;
    const float c1 = a20 * a32 - a30 * a22;
    const float c2 = a20 * a33 - a30 * a23;
    const float c3 = a21 * a32 - a31 * a22;
    const float c4 = a21 * a33 - a31 * a23;
    const float c5 = a22 * a33 - a32 * a23;

    // Adjugate b<row><col> (the transposed cofactors).
    const float b00 = a11 * c5 - a12 * c4 + a13 * c3;
    const float b01 = -a01 * c5 + a02 * c4 - a03 * c3;
    const float b02 = a31 * s5 - a32 * s4 + a33 * s3;
    const float b03 = -a21 * s5 + a22 * s4 - a23 * s3;
    const float b10 = -a10 * c5 + a12 * c2 - a13 * c1;
    const float b11 = a00 * c5 - a02 * c2 + a03 * c1;
    const float b12 = -a30 * s5 + a32 * s2 - a33 * s1;
    const float b13 = a20 * s5 - a22 * s2 + a23 * s1;
    const float b20 = a10 * c4 - a11 * c2 + a13 * c0;
    const float b21 = -a00 * c4 + a01 * c2 - a03 * c0;
    const float b22 = a30 * s4 - a31 * s2 + a33 * s0;
    const float b23 = -a20 * s4 + a21 * s2 - a23 * s0;
    const float b30 = -a10 * c3 + a11 * c1 - a12 * c0;
    const float b31 = a00 * c3 - a01 * c1 + a02 * c0;
    const float b32 = -a30 * s3 + a31 * s1 - a32 * s0;
    const float b33 = a20 * s3 - a21 * s1 + a22 * s0;

    // Expansion along the first row: its cofactors are the first column of the adjugate.
    const float det = a00 * b00 + a01 * b10 + a02 * b20 + a03 * b30;
    if (det == 0.0F) {
        return false;
    }

    out[0] = b00 / det;
    out[1] = b10 / det;
    out[2] = b20 / det;
    out[3] = b30 / det;
    out[4] = b01 / det;
    out[5] = b11 / det;
    out[6] = b21 / det;
    out[7] = b31 / det;
    out[8] = b02 / det;
    out[9] = b12 / det;
    out[10] = b22 / det;
    out[11] = b32 / det;
    out[12] = b03 / det;
    out[13] = b13 / det;
    out[14] = b23 / det;
    out[15] = b33 / det;
    return true;
}

void Matrix::scaleM(std::span<float> sm, int smOffset, std::span<const float> m, int mOffset,
                    float x, float y, float z) {
    float* d = at(sm, smOffset, MATRIX_SIZE);
    const float* s = at(m, mOffset, MATRIX_SIZE);
    for (int i = 0; i < 4; ++i) {
        d[i] = s[i] * x;
        d[4 + i] = s[4 + i] * y;
        d[8 + i] = s[8 + i] * z;
        d[12 + i] = s[12 + i];
    }
}

void Matrix::scaleM(std::span<float> m, int mOffset, float x, float y, float z) {
    float* d = at(m, mOffset, MATRIX_SIZE);
    for (int i = 0; i < 4; ++i) {
        d[i] *= x;
        d[4 + i] *= y;
        d[8 + i] *= z;
    }
}

void Matrix::translateM(std::span<float> tm, int tmOffset, std::span<const float> m, int mOffset,
                        float x, float y, float z) {
    float* d = at(tm, tmOffset, MATRIX_SIZE);
    const float* s = at(m, mOffset, MATRIX_SIZE);
    // Everything is read before anything is written, so overlapping regions come out right.
    float column[4];
    for (int i = 0; i < 4; ++i) {
        column[i] = s[12 + i] + s[i] * x + s[4 + i] * y + s[8 + i] * z;
    }
    std::memmove(d, s, 12 * sizeof(float));
    std::memcpy(d + 12, column, sizeof(column));
}

void Matrix::translateM(std::span<float> m, int mOffset, float x, float y, float z) {
    float* d = at(m, mOffset, MATRIX_SIZE);
    translateColumn(d, d, x, y, z);
}

void Matrix::setRotateM(std::span<float> rm, int rmOffset, float a, float x, float y, float z) {
    float* r = at(rm, rmOffset, MATRIX_SIZE);
    r[3] = 0.0F;
    r[7] = 0.0F;
    r[11] = 0.0F;
    r[12] = 0.0F;
    r[13] = 0.0F;
    r[14] = 0.0F;
    r[15] = 1.0F;
    const float radians = a * DEG_TO_RAD;
    const float s = std::sin(radians);
    const float c = std::cos(radians);
    // The principal axes are written directly, so that their zeros stay exact.
    if (x == 1.0F && y == 0.0F && z == 0.0F) {
        r[5] = c;
        r[10] = c;
        r[6] = s;
        r[9] = -s;
        r[1] = 0.0F;
        r[2] = 0.0F;
        r[4] = 0.0F;
        r[8] = 0.0F;
        r[0] = 1.0F;
    } else if (x == 0.0F && y == 1.0F && z == 0.0F) {
        r[0] = c;
        r[10] = c;
        r[8] = s;
        r[2] = -s;
        r[1] = 0.0F;
        r[4] = 0.0F;
        r[6] = 0.0F;
        r[9] = 0.0F;
        r[5] = 1.0F;
    } else if (x == 0.0F && y == 0.0F && z == 1.0F) {
        r[0] = c;
        r[5] = c;
        r[1] = s;
        r[4] = -s;
        r[2] = 0.0F;
        r[6] = 0.0F;
        r[8] = 0.0F;
        r[9] = 0.0F;
        r[10] = 1.0F;
    } else {
        const float len = length(x, y, z);
        if (len != 1.0F) {
            // A zero axis gives 0/0: NaN elements, by design no failure.
            x /= len;
            y /= len;
            z /= len;
        }
        const float nc = 1.0F - c;
        const float xy = x * y;
        const float yz = y * z;
        const float zx = z * x;
        const float xs = x * s;
        const float ys = y * s;
        const float zs = z * s;
        r[0] = x * x * nc + c;
        r[4] = xy * nc - zs;
        r[8] = zx * nc + ys;
        r[1] = xy * nc + zs;
        r[5] = y * y * nc + c;
        r[9] = yz * nc - xs;
        r[2] = zx * nc - ys;
        r[6] = yz * nc + xs;
        r[10] = z * z * nc + c;
    }
}

namespace {
// d = s * R(a, x, y, z): R in the first half of the rotation scratch, the product in the
// second, then copied out, so d may be s.
void rotateThroughScratch(float* d, const float* s, float a, float x, float y, float z) {
    Matrix::setRotateM(scratch.rotation, 0, a, x, y, z);
    multiplyDistinct(scratch.rotation + 16, s, scratch.rotation);
    copy16(d, scratch.rotation + 16);
}
} // namespace

void Matrix::rotateM(std::span<float> rm, int rmOffset, std::span<const float> m, int mOffset,
                     float a, float x, float y, float z) {
    float* d = at(rm, rmOffset, MATRIX_SIZE);
    const float* s = at(m, mOffset, MATRIX_SIZE);
    rotateThroughScratch(d, s, a, x, y, z);
}

void Matrix::rotateM(std::span<float> m, int mOffset, float a, float x, float y, float z) {
    float* d = at(m, mOffset, MATRIX_SIZE);
    rotateThroughScratch(d, d, a, x, y, z);
}

void Matrix::setRotateEulerM(std::span<float> rm, int rmOffset, float x, float y, float z) {
    float* r = at(rm, rmOffset, MATRIX_SIZE);
    const float ax = x * DEG_TO_RAD;
    const float ay = y * DEG_TO_RAD;
    const float az = z * DEG_TO_RAD;
    const float cx = std::cos(ax);
    const float sx = std::sin(ax);
    const float cy = std::cos(ay);
    const float sy = std::sin(ay);
    const float cz = std::cos(az);
    const float sz = std::sin(az);
    const float cxsy = cx * sy;
    const float sxsy = sx * sy;
    // Columns 1 and 2 pair sx*sy with the x cosine terms and cx*sy with the x sine terms;
    // pairing them the other way round gives a matrix that is not a rotation.
    r[0] = cy * cz;
    r[1] = -cy * sz;
    r[2] = sy;
    r[3] = 0.0F;
    r[4] = sxsy * cz + cx * sz;
    r[5] = cx * cz - sxsy * sz;
    r[6] = -sx * cy;
    r[7] = 0.0F;
    r[8] = sx * sz - cxsy * cz;
    r[9] = cxsy * sz + sx * cz;
    r[10] = cx * cy;
    r[11] = 0.0F;
    r[12] = 0.0F;
    r[13] = 0.0F;
    r[14] = 0.0F;
    r[15] = 1.0F;
}

void Matrix::frustumM(std::span<float> m, int offset, float left, float right, float bottom,
                      float top, float near, float far) {
    float* d = at(m, offset, MATRIX_SIZE);
    if (left == right) {
        throw InvalidArgumentError("left == right");
    }
    if (top == bottom) {
        throw InvalidArgumentError("top == bottom");
    }
    if (near == far) {
        throw InvalidArgumentError("near == far");
    }
    if (near <= 0.0F) {
        throw InvalidArgumentError("near <= 0.0f");
    }
    if (far <= 0.0F) {
        throw InvalidArgumentError("far <= 0.0f");
    }
    const float w = 1.0F / (right - left);
    const float h = 1.0F / (top - bottom);
    const float dz = 1.0F / (near - far);
    for (std::size_t i = 0; i < MATRIX_SIZE; ++i) {
        d[i] = 0.0F;
    }
    d[0] = 2.0F * near * w;
    d[5] = 2.0F * near * h;
    d[8] = (right + left) * w;
    d[9] = (top + bottom) * h;
    d[10] = (far + near) * dz;
    d[11] = -1.0F;
    d[14] = 2.0F * far * near * dz;
}

void Matrix::perspectiveM(std::span<float> m, int offset, float fovy, float aspect, float zNear,
                          float zFar) {
    float* d = at(m, offset, MATRIX_SIZE);
    const auto t = static_cast<float>(std::tan(static_cast<double>(fovy) * HALF_DEG_TO_RAD));
    const float f = 1.0F / t;
    const float r = 1.0F / (zNear - zFar);
    for (std::size_t i = 0; i < MATRIX_SIZE; ++i) {
        d[i] = 0.0F;
    }
    d[0] = f / aspect;
    d[5] = f;
    d[10] = (zFar + zNear) * r;
    d[11] = -1.0F;
    d[14] = 2.0F * zFar * zNear * r;
}

void Matrix::orthoM(std::span<float> m, int mOffset, float left, float right, float bottom,
                    float top, float near, float far) {
    float* d = at(m, mOffset, MATRIX_SIZE);
    if (left == right) {
        throw InvalidArgumentError("left == right");
    }
    if (bottom == top) {
        throw InvalidArgumentError("bottom == top");
    }
    if (near == far) {
        throw InvalidArgumentError("near == far");
    }
    const float w = 1.0F / (right - left);
    const float h = 1.0F / (top - bottom);
    const float dz = 1.0F / (far - near);
    for (std::size_t i = 0; i < MATRIX_SIZE; ++i) {
        d[i] = 0.0F;
    }
    d[0] = 2.0F * w;
    d[5] = 2.0F * h;
    d[10] = -2.0F * dz;
    d[12] = -(right + left) * w;
    d[13] = -(top + bottom) * h;
    d[14] = -(far + near) * dz;
    d[15] = 1.0F;
}

void Matrix::setLookAtM(std::span<float> rm, int rmOffset, float eyeX, float eyeY, float eyeZ,
                        float centerX, float centerY, float centerZ, float upX, float upY,
                        float upZ) {
    float* r = at(rm, rmOffset, MATRIX_SIZE);

    float fx = centerX - eyeX;
    float fy = centerY - eyeY;
    float fz = centerZ - eyeZ;
    const float rlf = 1.0F / length(fx, fy, fz);
    fx *= rlf;
    fy *= rlf;
    fz *= rlf;

    float sx = fy * upZ - fz * upY;
    float sy = fz * upX - fx * upZ;
    float sz = fx * upY - fy * upX;
    const float rls = 1.0F / length(sx, sy, sz);
    sx *= rls;
    sy *= rls;
    sz *= rls;

    // Unit already: s and f are orthonormal.
    const float ux = sy * fz - sz * fy;
    const float uy = sz * fx - sx * fz;
    const float uz = sx * fy - sy * fx;

    r[0] = sx;
    r[1] = ux;
    r[2] = -fx;
    r[3] = 0.0F;
    r[4] = sy;
    r[5] = uy;
    r[6] = -fy;
    r[7] = 0.0F;
    r[8] = sz;
    r[9] = uz;
    r[10] = -fz;
    r[11] = 0.0F;
    r[12] = 0.0F;
    r[13] = 0.0F;
    r[14] = 0.0F;
    r[15] = 1.0F;
    translateColumn(r, r, -eyeX, -eyeY, -eyeZ);
}

float Matrix::length(float x, float y, float z) {
    return std::sqrt(x * x + y * y + z * z);
}

void Matrix::arraycopy(std::span<const float> src, int srcPos, std::span<float> dest, int destPos,
                       int length) {
    const auto fits = [length](std::size_t size, int pos) {
        return pos >= 0 &&
               static_cast<std::int64_t>(pos) + length <= static_cast<std::int64_t>(size);
    };
    if (length < 0 || !fits(src.size(), srcPos) || !fits(dest.size(), destPos)) {
        throw OutOfRangeError("arraycopy: length " + std::to_string(length) + " from " +
                              std::to_string(srcPos) + " of " + std::to_string(src.size()) +
                              " to " + std::to_string(destPos) + " of " +
                              std::to_string(dest.size()));
    }
    if (length > 0) {
        std::memmove(dest.data() + destPos, src.data() + srcPos,
                     static_cast<std::size_t>(length) * sizeof(float));
    }
}

} // namespace engine::math
