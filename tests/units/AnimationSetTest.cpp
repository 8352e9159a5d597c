#include "world/AnimationSet.h"

#include <doctest/doctest.h>

#include <cmath>
#include <limits>

namespace {

// At 10 ticks a second: a track that moves, grows and turns a quarter about y
// over 2 seconds, and one with position keys only, ending at 3 seconds.
XAnimationSet TwoTracks()
{
    XAnimation moving;
    moving.frameName = "Arm";
    moving.positionKeys = {{0, {0, 0, 0}}, {10, {2, 0, 0}}, {20, {2, 2, 0}}};
    moving.scaleKeys = {{0, {1, 1, 1}}, {20, {3, 1, 1}}};
    moving.rotationKeys = {{0, {0, 0, 0, 1}}, {20, QuaternionRotationAxis({0, 1, 0}, kPi / 2.0f)}};
    XAnimation sliding;
    sliding.frameName = "Leg";
    sliding.positionKeys = {{5, {1, 0, 0}}, {30, {1, 0, 5}}};
    return {"Walk", {moving, sliding}};
}

float TurnAboutY(const Quaternion& q)
{
    return 2.0f * std::atan2(q.y, q.w);
}

} // namespace

TEST_CASE("animation tracks are sampled at, between and beyond their keys, and time loops within the last key")
{
    const AnimationSet set(TwoTracks(), 10);
    CHECK(set.GetAnimationFrameName(2).empty());

    CHECK(set.GetSrt(0.5, 0).translation == Vec3{1, 0, 0});
    CHECK(set.GetSrt(1.5, 0).translation == Vec3{2, 1, 0});
    CHECK(set.GetSrt(1.0, 0).translation == Vec3{2, 0, 0});  // exactly on a key
    CHECK(set.GetSrt(9.0, 0).translation == Vec3{2, 2, 0});  // held after the last
    CHECK(set.GetSrt(0.25, 1).translation == Vec3{1, 0, 0}); // held before the first
    CHECK(set.GetSrt(0.5, 0).scale.x == doctest::Approx(1.5f));

    // A quarter turn sampled a quarter of the way is an eighth of a turn: the
    // angle moves evenly, as a blend of the quaternions would not.
    CHECK(TurnAboutY(set.GetSrt(0.5, 0).rotation) == doctest::Approx(kPi / 8.0f));
    // Keys that spell the same turns with opposite signs take the short way.
    XAnimationSet flipped = TwoTracks();
    Quaternion& end = flipped.animations[0].rotationKeys[1].value;
    end = {-end.x, -end.y, -end.z, -end.w};
    const Quaternion q = AnimationSet(flipped, 10).GetSrt(0.5, 0).rotation;
    CHECK(std::fabs(TurnAboutY(q.w < 0 ? Quaternion{-q.x, -q.y, -q.z, -q.w} : q)) == doctest::Approx(kPi / 8.0f));

    // What a track has no keys for, and a track that does not exist, stay put.
    const AnimationSrt still = set.GetSrt(0.5, 1);
    CHECK(still.scale == Vec3{1, 1, 1});
    CHECK(still.rotation.w == 1.0f);
    CHECK(set.GetSrt(0.5, 7).translation == Vec3{});
    CHECK(set.GetSrt(0.5, -1).scale == Vec3{1, 1, 1});

    // The period is the last key of any track.
    CHECK(set.GetPeriod() == doctest::Approx(3.0));
    CHECK(set.GetPeriodicPosition(3.7) == doctest::Approx(0.7));
    CHECK(set.GetPeriodicPosition(3.0) == doctest::Approx(0.0));
    CHECK(set.GetPeriodicPosition(-0.5) == doctest::Approx(2.5));
    CHECK(set.GetPeriodicPosition(std::numeric_limits<double>::quiet_NaN()) == 0.0);
    CHECK(set.GetPeriodicPosition(std::numeric_limits<double>::infinity()) == 0.0);

    // A single key at the start: period 0, and every time is the start.
    XAnimationSet single = TwoTracks();
    single.animations.resize(1);
    single.animations[0].positionKeys.resize(1);
    single.animations[0].scaleKeys.resize(1);
    single.animations[0].rotationKeys.resize(1);
    const AnimationSet frozen(single, 4800);
    CHECK(frozen.GetPeriod() == 0.0);
    CHECK(frozen.GetPeriodicPosition(12.5) == 0.0);
}
