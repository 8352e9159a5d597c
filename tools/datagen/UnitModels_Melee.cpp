// The two melee units.
//
// Smashtor: a block-bodied brute on stubby legs with two great cube fists.
// It fights by hopping and leaping into its target, showing its idle pose in
// the air, so it has only an idle and a walk.
//
// Triangoloid: a three-legged wedge with a horn. Its attack animation is the
// wind-up before the lunge: it coils back and down, trembling, and snaps
// forward at the very end, when the game launches it at the target (0.7 s).
#include "UnitRig.h"

namespace datagen {

namespace {

// Smashtor: hips 0.72 above the ground, shoulders 0.7 above the hips.
constexpr float kSmashtorHip = 0.72f;

void SmashtorBody(MeshBuilder& m)
{
    m.AddBox({-0.45f, -0.15f, -0.3f}, {0.45f, 0.0f, 0.3f});  // hips
    m.AddBox({-0.55f, 0.0f, -0.4f}, {0.55f, 0.8f, 0.4f});    // torso
    m.AddBox({-0.2f, 0.2f, -0.5f}, {0.2f, 0.7f, -0.4f});     // back plate
    m.AddBox({-0.28f, 0.8f, -0.15f}, {0.28f, 1.12f, 0.32f}); // head
    m.AddBox({-0.32f, 0.98f, 0.32f}, {0.32f, 1.08f, 0.42f}); // brow, so the front reads at a glance
}

void SmashtorLeg(MeshBuilder& m)
{
    m.AddBox({-0.17f, -0.62f, -0.18f}, {0.17f, 0.0f, 0.18f});
    m.AddBox({-0.2f, -0.72f, -0.2f}, {0.2f, -0.58f, 0.22f});
}

void SmashtorFist(MeshBuilder& m)
{
    m.AddBox({-0.1f, -0.45f, -0.1f}, {0.1f, 0.05f, 0.1f});
    m.AddBox({-0.22f, -0.88f, -0.21f}, {0.22f, -0.42f, 0.23f});
    m.AddBox({-0.18f, -0.83f, 0.23f}, {0.18f, -0.5f, 0.29f}); // knuckles
}

// Parts in order: body, left leg, right leg, left fist, right fist.
std::vector<PartPose> SmashtorPose(float bob, float lean, float twist, float legSwing, float armSwing, float armSpread)
{
    const PartPose body = Posed({0.0f, kSmashtorHip + bob, 0.0f}, lean, twist);
    return {body, Posed({-0.28f, kSmashtorHip + bob, 0.0f}, legSwing),
            Posed({0.28f, kSmashtorHip + bob, 0.0f}, -legSwing),
            Attached(body, Posed({-0.67f, 0.7f, 0.0f}, -armSwing, 0.0f, -armSpread)),
            Attached(body, Posed({0.67f, 0.7f, 0.0f}, armSwing, 0.0f, armSpread))};
}

std::vector<PartPose> SmashtorIdle(float p)
{
    return SmashtorPose(0.02f * Wave(p, 1), 0.04f * Wave(p, 1), 0.0f, 0.0f, 0.1f * Wave(p, 1, 0.25f),
                        0.03f + 0.03f * Wave(p, 1));
}

// Two steps per cycle: the body is highest as the legs pass each other.
std::vector<PartPose> SmashtorWalk(float p)
{
    const float s = Wave(p, 1);
    return SmashtorPose(0.025f * (1.0f + Wave(p, 2, 0.25f)), 0.1f, 0.1f * s, 0.4f * s, 0.5f * s, 0.03f);
}

// Triangoloid: body centre 0.8 above the ground.
constexpr float kTriangoloidBody = 0.8f;

void TriangoloidBody(MeshBuilder& m)
{
    // A wedge along +z, apex up, narrowing to the front.
    m.SetTransform(MatrixRotationX(kPi / 2.0f));
    m.AddFrustum(3, 0.55f, 0.22f, -0.55f, 0.4f, -kPi / 2.0f);
    // A dorsal blade.
    m.SetTransform(MatrixScaling(0.3f, 1.0f, 1.2f) * MatrixTranslation(0.0f, 0.0f, -0.1f));
    m.AddFrustum(4, 0.3f, 0.0f, 0.35f, 0.85f, kPi / 4.0f);
    m.SetTransform(Matrix::Identity());
    m.AddBox({-0.22f, 0.02f, 0.22f}, {-0.1f, 0.12f, 0.36f}); // eyes
    m.AddBox({0.1f, 0.02f, 0.22f}, {0.22f, 0.12f, 0.36f});
}

void TriangoloidSpike(MeshBuilder& m)
{
    m.SetTransform(MatrixRotationX(kPi / 2.0f));
    m.AddFrustum(4, 0.14f, 0.0f, 0.0f, 0.5f, kPi / 4.0f);
}

void TriangoloidLeg(MeshBuilder& m)
{
    m.AddFrustum(3, 0.05f, 0.13f, -0.77f, 0.0f, kPi / 2.0f);
}

// Parts in order: body, spike, front left, front right and back leg.
// Legs hang splayed (front) and trailing (back) from hips at hipY, 0.05 under
// the body centre at rest, so their feet meet the ground; a crouching body
// sinks between its legs instead of pushing them into the ground.
std::vector<PartPose> TriangoloidPose(const PartPose& body, float hipY, float spikePitch, float spikeYaw,
                                      float spikeReach, float frontSwing, float backSwing)
{
    const Vec3 hips{body.position.x, hipY, body.position.z};
    return {body, Attached(body, Posed({0.0f, 0.1f, 0.32f + spikeReach}, spikePitch, spikeYaw)),
            Posed(hips + Vec3{-0.28f, 0.0f, 0.2f}, frontSwing, 0.0f, -0.2f),
            Posed(hips + Vec3{0.28f, 0.0f, 0.2f}, -frontSwing, 0.0f, 0.2f),
            Posed(hips + Vec3{0.0f, 0.0f, -0.4f}, -0.25f + backSwing)};
}

std::vector<PartPose> TriangoloidIdle(float p)
{
    const PartPose body = Posed({0.0f, kTriangoloidBody + 0.03f * Wave(p, 1), 0.0f}, 0.0f, 0.05f * Wave(p, 1, 0.25f));
    return TriangoloidPose(body, body.position.y - 0.05f, 0.0f, 0.15f * Wave(p, 2), 0.0f, 0.0f, 0.0f);
}

std::vector<PartPose> TriangoloidMove(float p)
{
    const float s = Wave(p, 1);
    const PartPose body = Posed({0.0f, kTriangoloidBody + 0.025f * (1.0f + Wave(p, 2, 0.25f)), 0.0f}, 0.12f);
    return TriangoloidPose(body, body.position.y - 0.05f, -0.1f, 0.0f, 0.0f, 0.55f * s, 0.45f * s);
}

// Coil for three quarters of the period, trembling more as it tightens, then
// release: the last key is the lunge itself.
std::vector<PartPose> TriangoloidAttack(float p)
{
    const float coil = Ramp(p, 0.0f, 0.75f);
    const float release = Ramp(p, 0.75f, 1.0f);
    const float held = coil * (1.0f - release);
    const float tremble = 0.05f * held * Wave(p, 10);
    const PartPose body = Posed({0.0f, kTriangoloidBody - 0.18f * held, -0.15f * held + 0.08f * release},
                                -0.3f * held + 0.25f * release, 0.0f, tremble);
    return TriangoloidPose(body, kTriangoloidBody - 0.05f, -0.4f * held + 0.1f * release, 0.0f,
                           -0.15f * held + 0.05f * release, -0.3f * held + 0.5f * release,
                           -0.2f * held + 0.3f * release);
}

} // namespace

UnitModel SmashtorModel()
{
    return {"Smashtor",
            {{"Body", SmashtorBody},
             {"LegL", SmashtorLeg},
             {"LegR", SmashtorLeg},
             {"FistL", SmashtorFist},
             {"FistR", SmashtorFist}},
            {{2.0f, 8, true, SmashtorIdle}, {0.4f, 8, true, SmashtorWalk}}};
}

UnitModel TriangoloidModel()
{
    return {
        "Triangoloid",
        {{"Body", TriangoloidBody},
         {"Spike", TriangoloidSpike},
         {"LegFL", TriangoloidLeg},
         {"LegFR", TriangoloidLeg},
         {"LegB", TriangoloidLeg}},
        {{1.6f, 8, true, TriangoloidIdle}, {0.36f, 8, true, TriangoloidMove}, {0.7f, 14, false, TriangoloidAttack}}};
}

} // namespace datagen
