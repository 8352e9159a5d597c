// Unit models split into parts: which frames are parts, in what order, which
// track moves each, and where a part stands at a moment of its animation.
#include "world/AnimatedMesh.h"

#include "TestMeshes.h"
#include "TestSupport.h"

#include <doctest/doctest.h>

namespace {

std::vector<std::string> PartNames(const AnimatedMesh& mesh)
{
    std::vector<std::string> names;
    for (int part = 0; part < mesh.GetPartCount(); ++part) {
        names.push_back(mesh.GetPartFrameName(part));
    }
    return names;
}

// A file of frames with squares where hasMesh says, animated by one track
// per name in tracks.
XFileData Tree(const std::vector<std::pair<std::string, std::int32_t>>& frames, const std::vector<bool>& hasMesh,
               const std::vector<std::string>& tracks)
{
    XFileData file;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        file.frames.push_back(testing::MeshFrame(frames[i].first, frames[i].second));
        if (hasMesh[i]) {
            file.frames.back().meshes.push_back(testing::SquareMesh(frames[i].first + "Mesh"));
        }
    }
    XAnimationSet set{"Set", {}};
    for (const std::string& track : tracks) {
        set.animations.push_back(testing::SlidingTrack(track, 1.0f, file.ticksPerSecond));
    }
    file.animationSets.push_back(set);
    return file;
}

} // namespace

TEST_CASE("unit parts are found in walk order and matched to their tracks")
{
    // The generator's layout: part i is the i-th frame, moved by track N - 1 - i.
    AnimatedMesh generated;
    REQUIRE(generated.LoadFromData(testing::PartsFile(3)));
    CHECK(PartNames(generated) == std::vector<std::string>{"Part0", "Part1", "Part2"});
    const AnimationSet* set = generated.GetController()->GetAnimationSetByIndex(0);
    for (int part = 0; part < 3; ++part) {
        CHECK(set->GetAnimationFrameName(generated.GetPartTrack(part)) == generated.GetPartFrameName(part));
    }

    // Siblings first, children kept until the siblings run out, oldest first:
    // A (no mesh) > A1, A2;  B > B1;  C.  The walk starts below the unnamed root.
    AnimatedMesh tree;
    REQUIRE(tree.LoadFromData(Tree({{"A", -1}, {"A1", 0}, {"A2", 0}, {"B", -1}, {"B1", 3}, {"C", -1}},
                                   {false, true, true, true, true, true}, {"A1", "A2", "B", "B1", "C"})));
    CHECK(PartNames(tree) == std::vector<std::string>{"A1", "B", "C", "A2", "B1"});

    // A file without animation is one still part.
    XFileData unanimated = testing::PartsFile(2);
    unanimated.animationSets.clear();
    AnimatedMesh still;
    REQUIRE(still.LoadFromData(unanimated));
    CHECK(still.IsStatic());
    CHECK(still.GetPartCount() == 1);
    CHECK(still.GetController() == nullptr);
    CHECK(still.GetPeriod() == 0.0);
    CHECK(still.GetPartSrt(0, 0.5).translation == Vec3{});
}

TEST_CASE("a part is placed by its track, turned about the point 0.5 above the unit's origin")
{
    // One part, grown twice, turned a quarter about y and lifted by 1 at
    // every moment; and a second part sliding along x.
    XFileData file = testing::PartsFile(2);
    XAnimation& still = file.animationSets[0].animations[1]; // moves part 0
    still.positionKeys = {{0, {0, 1, 0}}};
    still.scaleKeys = {{0, {2, 2, 2}}};
    still.rotationKeys = {{0, QuaternionRotationAxis({0, 1, 0}, kPi / 2.0f)}};
    AnimatedMesh mesh;
    REQUIRE(mesh.LoadFromData(file));

    // (1, 0, 0) grown to (2, 0, 0), turned to (0, 0, -2), lifted to (0, 1, -2);
    // down to the pivot (0, 0.5, -2), a quarter about x gives (0, 2, 0.5),
    // back up and out to the unit at (10, 0, 5).
    const Matrix world = mesh.GetPartWorldMatrix(0, 0.3, {10, 0, 5}, {1, 0, 0}, kPi / 2.0f);
    testing::CheckNear(Vec3TransformCoord({1, 0, 0}, world), {10, 2.5f, 5.5f});
    // A zero axis turns nothing (it does not shrink the part away).
    testing::CheckNear(Vec3TransformCoord({1, 0, 0}, mesh.GetPartWorldMatrix(0, 0.3, {10, 0, 5}, {}, 1.0f)),
                       {10, 1, 3});

    // Units at different moments of one animation, past its end too.
    CHECK(mesh.GetPartSrt(1, 0.25).translation.x == doctest::Approx(0.25f));
    CHECK(mesh.GetPartSrt(1, 0.75).translation.x == doctest::Approx(0.75f));
    CHECK(mesh.GetPartSrt(1, 3.25).translation.x == doctest::Approx(0.25f));
    CHECK(mesh.GetPartSrt(5, 0.25).translation == Vec3{}); // no such part
}
