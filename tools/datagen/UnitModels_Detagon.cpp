// The Detagon and the click marker.
//
// Detagon: a ten-sided gem hovering on two little feet inside a spinning ring
// of ten plates, a fuse with a spark on top. Its special animation is the
// fuse burning down to the detonation (1.6 s): the ring spins up, the gem
// swells in quickening pulses and lifts, shaking, the spark flares.
//
// Click marker: drawn 1.0 above the point a move was ordered to, so the
// ground lies at y = -1. An arrow drops onto the point, bounces and settles
// while a ring closes in round it; its period (0.8 s) is how long it shows.
#include "UnitRig.h"

#include <cmath>

namespace datagen {

namespace {

constexpr float kDetagonCore = 0.84f;

void DetagonCore(MeshBuilder& m)
{
    m.AddBipyramid(10, 0.5f, -0.48f, 0.0f, 0.48f);
}

// Ten plates round a circle; the ring turns about its own y axis.
void PlateRing(MeshBuilder& m, int plates, float radius, const Vec3& half)
{
    for (int k = 0; k < plates; ++k) {
        m.SetTransform(MatrixTranslation(radius, 0.0f, 0.0f) *
                       MatrixRotationY(2.0f * kPi * static_cast<float>(k) / static_cast<float>(plates)));
        m.AddBox(-half, half);
    }
}

void DetagonRing(MeshBuilder& m)
{
    PlateRing(m, 10, 0.64f, {0.06f, 0.07f, 0.19f});
}

void DetagonFuse(MeshBuilder& m)
{
    m.AddFrustum(6, 0.05f, 0.035f, 0.0f, 0.3f);
    m.SetTransform(MatrixTranslation(0.0f, 0.38f, 0.0f));
    m.AddBipyramid(4, 0.1f, -0.1f, 0.0f, 0.1f, kPi / 4.0f); // the spark
}

void DetagonFoot(MeshBuilder& m)
{
    m.AddFrustum(4, 0.05f, 0.06f, -0.3f, 0.0f, kPi / 4.0f);
    m.AddBox({-0.12f, -0.37f, -0.14f}, {0.12f, -0.28f, 0.2f});
}

// Parts in order: core, ring, fuse, left foot, right foot.
std::vector<PartPose> DetagonPose(const PartPose& core, float ringSpin, float ringTilt, float fuseSway, float fuseScale,
                                  float footSwing, float footSplay)
{
    PartPose ring = Attached(core, Posed({}, 0.0f));
    ring.rotation = QuaternionMultiply(SpinThenTilt(ringSpin, ringTilt), core.rotation);
    PartPose fuse = Attached(core, Posed({0.0f, 0.48f, 0.0f}, 0.0f, 0.0f, fuseSway));
    fuse.scale = fuseScale; // the spark flares on its own, not with the swelling gem
    const Vec3 hips{core.position.x, kDetagonCore - 0.47f, core.position.z};
    return {core, ring, fuse, Posed(hips + Vec3{-0.2f, 0.0f, 0.0f}, footSwing, 0.0f, -footSplay),
            Posed(hips + Vec3{0.2f, 0.0f, 0.0f}, -footSwing, 0.0f, footSplay)};
}

std::vector<PartPose> DetagonIdle(float p)
{
    const PartPose core = Posed({0.0f, kDetagonCore + 0.03f * Wave(p, 1), 0.0f}, 0.0f, 0.2f * Wave(p, 1));
    return DetagonPose(core, 2.0f * kPi * p, 0.12f, 0.1f * Wave(p, 2), 1.0f, 0.0f, 0.0f);
}

std::vector<PartPose> DetagonMove(float p)
{
    const float s = Wave(p, 1);
    const PartPose core =
        Posed({0.0f, kDetagonCore + 0.03f * (1.0f + Wave(p, 2, 0.25f)), 0.0f}, 0.08f, 0.0f, 0.12f * s);
    return DetagonPose(core, 2.0f * kPi * p, 0.12f, -0.15f * s, 1.0f, 0.5f * s, 0.0f);
}

// The spin quickens from one turn per period to six; the pulses quicken too.
std::vector<PartPose> DetagonDeath(float p)
{
    const float swell = 1.0f + 0.15f * p + 0.05f * Wave(p * (1.0f + p), 2);
    const float shake = 0.05f * p * Wave(p, 8);
    const PartPose core = Posed({0.0f, kDetagonCore + 0.08f * Ease(p), 0.0f}, shake, 0.0f, shake, swell);
    const float spin = 2.0f * kPi * (p + 2.5f * p * p);
    return DetagonPose(core, spin, 0.12f + 0.28f * p, 0.3f * Wave(p, 4), 1.0f + 0.15f * p, 0.0f, 0.4f * p);
}

void MarkerArrow(MeshBuilder& m)
{
    m.AddFrustum(4, 0.0f, 0.3f, 0.0f, 0.45f, kPi / 4.0f); // point down
    m.AddBox({-0.08f, 0.45f, -0.08f}, {0.08f, 0.85f, 0.08f});
}

void MarkerRing(MeshBuilder& m)
{
    PlateRing(m, 8, 0.55f, {0.04f, 0.03f, 0.2f});
}

// Parts in order: arrow, ring.
std::vector<PartPose> MarkerShow(float p)
{
    constexpr float kGround = -0.95f;
    float tip = kGround;
    if (p < 0.35f) {
        const float fall = p / 0.35f;
        tip = 0.6f - (0.6f - kGround) * fall * fall;
    } else if (p < 0.75f) {
        tip = kGround + 0.25f * std::sin(kPi * (p - 0.35f) / 0.4f);
    }
    return {Posed({0.0f, tip, 0.0f}, 0.0f, 2.0f * kPi * p),
            Posed({0.0f, kGround - 0.02f, 0.0f}, 0.0f, -kPi * p, 0.0f, 1.6f - Ease(p))};
}

} // namespace

UnitModel DetagonModel()
{
    return {"Detagon",
            {{"Core", DetagonCore},
             {"Ring", DetagonRing},
             {"Fuse", DetagonFuse},
             {"FootL", DetagonFoot},
             {"FootR", DetagonFoot}},
            {{2.0f, 8, true, DetagonIdle}, {0.5f, 8, true, DetagonMove}, {1.6f, 24, false, DetagonDeath}}};
}

UnitModel ClickMarkerModel()
{
    return {"ClickMarker", {{"Arrow", MarkerArrow}, {"Ring", MarkerRing}}, {{0.8f, 16, false, MarkerShow}}};
}

} // namespace datagen
