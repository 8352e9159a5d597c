// 4x4 matrices for row vectors (v * M, translation in the fourth row) in a
// left-handed world, with the view, projection and picking helpers the
// renderer, camera and terrain share.
#pragma once

#include "platform/math/Vector.h"

struct Quaternion;

struct Matrix {
    float m[4][4] = {};

    static Matrix Identity();
    Matrix operator*(const Matrix& o) const;
};

struct Viewport {
    float x = 0.0f;
    float y = 0.0f;
    float width = 1024.0f;
    float height = 768.0f;
    float minZ = 0.0f;
    float maxZ = 1.0f;
};

Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float x, float y, float z);
Matrix MatrixRotationX(float angle);
Matrix MatrixRotationY(float angle);
Matrix MatrixRotationZ(float angle);
// The axis need not be unit length. A zero axis gives the identity: a body
// with no spin axis does not turn (a plain normalisation would shrink it).
Matrix MatrixRotationAxis(const Vec3& axis, float angle);
Matrix MatrixRotationQuaternion(const Quaternion& q);
Matrix MatrixTranspose(const Matrix& a);
// False (and the identity) when the matrix is singular.
bool MatrixInverse(const Matrix& a, Matrix& inverse);
Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up);
Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar);
Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar);

// Full transform with the divide by w.
Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m);
// Direction transform: the translation row is ignored.
Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m);
Vec4 Vec3Transform(const Vec3& v, const Matrix& m);

// World point to screen pixels (z in the viewport's depth range) and back.
Vec3 Vec3Project(const Vec3& v, const Viewport& viewport, const Matrix& projection, const Matrix& view,
                 const Matrix& world);
Vec3 Vec3Unproject(const Vec3& screen, const Viewport& viewport, const Matrix& projection, const Matrix& view,
                   const Matrix& world);

// Ray against triangle (both faces). On a hit gives the barycentric u, v of
// the point (p0 + u (p1 - p0) + v (p2 - p0)) and its distance along dir
// in units of |dir|.
bool IntersectTriangle(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& rayOrigin, const Vec3& rayDir,
                       float& u, float& v, float& distance);
