// Small vector and angle helpers shared by the physics step and the collision
// pass. Projections onto (almost) zero vectors give zero: a normal is zero
// outside the map and two bodies can stand on one point, and neither may put
// a NaN into a velocity.
//
// Vec3Lanes8 holds eight vectors, one a lane, for the step that moves a
// block of bodies at once; its helpers do lane by lane exactly what the Vec3
// ones do.
#pragma once

#include "platform/math/Float8.h"
#include "platform/math/Vector.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

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

template <typename Lanes> struct Vec3LanesOf {
    Lanes x;
    Lanes y;
    Lanes z;
};
using Vec3Lanes8 = Vec3LanesOf<Float8>;

template <typename Lanes> Vec3LanesOf<Lanes> operator+(const Vec3LanesOf<Lanes>& a, const Vec3LanesOf<Lanes>& b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

template <typename Lanes> Vec3LanesOf<Lanes> operator-(const Vec3LanesOf<Lanes>& a, const Vec3LanesOf<Lanes>& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

template <typename Lanes> Vec3LanesOf<Lanes> operator*(const Vec3LanesOf<Lanes>& v, const Lanes& s)
{
    return {v.x * s, v.y * s, v.z * s};
}

template <typename Lanes> Lanes Dot(const Vec3LanesOf<Lanes>& a, const Vec3LanesOf<Lanes>& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

template <typename Lanes> Lanes Length(const Vec3LanesOf<Lanes>& v)
{
    return Sqrt(Dot(v, v));
}

template <typename Mask, typename Lanes>
Vec3LanesOf<Lanes> Select(const Mask& mask, const Vec3LanesOf<Lanes>& ifTrue, const Vec3LanesOf<Lanes>& ifFalse)
{
    return {Select(mask, ifTrue.x, ifFalse.x), Select(mask, ifTrue.y, ifFalse.y), Select(mask, ifTrue.z, ifFalse.z)};
}

template <typename Lanes> Vec3LanesOf<Lanes> ProjectOnto(const Vec3LanesOf<Lanes>& v, const Vec3LanesOf<Lanes>& n)
{
    const Lanes lengthSq = Dot(n, n);
    return Select(lengthSq >= Lanes(kNoDirectionLengthSq), n * (Dot(v, n) / lengthSq), Vec3LanesOf<Lanes>());
}

// The part of v across n (along the ground when n is the ground's normal).
template <typename Lanes> Vec3LanesOf<Lanes> TangentialPart(const Vec3LanesOf<Lanes>& v, const Vec3LanesOf<Lanes>& n)
{
    return v - ProjectOnto(v, n);
}

// The x a body is sorted by: a NaN would break the ordering the sort relies
// on, so it sorts last.
inline float SortKeyX(float x)
{
    return std::isnan(x) ? INFINITY : x;
}

// Room left around a swept box for rounding: the contact test works in
// double precision from float positions, the box in floats.
inline constexpr float kBoxSlack = 1.0e-3f;
inline constexpr float kBoxSlackPerUnit = 1.0e-6f;

template <typename Lanes> struct BoxLanesOf {
    Lanes minX;
    Lanes maxX;
    Lanes minZ;
    Lanes maxZ;
};

// The boxes (in x and z) that spheres of radius sweep through moving from
// from to to, widened for rounding: what the pair search is given of each
// body. The positions are finite.
template <typename Lanes>
BoxLanesOf<Lanes> SweptBoxLanes(const Vec3LanesOf<Lanes>& from, const Vec3LanesOf<Lanes>& to, const Lanes& radius)
{
    // std::min and std::max as they are written: b < a ? b : a and a < b ? b : a.
    const auto low = [](const Lanes& a, const Lanes& b) { return Select(b < a, b, a); };
    const auto high = [](const Lanes& a, const Lanes& b) { return Select(a < b, b, a); };
    const auto slack = [](const Lanes& bound) { return Lanes(kBoxSlack) + Abs(bound) * Lanes(kBoxSlackPerUnit); };
    const Lanes minX = low(from.x, to.x) - radius;
    const Lanes maxX = high(from.x, to.x) + radius;
    const Lanes minZ = low(from.z, to.z) - radius;
    const Lanes maxZ = high(from.z, to.z) + radius;
    return {minX - slack(minX), maxX + slack(maxX), minZ - slack(minZ), maxZ + slack(maxZ)};
}

// Strictly inside all four walls of a map of half size half, moved in by
// the radius, at both ends of the step: then no wall can stop the body. It is
// the walls' own test (depth beyond each plane greater than 0) for all four
// at once, lane by lane.
template <typename Lanes>
auto InsideWallsLanes(const Vec3LanesOf<Lanes>& start, const Vec3LanesOf<Lanes>& end, const Lanes& radius, float half)
{
    const Lanes reach = Lanes(half) - radius;
    return (Abs(start.x) < reach) & (Abs(end.x) < reach) & (Abs(start.z) < reach) & (Abs(end.z) < reach);
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

// A quick arc tangent for the turn. The library's is exact but dear, and a
// turn rarely depends on the last bits of its aim: the quick one is used
// where it provably gives the same turn, the library's everywhere else.
//
// QuickAtan2Lanes (below) is within kQuickAtan2Error of the true atan2 for
// finite y and x that are not zero: a table of atan(k / 64) takes the angle
// within 1/128 of it, and three terms of the series of the arc tangent do the
// rest to within a few units of a double's last place. Outside those inputs
// it is not a number.
inline constexpr double kQuickAtan2Error = 1e-12;

// atan(k / 64) for k from 0 to 64.
inline const std::array<double, 65>& QuickAtan2Table()
{
    static const std::array<double, 65> table = [] {
        std::array<double, 65> values{};
        for (std::size_t k = 0; k < values.size(); ++k) {
            values[k] = std::atan(static_cast<double>(k) / 64.0);
        }
        return values;
    }();
    return table;
}

// TurnToward with a target known only within error of the true one: true,
// with the turn, when every decision the turn makes is the same for every
// target within error (and the target, when reached, is the same float);
// false when it might not be, and the true target is needed.
inline bool TurnTowardNear(double target, double error, double heading, double rate, double dt, double& turned)
{
    // Each distance moves by no more than the target does, and its own
    // rounding is far below the margin.
    const double margin = 2.0 * error + 1e-13;
    const double step = rate * dt;
    const double distance = AngularDistance(heading, target);
    if (!(std::fabs(step - distance) > margin)) {
        return false;
    }
    if (step > distance) {
        if (static_cast<float>(target - margin) != static_cast<float>(target + margin)) {
            return false;
        }
        turned = target;
        return true;
    }
    const double negative = heading - step;
    const double positive = heading + step;
    constexpr double kTie = 1e-6;
    const double toNegative = AngularDistance(negative, target);
    const double toPositive = AngularDistance(positive, target) + kTie;
    if (!(std::fabs(toNegative - toPositive) > 2.0 * margin)) {
        return false;
    }
    turned = toNegative <= toPositive ? negative : positive;
    return true;
}

// Four doubles, one a lane, for the turns of four bodies at once, and the
// answers of their comparisons (all bits set where true). The compiler's
// vector types: two SSE2 registers on the baseline processor, one AVX
// register in the code built for it (Float4.h KV_LANES_DISPATCHED). Each
// lane does the IEEE arithmetic of the scalar code to the bit.
//
// Compilers warn that passing such a vector by value is done differently with
// AVX; every file is built alike, and the helpers are inlined into the step.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpsabi"
#endif
using Double4 = double __attribute__((vector_size(32)));
using Mask4d = std::int64_t __attribute__((vector_size(32)));
using Int4d = std::int32_t __attribute__((vector_size(16)));

// Widening and narrowing lane by lane, written out: compilers build these in
// one instruction where the converting builtin takes two halves.
inline Double4 WidenedLanes(const Int4d& v)
{
    return Double4{static_cast<double>(v[0]), static_cast<double>(v[1]), static_cast<double>(v[2]),
                   static_cast<double>(v[3])};
}

inline Mask4d WidenedMask(const Int4d& v)
{
    return Mask4d{v[0], v[1], v[2], v[3]};
}

inline Int4d NarrowedMask(const Mask4d& v)
{
    return Int4d{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]), static_cast<std::int32_t>(v[2]),
                 static_cast<std::int32_t>(v[3])};
}

// By the sign of each mask lane, as Float8's Select.
inline Double4 SelectLanes(const Mask4d& mask, const Double4& ifTrue, const Double4& ifFalse)
{
    return mask < 0 ? ifTrue : ifFalse;
}

inline Double4 AbsLanes(const Double4& v)
{
    return std::bit_cast<Double4>(std::bit_cast<Mask4d>(v) & std::numeric_limits<std::int64_t>::max());
}

// std::min as it is written: b < a ? b : a.
inline Double4 MinLanes(const Double4& a, const Double4& b)
{
    return SelectLanes(b < a, b, a);
}

// AngularDistance for headings already within (-2pi, 2pi), which then need
// no reducing. The larger less the smaller is the size of a - b to the bit
// (rounding is alike for both signs), and never below zero.
inline Double4 AngularDistanceLanes(const Double4& a, const Double4& b)
{
    const Double4 difference = AbsLanes(a - b);
    return MinLanes(difference, AbsLanes(kTwoPi - difference));
}

// The quick arc tangent of four points (y, x), lane by lane, and NaN where
// it has no answer.
inline Double4 QuickAtan2Lanes(const Double4& y, const Double4& x)
{
    constexpr double kHalfPi = 1.5707963267948966;
    constexpr double kTruePi = 3.141592653589793;
    const Double4 ax = AbsLanes(x);
    const Double4 ay = AbsLanes(y);
    const Mask4d steep = ay > ax;
    const Double4 low = SelectLanes(steep, ax, ay);
    const Double4 high = SelectLanes(steep, ay, ax);
    // Both sizes above zero and at most 1e300. A NaN lands in low where it
    // is y's and in high where it is x's, and fails either test.
    const Mask4d answered = (low > 0.0) & (high <= 1e300);
    // Unanswered lanes divide harmlessly by one.
    const Double4 t = SelectLanes(answered, low / high, Double4{});
    const Int4d k = __builtin_convertvector(t * 64.0 + 0.5, Int4d);
    const Double4 c = WidenedLanes(k) / 64.0;
    const Double4 r = (t - c) / (1.0 + t * c);
    const Double4 r2 = r * r;
    // |r| is at most 1/128, so the first term left out, r^7 / 7, is below
    // 3e-16: far inside the error allowed.
    const Double4 series = r - r * r2 * (1.0 / 3.0 - r2 * (1.0 / 5.0));
    const std::array<double, 65>& table = QuickAtan2Table();
    // k is within [0, 64]: read as unsigned, it needs no widening.
    const Double4 tabled = {table[static_cast<std::uint32_t>(k[0])], table[static_cast<std::uint32_t>(k[1])],
                            table[static_cast<std::uint32_t>(k[2])], table[static_cast<std::uint32_t>(k[3])]};
    Double4 angle = tabled + series;
    angle = SelectLanes(steep, kHalfPi - angle, angle);
    angle = SelectLanes(x < 0.0, kTruePi - angle, angle);
    angle = SelectLanes(y < 0.0, -angle, angle);
    const Double4 none = {NAN, NAN, NAN, NAN};
    return SelectLanes(answered, angle, none);
}

// TurnTowardNear of four bodies. decided holds the lanes it answered, each
// with the turn TurnTowardNear gives; the others need the scalar turn. Lanes
// whose heading, target or either turned heading lie outside (-2pi, 2pi),
// or are not numbers, are left undecided.
inline void TurnTowardNearLanes(const Double4& target, double error, const Double4& heading, const Double4& rate,
                                const Double4& dt, Mask4d& decided, Double4& turned)
{
    const double margin = 2.0 * error + 1e-13;
    const Double4 step = rate * dt;
    const Double4 negative = heading - step;
    const Double4 positive = heading + step;
    // The sum of the sizes rounds to no less than the size of the heading or
    // of either turned one, so below 2pi it holds them all below it.
    const Mask4d reduced = (AbsLanes(heading) + AbsLanes(step) < kTwoPi) & (AbsLanes(target) < kTwoPi);
    const Double4 distance = AngularDistanceLanes(heading, target);
    const Mask4d clear = AbsLanes(step - distance) > margin;
    const Mask4d reaches = step > distance;
    using Float4d = float __attribute__((vector_size(16)));
    using Int4f = std::int32_t __attribute__((vector_size(16)));
    const Int4f sameFloat =
        __builtin_convertvector(target - margin, Float4d) == __builtin_convertvector(target + margin, Float4d);
    constexpr double kTie = 1e-6;
    const Double4 toNegative = AngularDistanceLanes(negative, target);
    const Double4 toPositive = AngularDistanceLanes(positive, target) + kTie;
    const Mask4d apart = AbsLanes(toNegative - toPositive) > 2.0 * margin;
    const Mask4d reachedAlike = WidenedMask(sameFloat);
    decided = reduced & clear & ((reaches & reachedAlike) | (~reaches & apart));
    turned = SelectLanes(reaches, target, SelectLanes(toNegative <= toPositive, negative, positive));
}

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

} // namespace physics
