// Matrix and quaternion arithmetic with the row-vector, left-handed formulas.
#include "platform/math/Matrix.h"

#include "platform/math/Quaternion.h"

#include <cmath>

Matrix Matrix::Identity()
{
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        r.m[i][i] = 1.0f;
    }
    return r;
}

Matrix Matrix::operator*(const Matrix& o) const
{
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j] + m[i][3] * o.m[3][j];
        }
    }
    return r;
}

Matrix MatrixTranslation(float x, float y, float z)
{
    Matrix r = Matrix::Identity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix MatrixScaling(float x, float y, float z)
{
    Matrix r = Matrix::Identity();
    r.m[0][0] = x;
    r.m[1][1] = y;
    r.m[2][2] = z;
    return r;
}

Matrix MatrixRotationX(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r = Matrix::Identity();
    r.m[1][1] = c;
    r.m[1][2] = s;
    r.m[2][1] = -s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixRotationY(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r = Matrix::Identity();
    r.m[0][0] = c;
    r.m[0][2] = -s;
    r.m[2][0] = s;
    r.m[2][2] = c;
    return r;
}

Matrix MatrixRotationZ(float angle)
{
    const float c = std::cos(angle);
    const float s = std::sin(angle);
    Matrix r = Matrix::Identity();
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    return r;
}

Matrix MatrixRotationAxis(const Vec3& axis, float angle)
{
    return MatrixRotationQuaternion(QuaternionRotationAxis(axis, angle));
}

Matrix MatrixRotationQuaternion(const Quaternion& q)
{
    Matrix r = Matrix::Identity();
    r.m[0][0] = 1.0f - 2.0f * (q.y * q.y + q.z * q.z);
    r.m[0][1] = 2.0f * (q.x * q.y + q.z * q.w);
    r.m[0][2] = 2.0f * (q.x * q.z - q.y * q.w);
    r.m[1][0] = 2.0f * (q.x * q.y - q.z * q.w);
    r.m[1][1] = 1.0f - 2.0f * (q.x * q.x + q.z * q.z);
    r.m[1][2] = 2.0f * (q.y * q.z + q.x * q.w);
    r.m[2][0] = 2.0f * (q.x * q.z + q.y * q.w);
    r.m[2][1] = 2.0f * (q.y * q.z - q.x * q.w);
    r.m[2][2] = 1.0f - 2.0f * (q.x * q.x + q.y * q.y);
    return r;
}

Matrix MatrixTranspose(const Matrix& a)
{
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[j][i];
        }
    }
    return r;
}

bool MatrixInverse(const Matrix& a, Matrix& inverse)
{
    // Gauss-Jordan elimination with partial pivoting, in double precision.
    double work[4][8] = {};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            work[i][j] = a.m[i][j];
        }
        work[i][4 + i] = 1.0;
    }
    for (int column = 0; column < 4; ++column) {
        int pivot = column;
        for (int row = column + 1; row < 4; ++row) {
            if (std::fabs(work[row][column]) > std::fabs(work[pivot][column])) {
                pivot = row;
            }
        }
        if (std::fabs(work[pivot][column]) < 1e-12) {
            inverse = Matrix::Identity();
            return false;
        }
        for (int j = 0; j < 8; ++j) {
            std::swap(work[column][j], work[pivot][j]);
        }
        const double scale = 1.0 / work[column][column];
        for (int j = 0; j < 8; ++j) {
            work[column][j] *= scale;
        }
        for (int row = 0; row < 4; ++row) {
            if (row == column) {
                continue;
            }
            const double factor = work[row][column];
            for (int j = 0; j < 8; ++j) {
                work[row][j] -= factor * work[column][j];
            }
        }
    }
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            inverse.m[i][j] = static_cast<float>(work[i][4 + j]);
        }
    }
    return true;
}

Matrix MatrixLookAtLH(const Vec3& eye, const Vec3& at, const Vec3& up)
{
    const Vec3 zAxis = Vec3Normalize(at - eye);
    const Vec3 xAxis = Vec3Normalize(Vec3Cross(up, zAxis));
    const Vec3 yAxis = Vec3Cross(zAxis, xAxis);
    Matrix r = Matrix::Identity();
    r.m[0][0] = xAxis.x;
    r.m[1][0] = xAxis.y;
    r.m[2][0] = xAxis.z;
    r.m[0][1] = yAxis.x;
    r.m[1][1] = yAxis.y;
    r.m[2][1] = yAxis.z;
    r.m[0][2] = zAxis.x;
    r.m[1][2] = zAxis.y;
    r.m[2][2] = zAxis.z;
    r.m[3][0] = -Vec3Dot(xAxis, eye);
    r.m[3][1] = -Vec3Dot(yAxis, eye);
    r.m[3][2] = -Vec3Dot(zAxis, eye);
    return r;
}

Matrix MatrixPerspectiveFovLH(float fovY, float aspect, float zNear, float zFar)
{
    const float yScale = 1.0f / std::tan(fovY / 2.0f);
    const float xScale = yScale / aspect;
    Matrix r;
    r.m[0][0] = xScale;
    r.m[1][1] = yScale;
    r.m[2][2] = zFar / (zFar - zNear);
    r.m[2][3] = 1.0f;
    r.m[3][2] = -zNear * zFar / (zFar - zNear);
    return r;
}

Matrix MatrixOrthoOffCenterLH(float left, float right, float bottom, float top, float zNear, float zFar)
{
    Matrix r = Matrix::Identity();
    r.m[0][0] = 2.0f / (right - left);
    r.m[1][1] = 2.0f / (top - bottom);
    r.m[2][2] = 1.0f / (zFar - zNear);
    r.m[3][0] = (left + right) / (left - right);
    r.m[3][1] = (top + bottom) / (bottom - top);
    r.m[3][2] = zNear / (zNear - zFar);
    return r;
}

Vec4 Vec3Transform(const Vec3& v, const Matrix& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0] + m.m[3][0],
            v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1] + m.m[3][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2] + m.m[3][2],
            v.x * m.m[0][3] + v.y * m.m[1][3] + v.z * m.m[2][3] + m.m[3][3]};
}

Vec3 Vec3TransformCoord(const Vec3& v, const Matrix& m)
{
    const Vec4 r = Vec3Transform(v, m);
    const float w = r.w != 0.0f ? r.w : 1.0f;
    return {r.x / w, r.y / w, r.z / w};
}

Vec3 Vec3TransformNormal(const Vec3& v, const Matrix& m)
{
    return {v.x * m.m[0][0] + v.y * m.m[1][0] + v.z * m.m[2][0], v.x * m.m[0][1] + v.y * m.m[1][1] + v.z * m.m[2][1],
            v.x * m.m[0][2] + v.y * m.m[1][2] + v.z * m.m[2][2]};
}

Vec3 Vec3Project(const Vec3& v, const Viewport& viewport, const Matrix& projection, const Matrix& view,
                 const Matrix& world)
{
    const Vec3 clip = Vec3TransformCoord(v, world * view * projection);
    return {viewport.x + (1.0f + clip.x) * viewport.width / 2.0f, viewport.y + (1.0f - clip.y) * viewport.height / 2.0f,
            viewport.minZ + clip.z * (viewport.maxZ - viewport.minZ)};
}

Vec3 Vec3Unproject(const Vec3& screen, const Viewport& viewport, const Matrix& projection, const Matrix& view,
                   const Matrix& world)
{
    Matrix inverse;
    MatrixInverse(world * view * projection, inverse);
    const float depthRange = viewport.maxZ - viewport.minZ;
    const Vec3 clip{2.0f * (screen.x - viewport.x) / viewport.width - 1.0f,
                    1.0f - 2.0f * (screen.y - viewport.y) / viewport.height,
                    depthRange != 0.0f ? (screen.z - viewport.minZ) / depthRange : 0.0f};
    return Vec3TransformCoord(clip, inverse);
}

bool IntersectTriangle(const Vec3& p0, const Vec3& p1, const Vec3& p2, const Vec3& rayOrigin, const Vec3& rayDir,
                       float& u, float& v, float& distance)
{
    // Moller-Trumbore.
    const Vec3 edge1 = p1 - p0;
    const Vec3 edge2 = p2 - p0;
    const Vec3 p = Vec3Cross(rayDir, edge2);
    const float determinant = Vec3Dot(edge1, p);
    if (std::fabs(determinant) < 1e-12f) {
        return false;
    }
    const float inverse = 1.0f / determinant;
    const Vec3 t = rayOrigin - p0;
    const float uValue = Vec3Dot(t, p) * inverse;
    if (uValue < 0.0f || uValue > 1.0f) {
        return false;
    }
    const Vec3 q = Vec3Cross(t, edge1);
    const float vValue = Vec3Dot(rayDir, q) * inverse;
    if (vValue < 0.0f || uValue + vValue > 1.0f) {
        return false;
    }
    const float d = Vec3Dot(edge2, q) * inverse;
    if (d < 0.0f) {
        return false;
    }
    u = uValue;
    v = vValue;
    distance = d;
    return true;
}
