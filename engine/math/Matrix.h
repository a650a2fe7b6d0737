#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace engine::math {

// 4x4 single-precision matrices stored column-major as 16 consecutive floats inside a float
// array, starting at an offset: element (row r, column c) is at offset + 4c + r. Every
// function takes each matrix as (array, offset) and checks that the 16 (or 4) elements lie
// inside the array, failing with OutOfRangeError otherwise; nothing reads past a buffer.
//
// The functions are static members sharing one set of scratch arrays, allocated once with
// the process, so that results may overwrite their inputs without allocating. That makes
// them non-reentrant: call them from one thread at a time (the engine runs on one).
class Matrix {
  public:
    Matrix() = delete;

    static void setIdentityM(std::span<float> sm, int smOffset);
    static void multiplyMM(std::span<float> result, int resultOffset, std::span<const float> lhs,
                           int lhsOffset, std::span<const float> rhs, int rhsOffset);
    // r = lhs * rhs, all at offset 0, without scratch; r must not alias lhs (it may alias rhs).
    static void multiplyMMInternal(std::span<float> r, std::span<const float> lhs,
                                   std::span<const float> rhs);
    static void multiplyMV(std::span<float> resultVec, int resultVecOffset,
                           std::span<const float> lhsMat, int lhsMatOffset,
                           std::span<const float> rhsVec, int rhsVecOffset);
    static void transposeM(std::span<float> mTrans, int mTransOffset, std::span<const float> m,
                           int mOffset);
    static bool invertM(std::span<float> mInv, int mInvOffset, std::span<const float> m,
                        int mOffset);
    static void scaleM(std::span<float> sm, int smOffset, std::span<const float> m, int mOffset,
                       float x, float y, float z);
    static void scaleM(std::span<float> m, int mOffset, float x, float y, float z);
    static void translateM(std::span<float> tm, int tmOffset, std::span<const float> m, int mOffset,
                           float x, float y, float z);
    static void translateM(std::span<float> m, int mOffset, float x, float y, float z);
    static void setRotateM(std::span<float> rm, int rmOffset, float a, float x, float y, float z);
    static void rotateM(std::span<float> rm, int rmOffset, std::span<const float> m, int mOffset,
                        float a, float x, float y, float z);
    static void rotateM(std::span<float> m, int mOffset, float a, float x, float y, float z);
    static void setRotateEulerM(std::span<float> rm, int rmOffset, float x, float y, float z);
    static void frustumM(std::span<float> m, int offset, float left, float right, float bottom,
                         float top, float near, float far);
    static void perspectiveM(std::span<float> m, int offset, float fovy, float aspect, float zNear,
                             float zFar);
    static void orthoM(std::span<float> m, int mOffset, float left, float right, float bottom,
                       float top, float near, float far);
    static void setLookAtM(std::span<float> rm, int rmOffset, float eyeX, float eyeY, float eyeZ,
                           float centerX, float centerY, float centerZ, float upX, float upY,
                           float upZ);
    static float length(float x, float y, float z);
    static constexpr std::int32_t I(std::int32_t i, std::int32_t j) { return 4 * i + j; }
    // Copies length floats; correct for overlapping regions. Checks every bound first.
    static void arraycopy(std::span<const float> src, int srcPos, std::span<float> dest,
                          int destPos, int length);
};

} // namespace engine::math
