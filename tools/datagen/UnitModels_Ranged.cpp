// The two shooters.
//
// Trajectagon: an octagonal drum on two legs with a hexagonal barrel raised
// at 45 degrees, the angle its shots leave at. It fires at the first frame of
// its attack animation: the barrel kicks back and recovers, and the reload
// comes when the animation ends (0.8 s).
//
// Artillerator: a four-legged mortar carriage. Its attack animation is the
// wind-up: the legs brace, the hull settles and the mortar rises from 30 to
// 45 degrees, firing as it ends (1.2 s). Its recoil animation starts from
// that braced pose, slams the mortar back and settles to the rest pose, when
// the cool-down begins (0.9 s).
#include "UnitRig.h"

#include <cmath>

namespace datagen {

namespace {

constexpr float kTrajectagonBody = 0.95f;
constexpr float kBarrelRest = -kPi / 4.0f; // pitch of a barrel 45 degrees up

void TrajectagonBody(MeshBuilder& m)
{
    m.AddFrustum(8, 0.3f, 0.46f, -0.4f, -0.32f, kPi / 8.0f); // under-plate
    m.AddFrustum(8, 0.5f, 0.46f, -0.32f, 0.3f, kPi / 8.0f);  // drum
    m.AddFrustum(8, 0.46f, 0.22f, 0.3f, 0.5f, kPi / 8.0f);   // dome
    m.SetTransform(MatrixRotationX(kPi / 2.0f) * MatrixTranslation(0.0f, 0.05f, 0.42f));
    m.AddFrustum(6, 0.17f, 0.13f, 0.0f, 0.16f); // the eye, looking ahead
}

void TrajectagonBarrel(MeshBuilder& m)
{
    m.AddBox({-0.14f, -0.14f, -0.3f}, {0.14f, 0.14f, -0.1f}); // breech
    m.SetTransform(MatrixRotationX(kPi / 2.0f));
    m.AddFrustum(6, 0.11f, 0.1f, -0.2f, 0.7f);
    m.AddFrustum(6, 0.15f, 0.15f, 0.58f, 0.74f); // muzzle
}

void TrajectagonLeg(MeshBuilder& m)
{
    m.AddFrustum(6, 0.1f, 0.13f, -0.55f, 0.0f);
    m.AddBox({-0.15f, -0.63f, -0.16f}, {0.15f, -0.53f, 0.26f});
}

// Parts in order: body, barrel, left leg, right leg. The barrel slides back
// along itself by kick.
std::vector<PartPose> TrajectagonPose(const PartPose& body, float barrelPitch, float barrelYaw, float kick,
                                      float legSwing)
{
    const PartPose mount = Attached(body, Posed({0.0f, 0.5f, 0.0f}, barrelPitch, barrelYaw));
    const Vec3 hips{body.position.x, kTrajectagonBody - 0.32f, body.position.z};
    return {body, Attached(mount, Posed({0.0f, 0.0f, -kick}, 0.0f)), Posed(hips + Vec3{-0.28f, 0.0f, 0.0f}, legSwing),
            Posed(hips + Vec3{0.28f, 0.0f, 0.0f}, -legSwing)};
}

std::vector<PartPose> TrajectagonIdle(float p)
{
    const PartPose body = Posed({0.0f, kTrajectagonBody + 0.02f * Wave(p, 2), 0.0f}, 0.0f, 0.1f * Wave(p, 1));
    return TrajectagonPose(body, kBarrelRest + 0.05f * Wave(p, 2), 0.3f * Wave(p, 1), 0.0f, 0.0f);
}

std::vector<PartPose> TrajectagonMove(float p)
{
    const float s = Wave(p, 1);
    const PartPose body =
        Posed({0.0f, kTrajectagonBody + 0.03f * (1.0f + Wave(p, 2, 0.25f)), 0.0f}, 0.06f, 0.0f, 0.07f * s);
    return TrajectagonPose(body, kBarrelRest, 0.0f, 0.0f, 0.5f * s);
}

// The kick peaks at the first key after the shot (0.05 s) and dies away.
std::vector<PartPose> TrajectagonAttack(float p)
{
    const float kick = p < 0.0625f ? p / 0.0625f : 1.0f - Ramp(p, 0.0625f, 1.0f);
    const PartPose body = Posed({0.0f, kTrajectagonBody, -0.08f * kick}, -0.15f * kick);
    return TrajectagonPose(body, kBarrelRest - 0.25f * kick, 0.0f, 0.22f * kick, 0.1f * kick);
}

constexpr float kArtilleratorHull = 0.68f;
constexpr float kMortarRest = -kPi / 6.0f;
constexpr float kMortarFire = -kPi / 4.0f;

void ArtilleratorHull(MeshBuilder& m)
{
    m.AddBox({-0.48f, -0.22f, -0.72f}, {0.48f, 0.12f, 0.72f});
    m.AddBox({-0.36f, -0.08f, 0.72f}, {-0.18f, 0.04f, 0.78f}); // lamps at the front
    m.AddBox({0.18f, -0.08f, 0.72f}, {0.36f, 0.04f, 0.78f});
    m.SetTransform(MatrixScaling(1.0f, 1.0f, 1.2f));
    m.AddFrustum(4, 0.68f, 0.5f, 0.12f, 0.3f, kPi / 4.0f);
}

void ArtilleratorTurret(MeshBuilder& m)
{
    m.AddFrustum(8, 0.42f, 0.36f, 0.0f, 0.24f, kPi / 8.0f);
}

void ArtilleratorMortar(MeshBuilder& m)
{
    m.SetTransform(MatrixRotationZ(kPi / 2.0f));
    m.AddFrustum(6, 0.07f, 0.07f, -0.3f, 0.3f); // trunnion axle across
    m.SetTransform(MatrixRotationX(kPi / 2.0f));
    m.AddFrustum(10, 0.19f, 0.17f, -0.3f, 0.55f);
    m.AddFrustum(10, 0.24f, 0.24f, 0.45f, 0.62f); // muzzle
}

void ArtilleratorLeg(MeshBuilder& m)
{
    m.AddFrustum(4, 0.13f, 0.16f, -0.5f, 0.0f, kPi / 4.0f);
    m.AddFrustum(6, 0.2f, 0.15f, -0.68f, -0.5f);
}

// Parts in order: hull, turret, mortar, then the legs front left, front
// right, back left, back right. bob lifts the hips with the hull; dip lowers
// the hull alone, and so does brace, which splays the legs too; kick slides
// the mortar back along itself.
std::vector<PartPose> ArtilleratorPose(float bob, float dip, float hullPitch, float hullRoll, float turretYaw,
                                       float mortarPitch, float kick, float diagonalSwing, float brace)
{
    const PartPose hull = Posed({0.0f, kArtilleratorHull + bob - dip - 0.1f * brace, 0.0f}, hullPitch, 0.0f, hullRoll);
    const PartPose turret = Attached(hull, Posed({0.0f, 0.3f, -0.1f}, 0.0f, turretYaw));
    const PartPose trunnion = Attached(turret, Posed({0.0f, 0.24f, 0.0f}, mortarPitch));
    const float splay = 0.15f * brace;
    const float hipY = kArtilleratorHull + bob;
    return {hull,
            turret,
            Attached(trunnion, Posed({0.0f, 0.0f, -kick}, 0.0f)),
            Posed({-0.62f, hipY, 0.5f}, diagonalSwing, 0.0f, -splay),
            Posed({0.62f, hipY, 0.5f}, -diagonalSwing, 0.0f, splay),
            Posed({-0.62f, hipY, -0.5f}, -diagonalSwing, 0.0f, -splay),
            Posed({0.62f, hipY, -0.5f}, diagonalSwing, 0.0f, splay)};
}

std::vector<PartPose> ArtilleratorIdle(float p)
{
    return ArtilleratorPose(0.015f * Wave(p, 1), 0.0f, 0.0f, 0.0f, 0.15f * Wave(p, 1), kMortarRest + 0.04f * Wave(p, 2),
                            0.0f, 0.0f, 0.0f);
}

std::vector<PartPose> ArtilleratorMove(float p)
{
    const float s = Wave(p, 1);
    return ArtilleratorPose(0.0175f * (1.0f + Wave(p, 2, 0.25f)), 0.0f, 0.0f, 0.04f * s, 0.0f, kMortarRest, 0.0f,
                            0.45f * s, 0.0f);
}

// The mortar overshoots a little as it rises and settles at 45 degrees.
std::vector<PartPose> ArtilleratorAttack(float p)
{
    const float rise = Ramp(p, 0.0f, 0.85f);
    const float pitch = kMortarRest + (kMortarFire - kMortarRest) * rise - 0.05f * std::sin(kPi * rise);
    return ArtilleratorPose(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, pitch, 0.0f, 0.0f, Ramp(p, 0.0f, 0.65f));
}

// From the firing pose: the kick peaks at the first key (0.05 s), then the
// carriage unbraces and the mortar sinks back to rest.
std::vector<PartPose> ArtilleratorRecoil(float p)
{
    const float start = 1.0f / 18.0f;
    const float kick = p < start ? p / start : 1.0f - Ramp(p, start, 0.6f);
    const float relax = Ramp(p, 0.3f, 1.0f);
    const float pitch = kMortarFire + (kMortarRest - kMortarFire) * relax - 0.15f * kick;
    return ArtilleratorPose(0.0f, 0.08f * kick, -0.08f * kick, 0.0f, 0.0f, pitch, 0.25f * kick, 0.0f, 1.0f - relax);
}

} // namespace

UnitModel TrajectagonModel()
{
    return {
        "Trajectagon",
        {{"Body", TrajectagonBody}, {"Barrel", TrajectagonBarrel}, {"LegL", TrajectagonLeg}, {"LegR", TrajectagonLeg}},
        {{2.4f, 12, true, TrajectagonIdle}, {0.5f, 8, true, TrajectagonMove}, {0.8f, 16, false, TrajectagonAttack}}};
}

UnitModel ArtilleratorModel()
{
    return {"Artillerator",
            {{"Hull", ArtilleratorHull},
             {"Turret", ArtilleratorTurret},
             {"Mortar", ArtilleratorMortar},
             {"LegFL", ArtilleratorLeg},
             {"LegFR", ArtilleratorLeg},
             {"LegBL", ArtilleratorLeg},
             {"LegBR", ArtilleratorLeg}},
            {{2.8f, 8, true, ArtilleratorIdle},
             {0.6f, 8, true, ArtilleratorMove},
             {1.2f, 12, false, ArtilleratorAttack},
             {0.9f, 18, false, ArtilleratorRecoil}}};
}

} // namespace datagen
