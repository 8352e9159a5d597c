// Pose arithmetic for the unit models (see UnitRig.h).
#include "UnitRig.h"

#include <algorithm>
#include <cmath>

namespace datagen {

PartPose Posed(const Vec3& position, float pitch, float yaw, float roll, float scale)
{
    const Quaternion turn = QuaternionMultiply(QuaternionMultiply(QuaternionRotationAxis({0.0f, 0.0f, 1.0f}, roll),
                                                                  QuaternionRotationAxis({1.0f, 0.0f, 0.0f}, pitch)),
                                               QuaternionRotationAxis({0.0f, 1.0f, 0.0f}, yaw));
    return {turn, position, scale};
}

PartPose Attached(const PartPose& parent, const PartPose& local)
{
    const Vec3 offset = Vec3TransformNormal(local.position * parent.scale, MatrixRotationQuaternion(parent.rotation));
    return {QuaternionMultiply(local.rotation, parent.rotation), parent.position + offset, parent.scale * local.scale};
}

Quaternion SpinThenTilt(float spin, float tilt)
{
    return QuaternionMultiply(QuaternionRotationAxis({0.0f, 1.0f, 0.0f}, spin),
                              QuaternionRotationAxis({1.0f, 0.0f, 0.0f}, tilt));
}

float Wave(float phase, float cycles, float offset)
{
    return std::sin(2.0f * kPi * (cycles * phase + offset));
}

float Ease(float t)
{
    const float c = std::clamp(t, 0.0f, 1.0f);
    return c * c * (3.0f - 2.0f * c);
}

float Ramp(float phase, float from, float to)
{
    return Ease((phase - from) / (to - from));
}

} // namespace datagen
