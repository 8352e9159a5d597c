// Small vectors for a left-handed, y-up world with row vectors (a point is
// transformed as v * M). Normalising a zero vector gives zero, which several
// callers rely on.
#pragma once

#include <cmath>

inline constexpr float kPi = 3.141592654f;

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
};

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vec3() = default;
    constexpr Vec3(float xValue, float yValue, float zValue) : x(xValue), y(yValue), z(zValue) {}

    constexpr Vec3 operator+(const Vec3& o) const { return {x + o.x, y + o.y, z + o.z}; }
    constexpr Vec3 operator-(const Vec3& o) const { return {x - o.x, y - o.y, z - o.z}; }
    constexpr Vec3 operator-() const { return {-x, -y, -z}; }
    constexpr Vec3 operator*(float s) const { return {x * s, y * s, z * s}; }
    constexpr Vec3 operator/(float s) const { return {x / s, y / s, z / s}; }
    constexpr Vec3& operator+=(const Vec3& o)
    {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    constexpr Vec3& operator-=(const Vec3& o)
    {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    constexpr Vec3& operator*=(float s)
    {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    constexpr bool operator==(const Vec3& o) const = default;
};

inline constexpr Vec3 operator*(float s, const Vec3& v)
{
    return v * s;
}

struct Vec4 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 0.0f;
};

inline constexpr float Vec3Dot(const Vec3& a, const Vec3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline constexpr Vec3 Vec3Cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

inline constexpr float Vec3LengthSq(const Vec3& v)
{
    return Vec3Dot(v, v);
}
inline float Vec3Length(const Vec3& v)
{
    return std::sqrt(Vec3LengthSq(v));
}

inline Vec3 Vec3Normalize(const Vec3& v)
{
    const float length = Vec3Length(v);
    return length > 0.0f ? v / length : Vec3{};
}

inline constexpr Vec3 Vec3Lerp(const Vec3& a, const Vec3& b, float t)
{
    return a + (b - a) * t;
}

inline bool Vec3IsFinite(const Vec3& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}
