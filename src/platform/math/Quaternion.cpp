// Quaternion arithmetic for animation keys.
#include "platform/math/Quaternion.h"

#include <cmath>

Quaternion QuaternionRotationAxis(const Vec3& axis, float angle)
{
    const Vec3 n = Vec3Normalize(axis);
    const float s = std::sin(angle / 2.0f);
    return {n.x * s, n.y * s, n.z * s, std::cos(angle / 2.0f)};
}

Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b)
{
    // Hamilton product b * a, so that the rotation a is applied first.
    return {b.w * a.x + b.x * a.w + b.y * a.z - b.z * a.y, b.w * a.y - b.x * a.z + b.y * a.w + b.z * a.x,
            b.w * a.z + b.x * a.y - b.y * a.x + b.z * a.w, b.w * a.w - b.x * a.x - b.y * a.y - b.z * a.z};
}

Quaternion QuaternionNormalize(const Quaternion& q)
{
    const float length = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (length <= 0.0f) {
        return {};
    }
    return {q.x / length, q.y / length, q.z / length, q.w / length};
}

Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t)
{
    float cosine = a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
    const float sign = cosine < 0.0f ? -1.0f : 1.0f;
    cosine *= sign;
    float weightA = 1.0f - t;
    float weightB = t * sign;
    if (cosine < 0.9999f) {
        const float angle = std::acos(cosine);
        const float inverseSine = 1.0f / std::sin(angle);
        weightA = std::sin((1.0f - t) * angle) * inverseSine;
        weightB = std::sin(t * angle) * inverseSine * sign;
    }
    return QuaternionNormalize({a.x * weightA + b.x * weightB, a.y * weightA + b.y * weightB,
                                a.z * weightA + b.z * weightB, a.w * weightA + b.w * weightB});
}
