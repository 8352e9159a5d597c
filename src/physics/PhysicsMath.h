// Small vector and angle helpers shared by the physics step and the collision
// pass. Projections onto (almost) zero vectors give zero: a normal is zero
// outside the map and two bodies can stand on one point, and neither may put
// a NaN into a velocity.
#pragma once

#include "platform/math/Vector.h"

#include <algorithm>
#include <cmath>

namespace physics {

// Below this squared length a vector is treated as having no direction.
inline constexpr float kNoDirectionLengthSq = 1e-12f;

// Headings are turned with pi at single precision, as the rest of the game.
inline constexpr double kPi = 3.1415927410125732;
inline constexpr double kTwoPi = 2.0 * kPi;

// The part of v along n; zero when n has no direction.
inline Vec3 ProjectOnto(const Vec3& v, const Vec3& n)
{
    const float lengthSq = Vec3Dot(n, n);
    if (!(lengthSq >= kNoDirectionLengthSq)) {
        return {};
    }
    return n * (Vec3Dot(v, n) / lengthSq);
}

// The part of v across n (along the ground when n is the ground's normal).
inline Vec3 TangentialPart(const Vec3& v, const Vec3& n)
{
    return v - ProjectOnto(v, n);
}

// a reduced to (-2pi, 2pi) by the remainder, keeping its sign. Headings
// mostly lie there already, and the remainder of such an angle is the angle
// itself, so the library is asked only for the others.
inline double ReduceAngle(double a)
{
    return std::fabs(a) < kTwoPi ? a : std::fmod(a, kTwoPi);
}

// The distance between two headings in radians. Each is first reduced to
// (-2pi, 2pi), which keeps the result right for every difference below 3pi.
inline double AngularDistance(double a, double b)
{
    const double first = ReduceAngle(a);
    const double second = ReduceAngle(b);
    const double difference = std::max(first, second) - std::min(first, second);
    return std::min(std::fabs(difference), std::fabs(kTwoPi - difference));
}

// heading turned toward target by at most rate * dt; reaches the target when
// it is closer than that. A target straight behind turns the negative way.
inline double TurnToward(double target, double heading, double rate, double dt)
{
    const double step = rate * dt;
    if (step > AngularDistance(heading, target)) {
        return target;
    }
    const double negative = heading - step;
    const double positive = heading + step;
    // Rounding must not decide a tie, or a body facing straight away would
    // turn either way depending on how its target angle was rounded.
    constexpr double kTie = 1e-6;
    return AngularDistance(negative, target) <= AngularDistance(positive, target) + kTie ? negative : positive;
}

} // namespace physics
