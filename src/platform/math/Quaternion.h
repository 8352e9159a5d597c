// Rotation quaternions, used by mesh animation keys.
#pragma once

#include "platform/math/Vector.h"

struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

Quaternion QuaternionRotationAxis(const Vec3& axis, float angle);
// a then b, as with matrices: rotating by the result is rotating by a, then b.
Quaternion QuaternionMultiply(const Quaternion& a, const Quaternion& b);
Quaternion QuaternionNormalize(const Quaternion& q);
Quaternion QuaternionSlerp(const Quaternion& a, const Quaternion& b, float t);
